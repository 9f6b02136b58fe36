#include "shell/ProgramState.h"

#include <cmath>
#include <cstdlib>

#include "shell/AssociatedProgram.h"
#include "platform/Environment.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/SettingsKeys.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {
SystemClock gSystemClock;
SilentMessageSink gSilentSink;
NullCommandBus gNullBus;

class NoProcessRunner final : public IProcessRunner {
public:
    ProcessResult Run(const ProcessRequest&) override {
        ProcessResult r;
        r.error = "No program can be started here";
        return r;
    }
    bool OpenWithDefault(const std::string&) override { return false; }
};
NoProcessRunner gNoRunner;

class NoClipboard final : public IFileClipboard {
public:
    bool CopyFiles(const std::vector<std::string>&) override { return false; }
    std::vector<std::string> PasteFiles() override { return {}; }
    bool HasFiles() override { return false; }
};
NoClipboard gNoClipboard;

class NoTrash final : public ITrash {
public:
    std::string MoveToTrash(const std::string& path) override { return "There is no trash to move " + path + " to"; }
};
NoTrash gNoTrash;
SilentAudioPlayer gSilentAudio;
}  // namespace

TProgramState::TProgramState()
    : Clock(&gSystemClock),
      Messages(&gSilentSink),
      CommandTarget(&gNullBus),
      Runner(&gNoRunner),
      Viewer(nullptr),
      Clipboard(&gNoClipboard),
      Trash(&gNoTrash),
      Audio(&gSilentAudio),
      Environment([](const std::string& name) {
          const char* v = std::getenv(name.c_str());
          return v ? std::string(v) : std::string();
      }),
      SetEnvironment([](const std::string& name, const std::string& value) {
          return platform::SetEnvironmentVariable(name, value);
      }),
      AssociatedProgram([](const std::string& fileName) { return kelvarn::AssociatedProgram(fileName); }),
      settings_(std::make_unique<TMemIni>()) {}

TProgramState::~TProgramState() = default;

void TProgramState::OpenSettings(std::string fileName) { settings_ = std::make_unique<TMemIni>(std::move(fileName)); }

void TProgramState::SetAssetPath(std::string_view path) {
    std::string p(path);
    while (p.size() > 1 && IsPathSeparator(p.back())) p.pop_back();
    QData.Path = p;
}

std::string TProgramState::AssetFileExt() const { return ExtractFileExt(QData.FileName); }

std::string TProgramState::AssetKuidForFileName() const { return KuidForFileName(QData.Kuid); }

std::string KuidForFileName(std::string_view kuid) {
    std::string k(kuid);
    if (const auto lt = k.find('<'); lt != std::string::npos) k.erase(lt, 1);
    if (const auto gt = k.find('>'); gt != std::string::npos) k.erase(gt, 1);
    return ReplaceChar(k, ':', ' ');
}

void TProgramState::SendStatusText(int target, std::string_view text) {
    CommandTarget->SendCommand(ccStatusText, FormatStatusText(target, text));
}

TProgramState& Globals() {
    static TProgramState state;
    return state;
}

std::string FormatStatusText(int target, std::string_view text) {
    return std::to_string(target) + "|" + std::string(text);
}

std::string FormatBuild(std::int32_t tenths) {
    const std::int64_t v = tenths;
    const std::int64_t a = v < 0 ? -v : v;
    return (v < 0 ? "-" : "") + std::to_string(a / 10) + "." + std::to_string(a % 10);
}

std::int32_t ParseBuild(std::string_view text) {
    double value = 0;
    if (!TryParseDouble(RemoveChars(text, "&"), value)) return 0;
    const double scaled = std::round(value * 10.0);
    if (scaled > 2147483647.0 || scaled < -2147483648.0) return 0;
    return static_cast<std::int32_t>(scaled);
}

std::string BuildFolder(const TProgramState& state, std::int32_t tenths) {
    const TMemIni& ini = state.Settings();
    const std::string value = ini.ReadString(sections::Builds, FormatBuild(tenths), ReadSetting(ini, keys::Build));
    const std::string version = value.substr(0, value.find('-'));
    return ExpandMacros(state, "%" + version + "%");
}

int TagTypeIndex(std::string_view typeName) {
    const std::string lowered = LowerCase(typeName);
    for (std::size_t i = 0; i < TagTypeNames.size(); ++i)
        if (TagTypeNames[i] == lowered) return static_cast<int>(i + 1);
    return 0;
}

}  // namespace kelvarn
