#include "shell/MessageRouting.h"

#include <cctype>

#include "shell/Macros.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

TRoute RouteMessage(int code, std::string_view text) {
    TRoute route;
    if (StartsWith(text, "-CMP")) {
        route.folder = text.size() > 5 ? std::string(text.substr(5)) : std::string();
        route.kind = Trim(route.folder).empty() ? TRouteKind::Ignored : TRouteKind::LoadFolder;
        return route;
    }
    if (code == 2) {
        route.kind = TRouteKind::Status;
    } else if (code == 3) {
        route.kind = TRouteKind::Ignored;
    } else if (code >= 1000 && code < 3000) {
        route.kind = text.empty() ? TRouteKind::MenuState : TRouteKind::Command;
        // The group's hundred: 1500 and 1550 both update the Help menu.
        route.group = code / 100 * 100;
    } else {
        route.kind = TRouteKind::Callback;
    }
    return route;
}

std::optional<TStatusText> ParseStatusText(std::string_view text) {
    const std::size_t bar = text.find('|');
    long long target = 0;
    const std::string_view number = text.substr(0, bar);
    // Only a plain decimal number names a target ("$10" or "0x2" would be hexadecimal to TryParseInt).
    if (number.empty()) return std::nullopt;
    for (std::size_t i = 0; i < number.size(); ++i)
        if (!(std::isdigit(static_cast<unsigned char>(number[i])) || (i == 0 && number[i] == '-' && number.size() > 1)))
            return std::nullopt;
    if (number.size() > 9 || !TryParseInt(number, target)) return std::nullopt;
    TStatusText status;
    status.target = static_cast<int>(target);
    if (bar != std::string_view::npos) status.text = std::string(text.substr(bar + 1));
    return status;
}

int StatusPanelFor(int target) {
    switch (target) {
        case 0: return 0;
        case 1: return 1;
        case 2: return 4;
        case 3: return 2;
        case 4: return 3;
        default: return -1;
    }
}

std::string StatusPanelText(int target, std::string_view text) {
    if (target == 2) {
        std::string_view kept = text.substr(0, text.find('@'));
        if (kept == "*Error*") return "Tag error report";
        return std::string(kept);
    }
    if (target == 4) return UpperCase(text);
    return std::string(text);
}

std::string CaptionText(const TProgramState& state, std::string_view text) {
    const std::string name = state.Settings().ReadString("Builds", FormatBuild(state.ActiveBuild()), "");
    const std::string shown = text.empty() ? std::string(kTagline) : std::string(text);
    return ExpandMacros(state, " Kelvarn  [Version: " + name + "]  " + shown);
}

}  // namespace kelvarn
