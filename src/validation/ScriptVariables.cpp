// The "^" variables of script parameters.
#include <algorithm>

#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptUnit.h"

namespace kelvarn {

namespace {

// Bytes of the UTF-8 character starting at `at`.
std::size_t CharLength(std::string_view text, std::size_t at) {
    std::size_t n = 1;
    while (at + n < text.size() && n < 4 && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80) ++n;
    return n;
}

// Field `n` (from 1) of the attachment-point data "x,y,z,rx,ry,rz,name".
std::string PointField(const std::string& data, int n) {
    TTokens fields;
    SplitByCharSet(data, fields, ",");
    return fields[static_cast<std::size_t>(n - 1)];
}

}  // namespace

std::string TScriptUnit::ExpandVariables(std::string& parameter, TScriptVars& vars) {
    if (parameter.find('^') == std::string::npos) return {};
    const int line = vars.LineIndex + 1;
    const bool looping = vars.ForEachActive > 0 && vars.ItemIndex >= 0 &&
                         static_cast<std::size_t>(vars.ItemIndex) < vars.Items.size();
    const std::string item = looping ? vars.Items[static_cast<std::size_t>(vars.ItemIndex)] : std::string();
    // A file item is a shown path; what lies below the asset folder keeps the backslashes of a name in
    // the asset (scripts write ^F and ^d into configs).
    const std::string folderPrefix = ShownPath(ExcludeTrailingSeparator(assetFolder_) + "\\");
    std::string kuid;  // one new KUID per parameter, however often it asks
    std::vector<std::string> reported;
    std::string lastError;
    std::string out;
    const std::string& in = parameter;

    auto fail = [&](const std::string& pair, std::string message) {
        if (std::find(reported.begin(), reported.end(), pair) != reported.end()) return;
        reported.push_back(pair);
        LogMessage(line, message);
        lastError = std::move(message);
    };

    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t caret = in.find('^', i);
        if (caret == std::string::npos) {
            out.append(in, i, std::string::npos);
            break;
        }
        out.append(in, i, caret - i);
        if (caret + 1 == in.size()) {
            fail("^", ".Error expanding variable: " + out + "^");
            break;
        }
        const std::size_t length = CharLength(in, caret + 1);
        const std::string pair = in.substr(caret, 1 + length);
        i = caret + 1 + length;
        const char c = in[caret + 1];
        if (c >= '0' && c <= '9') {
            out += vars.Memory[static_cast<std::size_t>(c - '0')];
        } else if (std::string_view("DdFfIV").find(c) != std::string_view::npos) {
            if (!looping) {
                fail(pair, ".Error expanding variable " + pair + ": " + pair);
                continue;
            }
            const std::string shown = ShownPath(item);
            std::string below = ReplaceFirstText(shown, folderPrefix, "");
            below = below.size() != shown.size() ? ReplaceChar(below, '/', '\\') : item;
            switch (c) {
                case 'D': out += ExtractFilePath(item); break;
                case 'd': out += ExtractFilePath(below); break;
                case 'F': out += below; break;
                case 'f': out += RemoveFileExt(below); break;
                case 'I': out += std::to_string(vars.ItemIndex); break;
                default: out += item; break;
            }
        } else if (c == 'T') {
            out += std::to_string(vars.ItemCount);
        } else if (c == 'K') {
            if (kuid.empty()) {
                TMemIni& ini = state_.Settings();
                int next = 0;
                if (!ReadScriptInt(ReadSetting(ini, keys::NextCloneID), next)) next = 8000;
                kuid = "<kuid:" + ExpandMacros(state_, "%userid%") + ":" + std::to_string(next) + ">";
                WriteSettingInt(ini, keys::NextCloneID, static_cast<long long>(next) + 1);
            }
            out += kuid;
        } else if (c == 'L') {
            out += ReadSetting(state_.Settings(), keys::Language);
        } else if (c == 'U') {
            out += ReadSetting(state_.Settings(), keys::InfoUrl);
        } else if (std::string_view("XYZxyzP").find(c) != std::string_view::npos) {
            out += PointField(vars.PointData, static_cast<int>(std::string_view("XYZxyzP").find(c)) + 1);
        } else {
            fail(pair, ".Error expanding variable: " + pair);
        }
        if (out.size() > kMaxParameterBytes) {
            out.resize(kMaxParameterBytes);
            fail("", ".Error expanding variable: parameter too long");
            break;
        }
    }
    parameter = std::move(out);
    return lastError;
}

}  // namespace kelvarn
