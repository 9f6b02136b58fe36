#include "shell/SettingsKeys.h"

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Strings.h"

namespace kelvarn {

std::string ReadSetting(const TMemIni& ini, const SettingKey& k) { return ini.ReadString(k.section, k.key, k.def); }

long long ReadSettingInt(const TMemIni& ini, const SettingKey& k) {
    long long def = 0;
    TryParseInt(k.def, def);
    return ini.ReadInteger(k.section, k.key, def);
}

bool ReadSettingBool(const TMemIni& ini, const SettingKey& k) { return ReadSettingInt(ini, k) != 0; }

void WriteSetting(TMemIni& ini, const SettingKey& k, std::string_view value) {
    ini.WriteString(k.section, k.key, value);
}
void WriteSettingInt(TMemIni& ini, const SettingKey& k, long long value) { ini.WriteInteger(k.section, k.key, value); }
void WriteSettingBool(TMemIni& ini, const SettingKey& k, bool value) { ini.WriteBool(k.section, k.key, value); }

std::string ReadUserDataValue(const TMemIni& ini, std::string_view name) {
    if (name != "license") return ini.ReadString("UserData", name, "");
    std::vector<std::string> lines;
    ReadValueList(ini, sections::License, lines);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? " " : "") + lines[i];
    return text;
}

bool EnsureDefaultBuilds(TMemIni& ini) {
    if (SectionKeyCount(ini, sections::Builds) > 0) return false;
    std::vector<std::string> lines(kDefaultBuilds.begin(), kDefaultBuilds.end());
    WriteNameValueList(ini, sections::Builds, lines);
    return true;
}

bool ToolVersionAtLeast(std::string_view expandedExecutablePath, int major, int minor) {
    const std::string iniPath = ChangeFileExt(expandedExecutablePath, ".ini");
    if (!FileExists(iniPath)) return false;
    const TMemIni toolIni{iniPath};
    const std::string version = toolIni.ReadString("Program", "Version", "");
    TTokens tokens;
    if (SplitByCharSet(version, tokens, ",.") < 2) return false;
    long long have[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        if (!TryParseInt(tokens[i], have[i])) have[i] = 0;
    // (major, minor) compared as one number pair: 2.0 is above 1.10.
    if (have[0] != major) return have[0] > major;
    return have[1] >= minor;
}

}  // namespace kelvarn
