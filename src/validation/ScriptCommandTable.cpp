#include "validation/ScriptCommandTable.h"

#include <string>
#include <unordered_map>

#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr unsigned kSkip = cfRunsWhileSkipping;
constexpr unsigned kQuiet = cfNoReport;
constexpr unsigned kMain = cfMainWindowOnly;
constexpr unsigned kOwn = cfOwnVariables;

constexpr std::array<TScriptCommand, kScriptCommandCount + 1> kTable = {{
    {"", 0},
    {"-if", kSkip},
    {"-ifnot", kSkip},
    {"-ifquery", kSkip},
    {"-ifasset", kSkip},
    {"-ifmatches", kSkip},
    {"-ifthumbnail", kSkip},
    {"-else", kSkip},
    {"-endif", kSkip},
    {"-exit", 0},
    {"-condition", 0},
    {"-callscript", 0},
    {"-copyfile", 0},
    {"-copyfromasset", 0},
    {"-deletefiles", 0},
    {"-info", 0},
    {"-delete", 0},
    {"-expand", 0},
    {"-sort", kMain},
    {"-update", 0},
    {"-promote", 0},
    {"-messagebox", kMain | kQuiet},
    {"-saveconfig", kMain | kQuiet},
    {"-maketga", 0},
    {"-makenormalmap", 0},
    {"-updatecategoryera", 0},
    {"-updatecategoryregion", 0},
    {"-updatekuidtable", 0},
    {"-updateuserdata", kQuiet},
    {"-updateusername", 0},
    {"-updateassetfilename", 0},
    {"-updatecamera", 0},
    {"-fixkuids", 0},
    {"-rename", 0},
    {"-exchange", 0},
    {"-replace", 0},
    {"-replaceall", 0},
    {"-clear", 0},
    {"-tokens", 0},
    {"-makebogeytable", 0},
    {"-makemeshtable", 0},
    {"-makethumbnailtable", 0},
    {"-category", 0},
    {"-ignorecase", 0},
    {"-repairwaves", 0},
    {"-menuexecute", 0},
    {"-backupasset", 0},
    {"-backupfile", 0},
    {"-comment", 0},
    {"-tagfordeletion", 0},
    {"-incrementkuid", 0},
    {"-repairtextures", 0},
    {"-case", 0},
    {"-endcase", 0},
    {"-select", 0},
    {"-endselect", 0},
    {"-foreach", 0},
    {"-endfor", 0},
    {"-break", 0},
    {"-silent", kQuiet},
    {"-setenv", kQuiet},
    {"-meshwright", 0},
    {"-texwright", 0},
    {"-duskcaster", 0},
    {"-iniread", 0},
    {"-iniadd", cfKeepQuotes | cfNoMacros},
    {"-inidelete", cfKeepQuotes},
    {"-inisave", 0},
    {"-installtool", cfKeepQuotes | cfNoMacros},
    {"-write", cfRawFields},
    {"-pointread", 0},
    {"-pointposition", kOwn},
    {"-pointrotation", kOwn},
    {"-combine", kOwn},
    {"-compute", kOwn},
    {"-store", kOwn},
    {"-restore", kOwn},
    {"-save", kOwn},
    {"-invalid", 0},
}};

}  // namespace

const std::array<TScriptCommand, kScriptCommandCount + 1>& ScriptCommandTable() { return kTable; }

int ScriptCommandNumber(std::string_view word) {
    static const std::unordered_map<std::string, int> index = [] {
        std::unordered_map<std::string, int> map;
        for (int i = 1; i <= kScriptCommandCount; ++i) map.emplace(std::string(kTable[static_cast<std::size_t>(i)].word), i);
        return map;
    }();
    const auto it = index.find(LowerCase(word));
    return it == index.end() ? 0 : it->second;
}

}  // namespace kelvarn
