// How the main window's receiver reads one bus message: which way it goes, and what a status text
// changes. Pure functions, so the routing is tested without a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvarn {

class TProgramState;

enum class TRouteKind {
    LoadFolder,  // a "-CMP" text: scan the folder that follows
    Status,      // code 2: a status text
    Ignored,     // code 3, or a "-CMP" text without a folder
    Command,     // 1000-2999 with a text: run the command
    MenuState,   // 1000-2999 without a text: update that menu group
    Callback,    // everything else
};

struct TRoute {
    TRouteKind kind = TRouteKind::Callback;
    std::string folder;  // LoadFolder: the folder to scan
    int group = 0;       // MenuState: the number ValidateMenu receives
};

// "-CMP" (exact case) in the first four characters wins whatever the code; the folder starts at the
// sixth character. A blank folder loads nothing (it would scan the current folder).
TRoute RouteMessage(int code, std::string_view text);

// A status text: the target number, "|", the text (everything after the first "|").
struct TStatusText {
    int target = 0;
    std::string text;
};
// Nothing when the target is no decimal number.
std::optional<TStatusText> ParseStatusText(std::string_view text);

inline constexpr int kStatusPanelCount = 5;
// The status-bar panel of a target: 0 -> 0, 1 -> 1, 2 -> 4, 3 -> 2, 4 -> 3; -1 for the caption
// (target -1) and for targets that change nothing.
int StatusPanelFor(int target);
// The text a panel shows: target 2 keeps what precedes an "@" and names "*Error*"; target 4 is upper
// case.
std::string StatusPanelText(int target, std::string_view text);

// The product's tagline, shown in the caption when a caption text is empty.
inline constexpr std::string_view kTagline = "Keeps your Trainz assets tidy, checked and ready to go";
// " Kelvarn  [Version: <name of the active build>]  <text>", macros expanded.
std::string CaptionText(const TProgramState& state, std::string_view text);

}  // namespace kelvarn
