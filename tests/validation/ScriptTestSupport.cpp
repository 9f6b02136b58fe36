#include "ScriptTestSupport.h"

#include <filesystem>

#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptCommandTable.h"

namespace kelvarn::test {

namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : "|") + item;
    return out;
}

}  // namespace

void FakeScriptHost::Note(std::string line) {
    if (!tempRoot.empty()) line = ReplaceAll(line, tempRoot, "<tmp>");
    log.push_back(std::move(line));
}

std::vector<std::string> Alerts(const FakeScriptHost& host) {
    std::vector<std::string> out;
    for (const std::string& line : host.log)
        if (StartsWith(line, "alert")) out.push_back(line);
    return out;
}

std::vector<std::string> Messages(const FakeScriptHost& host) {
    std::vector<std::string> out;
    for (const std::string& line : host.log)
        if (StartsWith(line, "alert+ ")) out.push_back(line.substr(line.find(": ") + 2));
    return out;
}

std::string FakeScriptHost::Log() const { return JoinLines(log, "\n") + (log.empty() ? "" : "\n"); }

std::string FakeScriptHost::Next() {
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
}

bool FakeScriptHost::Poll() {
    ++polls;
    if (onPoll) onPoll(polls);
    return polls <= maxPolls;
}

bool FakeScriptHost::Confirm(const std::string& question) {
    const std::string a = Next();
    const bool yes = a != "no";
    Note("confirm " + question + " -> " + (yes ? "yes" : "no"));
    return yes;
}

int FakeScriptHost::ChooseOne(const std::string& caption, const std::vector<std::string>& items) {
    const std::string a = Next();
    int index = 0;
    if (a == "cancel")
        index = -1;
    else if (!a.empty())
        index = std::stoi(a) - 1;
    Note("choose " + caption + " [" + Joined(items) + "] -> " + (index < 0 ? "cancel" : std::to_string(index + 1)));
    return index;
}

bool FakeScriptHost::ChooseMany(const std::string& caption, const std::vector<std::string>& items,
                                std::vector<bool>& checked) {
    const std::string a = Next();
    Note("select " + caption + " [" + Joined(items) + "] -> " + (a.empty() ? "none" : a));
    if (a == "cancel") {
        checked.assign(items.size(), true);  // the engine must clear what the user left
        return false;
    }
    for (const std::string& n : SplitString(a, ","))
        if (!n.empty() && std::stoul(n) >= 1 && std::stoul(n) <= checked.size()) checked[std::stoul(n) - 1] = true;
    return true;
}

void FakeScriptHost::AppendAlert(const std::string& text) {
    alert += (alert.empty() ? "" : "\r\n") + text;
    Note("alert+ " + text);
}

void FakeScriptHost::ShowAlert(const std::string& text) {
    alert = text;
    Note("alert " + text);
}

std::vector<std::string> FakeScriptHost::TaggedFolders(bool includeCurrent) {
    Note(std::string("tagged ") + (includeCurrent ? "1" : "0"));
    return tagged;
}

void FakeScriptHost::BeginTreeUpdate() {
    ++treeDepth;
    ++treeUpdates;
}

void FakeScriptHost::EndTreeUpdate() {
    --treeDepth;
    EXPECT_GE(treeDepth, 0) << "a tree update ended that never began";
}

void FakeScriptHost::ShowStatus(int panel, const std::string& text) {
    if (status_[panel] == text) return;  // the line count after every line: only changes are told
    status_[panel] = text;
    Note("status" + std::to_string(panel) + " " + text);
}

std::string FakeScriptHost::AskScriptFile(const std::string& caption, const std::string& filter, const std::string&) {
    const std::string a = Next();
    Note("ask " + caption + " (" + filter + ") -> " + (a.empty() ? "cancel" : a));
    return a;
}

void FakeScriptHost::OpenViewer(const std::string& caption, const std::string& file, const std::string& first,
                                const std::string& third, const std::string& second) {
    Note("viewer " + caption + " " + file + " [" + first + "|" + third + "|" + second + "]");
}

TReviewResult FakeScriptHost::ReviewAsset(const std::string& caption, const std::string& alertText,
                                          TOutlineDocument& outline, bool last, bool& preview) {
    if (onReview) onReview(outline);
    const std::string a = Next();
    TReviewResult result = TReviewResult::Accept;
    if (StartsWith(a, "reject")) result = TReviewResult::Reject;
    if (StartsWith(a, "abort")) result = TReviewResult::Abort;
    const bool before = preview;
    if (EndsWith(a, "nopreview")) preview = false;
    Note("review " + caption + " alert=" + alertText + " last=" + (last ? "1" : "0") + " preview=" + (before ? "1" : "0") +
         " -> " + (a.empty() ? "accept" : a));
    return result;
}

void RegisterStandIns(TScriptCommands& commands, FakeScriptHost& host) {
    auto record = [&host](ScriptCall& c) {
        std::string line = LowerCase(c.word) + (c.literal ? "*" : "");
        for (int i = 1; i < c.fieldCount; ++i) line += "|" + c.p[static_cast<std::size_t>(i)];
        host.Note(line);
    };
    // Real handlers, recorded so that logs show what they received.
    for (int command : {15, 16, 19, 21, 65, 66, 68, 69, 72, 75, 76}) {
        const TScriptHandler* real = commands.Find(command);
        if (!real) continue;
        commands.Register(command, [record, handler = *real](ScriptCall& c) {
            record(c);
            return handler(c);
        });
    }
}

ScriptBed::ScriptBed(bool standIns) {
    state.ProgramFolder = dir.Path() + "/program/";
    std::filesystem::create_directories(dir.Path() + "/program");
    state.OpenSettings(dir.Path() + "/program/kelvarn.ini");
    state.Messages = &messages;
    state.CommandTarget = &bus;
    state.Viewer = &viewer;
    state.Clock = &clock;
    state.Runner = &runner;
    host.tempRoot = dir.Path();
    main = std::make_unique<TOutlineDocument>(state);
    editor = std::make_unique<TOutlineDocument>(state, std::string(kEditorUndoPrefix));
    host.main = main.get();
    host.editor = editor.get();
    unit = std::make_unique<TScriptUnit>(state, host);
    if (standIns) RegisterStandIns(unit->Commands(), host);
}

std::string ScriptBed::Asset(std::string_view name, std::string_view config) {
    const std::string folder = dir / name;
    WriteBytes(folder + "/config.txt", config);
    return folder;
}

std::string ScriptBed::SelectAsset(std::string_view name, std::string_view config) {
    const std::string folder = Asset(name, config);
    state.SetAssetPath(folder);
    EXPECT_EQ(main->LoadConfig(folder), "");
    return folder;
}

void ScriptBed::WriteScript(std::string_view name, std::string_view text) {
    WriteBytes(Scripts() + "/" + std::string(name) + ".kvm", text);
}

std::string ScriptBed::Run(std::string_view text, bool snapshot) {
    unit->ExecuteScriptLines("test", SplitLines(text), snapshot);
    return host.Log();
}

}  // namespace kelvarn::test
