// One command line as its handler receives it, and the registry of handlers.
//
// A handler is a function from the call to its message (empty for success; a leading "." marks an
// informational message). Each command family registers its handlers in a function of its own file
// (RegisterFlowCommands in ScriptFlow.cpp), and RegisterScriptCommands (ScriptCommands.cpp) is the
// one list that calls those functions: a new family adds its function there, one line. Nothing else
// dispatches on command numbers; every table word has its handler.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kelvarn {

class ScriptHost;
class TOutlineDocument;
class TScriptUnit;
struct TScriptVars;

inline constexpr int kScriptFields = 25;  // the command word and 24 parameters

struct ScriptCall {
    ScriptCall(TScriptUnit& u, TScriptVars& v, const std::vector<std::string>& l, ScriptHost& h)
        : unit(u), vars(v), lines(l), host(h) {}

    TScriptUnit& unit;
    TScriptVars& vars;
    const std::vector<std::string>& lines;  // the running script
    ScriptHost& host;
    int command = 0;         // the table number
    std::string word;        // field 0 as written
    // p[1] to p[24], pre-processed as the command's table entry says; fields the line did not have
    // are empty.
    std::array<std::string, kScriptFields> p;
    int fieldCount = 0;      // fields of the line, the word included (1 to 25)
    // True when the fields reach the handler untouched: -write, and the lines a batch generates
    // (Replicate), whose values must arrive exactly as they stand in the config.
    bool literal = false;
    // The bound context: the config the commands work on (null when there is none) and its folder.
    TOutlineDocument* config = nullptr;
    std::string assetFolder;
    int lineNumber = 0;      // counted from 1, for messages
};

using TScriptHandler = std::function<std::string(ScriptCall&)>;

class TScriptCommands {
public:
    // Registering a number again replaces its handler.
    void Register(int command, TScriptHandler handler);
    const TScriptHandler* Find(int command) const;
    // The table numbers (1 to 77) that have no handler yet.
    std::vector<int> Unregistered() const;

private:
    std::array<TScriptHandler, 79> handlers_;
};

// Every family's handlers.
void RegisterScriptCommands(TScriptCommands& commands);
// -if to -condition, -case to -break (ScriptFlow.cpp) and -callscript (ScriptRunModes.cpp).
void RegisterFlowCommands(TScriptCommands& commands);
void RegisterRunnerCommands(TScriptCommands& commands);
// The tag edits (ScriptConfigCommands.cpp) and the memory and point commands (ScriptMemoryCommands.cpp).
void RegisterConfigEditCommands(TScriptCommands& commands);
void RegisterMemoryCommands(TScriptCommands& commands);
// Messages, settings, tools and -write (ScriptSettingsCommands.cpp); the asset's files
// (ScriptFileCommands.cpp).
void RegisterSettingsCommands(TScriptCommands& commands);
void RegisterFileCommands(TScriptCommands& commands);
// The table builders and config repairs (ScriptBuilderCommands.cpp).
void RegisterBuilderCommands(TScriptCommands& commands);

}  // namespace kelvarn
