#include "shell/Macros.h"

#include <utility>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr int kMaxEnvironmentRounds = 32;

std::string FolderOrDefault(const TProgramState& state, const SettingKey& key, std::string_view sub) {
    std::string folder = ReadSetting(state.Settings(), key);
    if (folder.empty()) folder = state.ProgramFolder + std::string(sub);
    return folder;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Macro names are ASCII, and no byte of a multi-byte UTF-8 character is ASCII, so a byte-wise search
// that folds ASCII letters finds them without lowering the whole text for each macro.
std::size_t FindMacro(std::string_view text, std::string_view macro, std::size_t from) {
    if (macro.size() > text.size()) return std::string_view::npos;
    for (std::size_t i = from; i + macro.size() <= text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t k = 1;
        while (k < macro.size() && AsciiLower(text[i + k]) == AsciiLower(macro[k])) ++k;
        if (k == macro.size()) return i;
    }
    return std::string_view::npos;
}

void Replace(std::string& text, std::string_view macro, std::string_view value) {
    std::size_t hit = FindMacro(text, macro, 0);
    if (hit == std::string_view::npos) return;
    std::string out;
    std::size_t pos = 0;
    while (hit != std::string_view::npos) {
        out.append(text, pos, hit - pos).append(value);
        pos = hit + macro.size();
        hit = FindMacro(text, macro, pos);
    }
    out.append(text, pos);
    text = std::move(out);
}

std::string LastComponent(std::string_view folder) { return ExtractFileName(ExcludeTrailingSeparator(folder)); }

}  // namespace

std::string BackupFolderPath(const TProgramState& state) { return ExpandMacros(state, "%backup%"); }

std::string ExpandMacros(const TProgramState& state, std::string_view input) {
    // Most texts hold no macro: they are returned before any setting is read (scripts expand every
    // parameter of every line).
    if (input.find('%') == std::string_view::npos && input.find('\xC2') == std::string_view::npos) return std::string(input);
    std::string text = ReplaceAll(ReplaceAll(input, kMiddleDot, " "), kPilcrow, " ");
    if (text.find('%') == std::string::npos) return text;
    const std::string backup = FolderOrDefault(state, keys::Backup, "backup");
    const std::string support = FolderOrDefault(state, keys::Support, "support");

    // A script running on an asset of a batch names that asset, not the main window's.
    const std::string pathFile = state.MacroAssetPathFile();
    const std::string& fileName = state.MacroAssetFileName();
    Replace(text, "%kuidf%", KuidForFileName(state.MacroAssetKuid()));
    Replace(text, "%kuid%", state.MacroAssetKuid());
    Replace(text, "%pfe%", pathFile);
    Replace(text, "%pf%", RemoveFileExt(pathFile));
    Replace(text, "%p%", state.MacroAssetPath());
    Replace(text, "%fe%", fileName);
    Replace(text, "%f%", RemoveFileExt(fileName));
    Replace(text, "%e%", ExtractFileExt(fileName));
    if (FindMacro(text, "%assoc%", 0) != std::string::npos)
        Replace(text, "%assoc%", state.AssociatedProgram ? state.AssociatedProgram(fileName) : std::string());
    Replace(text, "%app%", ExcludeTrailingSeparator(state.ProgramFolder));
    Replace(text, "%backup%", backup);
    Replace(text, "%bin%", state.ProgramFolder + "bin");
    Replace(text, "%log%", state.ProgramFolder + "log");
    Replace(text, "%scripts%", state.ProgramFolder + "scripts");
    Replace(text, "%support%", support);

    const TPaths& paths = state.Paths;
    Replace(text, "%2004%", paths.TRS2004);
    Replace(text, "%2006%", paths.TRS2006);
    Replace(text, "%TC%", paths.TC);
    Replace(text, "%2009%", paths.TS2009);
    Replace(text, "%2010%", paths.TS2010);
    Replace(text, "%2012%", paths.TS12);
    Replace(text, "%TS12%", paths.TS12);
    Replace(text, "%trainz%", paths.Trainz);
    Replace(text, "%trs%", LastComponent(paths.Trainz));
    Replace(text, "%strell%", paths.Strellworks);
    Replace(text, "%build%", paths.Build);
    Replace(text, "%userID%", ReadSetting(state.Settings(), keys::UserID));
    Replace(text, "%assetID%", state.MacroAssetId());

    if (FindMacro(text, "%tetdata%", 0) != std::string::npos && !paths.Trainz.empty()) {
        TTokens tokens;
        const int count = SplitByCharSet(ReadSetting(state.Settings(), keys::TETData), tokens, ",;");
        for (int i = 0; i < count && i < kMaxTokens; ++i) {
            const std::string token = Trim(tokens[i]);
            if (token.empty()) continue;
            const std::string folder = JoinPath(paths.Trainz, token);
            if (DirectoryExists(folder)) {
                Replace(text, "%tetdata%", folder);
                break;
            }
        }
    }

    // Whatever stands between two percent signs now names an environment variable. Bounded, because a
    // value may hold its own name between percent signs.
    for (int round = 0; round < kMaxEnvironmentRounds; ++round) {
        TTokens tokens;
        if (SplitByCharSet(text, tokens, "%") < 3) break;
        const std::string& name = tokens[1];
        const std::string value = (state.Environment && !name.empty()) ? state.Environment(name) : std::string();
        text = ReplaceFirstText(text, "%" + name + "%", value);
    }
    return text;
}

}  // namespace kelvarn
