// The main window's receiver and its two dispatchers, without the window: the bus routes each message
// (RouteMessage), status texts go to a display, commands and callbacks run rows from registries.
//
// How a later part wires itself in (all on the program's one TDispatcher, reached from the main
// window as Dispatcher()):
//   - a callback row:  dispatcher.RegisterCallback(ccShowTable, [&](const std::string& text) { ... });
//   - a command row:   dispatcher.RegisterCommand(1003, [&](const std::string& text) { ... });
//                      the text is the sender's name (frames) or the item's caption without "&"
//                      (the main menu), which command 1020 reads as the image's file name;
//   - a menu-state hook: dispatcher.AddMenuValidator([&](int group) { if (group == 1100) ...; });
//                      called with 0 before every callback and after every layout switch, with a
//                      menu's tag as it opens, and with (code div 100) * 100 when a frame sends a
//                      command number with an empty text.
// Registering a code again replaces its row.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/CommandBus.h"

namespace kelvarn {

class TProgramState;

using TTextHandler = std::function<void(const std::string& text)>;

// Where status texts show: the window caption and the five status-bar panels.
class IStatusDisplay {
public:
    virtual ~IStatusDisplay() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetPanelText(int panel, const std::string& text) = 0;
};

class TDispatcher final : public ICommandReceiver {
public:
    explicit TDispatcher(TProgramState& state);

    void RegisterCallback(int code, TTextHandler handler);
    void RegisterCommand(int number, TTextHandler handler);
    void AddMenuValidator(std::function<void(int group)> validator);
    bool HasCallback(int code) const { return callbacks_.count(code) != 0; }
    bool HasCommand(int number) const { return commands_.count(number) != 0; }

    // A "-CMP" text: the asset list scans the folder.
    std::function<void(const std::string& folder)> OnLoadFolder;
    // Before every command (given its number): the outline's alert strip closes, and rows that need
    // the outline leave the viewer-maximised layout.
    std::function<void(int number)> OnBeforeCommand;
    IStatusDisplay* Status = nullptr;
    // Set when the main window's close query has allowed the close: status texts are ignored then.
    bool Closing = false;
    // The caption of the last main-menu item clicked, without "&".
    std::string LastMenuCaption;

    // The bus's receiving end.
    void ReceiveCommand(int code, const std::string& text) override;

    void SetStatusText(const std::string& text);
    // Runs a command row; a number without one gives "Undefined Command Token: N".
    void ExecuteMenuCommand(int number, const std::string& text);
    // A main-menu click: remembers the caption, then runs the item's number.
    void DoMenuCommand(int number, const std::string& caption);
    // Revalidates group 0, then runs a callback row; a code without one gives
    // "Callback Command Undefined: N".
    void DispatchCallback(int code, const std::string& text);
    void ValidateMenu(int number);

private:
    void RunRow(const std::map<int, TTextHandler>& rows, int code, const std::string& text, std::string_view undefined);

    TProgramState& state_;
    std::map<int, TTextHandler> callbacks_;
    std::map<int, TTextHandler> commands_;
    std::vector<std::function<void(int)>> validators_;
};

}  // namespace kelvarn
