// The script engine's test bed: a program state in a temporary folder, the main and editor outlines,
// and a fake desktop that answers from a queue and logs every call, so that a run can be compared
// with a golden log.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptUnit.h"

namespace kelvarn::test {

// Answers (front first): "yes"/"no" for questions, a number or "cancel" for single choices, "1,3" or
// "cancel" for multiple choices, "accept"/"reject"/"abort" (optionally followed by " nopreview") for
// reviews, a path or "" for file prompts. Without an answer: yes, the first item, nothing checked,
// accept, no file.
class FakeScriptHost final : public ScriptHost {
public:
    std::vector<std::string> log;
    std::deque<std::string> answers;
    TOutlineDocument* main = nullptr;
    TOutlineDocument* editor = nullptr;
    std::vector<std::string> tagged;
    TKuidMap kuids;
    // Called at each review with the outline under review (to see what the batch made of it).
    std::function<void(TOutlineDocument&)> onReview;
    // Each Poll runs this first (to press Escape in the middle of a run).
    std::function<void(int poll)> onPoll;
    int polls = 0;
    int maxPolls = 200000;
    int treeDepth = 0;     // begun minus ended tree updates
    int treeUpdates = 0;   // updates begun
    std::string alert;     // what the config pane's strip shows
    // Replaced by "<tmp>" in the log, so that golden logs do not depend on the temporary folder.
    std::string tempRoot;

    bool Poll() override;
    bool Confirm(const std::string& question) override;
    int ChooseOne(const std::string& caption, const std::vector<std::string>& items) override;
    bool ChooseMany(const std::string& caption, const std::vector<std::string>& items, std::vector<bool>& checked) override;
    void AppendAlert(const std::string& text) override;
    void ShowAlert(const std::string& text) override;
    void Beep() override { Note("beep"); }
    TOutlineDocument* MainOutline() override { return main; }
    TOutlineDocument* EditorOutline() override { return editor; }
    std::vector<std::string> TaggedFolders(bool includeCurrent) override;
    const TKuidMap& KuidIndex() override { return kuids; }
    void BeginTreeUpdate() override;
    void EndTreeUpdate() override;
    void ShowStatus(int panel, const std::string& text) override;
    void ShowGauge(int count) override { Note("gauge " + std::to_string(count)); }
    void StepGauge() override { Note("gauge step"); }
    void HideGauge() override { Note("gauge hide"); }
    void BatchMode(bool on) override { Note(on ? "batch on" : "batch off"); }
    std::string AskScriptFile(const std::string& caption, const std::string& filter, const std::string& folder) override;
    void OpenViewer(const std::string& caption, const std::string& file, const std::string& first,
                    const std::string& third, const std::string& second) override;
    TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                              bool last, bool& preview) override;
    void RefreshFiles() override { Note("refresh"); }
    void ShowMessage(const std::string& text) override { Note("message " + text); }
    void RepaintTree() override { Note("repaint"); }
    void BusyCursor(bool on) override { Note(on ? "busy on" : "busy off"); }
    IEditorDialogs* EditorDialogs() override { return dialogs; }
    IEditorDialogs* dialogs = nullptr;  // where a tool's output is shown; none by default

    void Note(std::string line);
    std::string Log() const;  // the log, one call a line

private:
    std::string Next();
    std::map<int, std::string> status_;
};

// Handlers standing in for the command families still to come: each records what it receives as
// "name|p1|p2|..." in the host's log ("*" after the name for literal fields). -delete, -update,
// -pointrotation, -store, -restore, -info, -messagebox, -iniadd, -inidelete, -installtool and
// -write run their real handlers, recorded the same way.
void RegisterStandIns(TScriptCommands& commands, FakeScriptHost& host);

// The alert lines of the host's log, in order.
std::vector<std::string> Alerts(const FakeScriptHost& host);
// The messages a run reported, without the "script\\line: " prefix.
std::vector<std::string> Messages(const FakeScriptHost& host);

struct ScriptBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    RecordingCommandBus bus;
    RecordingViewer viewer;
    FakeClock clock;
    FakeRunner runner;
    FakeScriptHost host;
    std::unique_ptr<TOutlineDocument> main;
    std::unique_ptr<TOutlineDocument> editor;
    std::unique_ptr<TScriptUnit> unit;

    explicit ScriptBed(bool standIns = true);

    std::string Program() const { return dir / "program"; }
    std::string Scripts() const { return Program() + "/scripts"; }
    std::string Backup() const { return Program() + "/backup"; }
    // An asset folder holding `config` as its config.txt.
    std::string Asset(std::string_view name, std::string_view config);
    // Makes an asset the current one, loaded into the main outline.
    std::string SelectAsset(std::string_view name, std::string_view config);
    void WriteScript(std::string_view name, std::string_view text);
    // Runs the lines as the script "test"; returns the host's log.
    std::string Run(std::string_view text, bool snapshot = false);
};

// The default asset of the language and flow tests.
inline constexpr std::string_view kTestConfig =
    "kuid <kuid:1234:5678>\n"
    "kind \"scenery\"\n"
    "trainz-build 2.9\n"
    "username \"Water Tower\"\n"
    "category-class \"BIN\"\n"
    "description \"abc\"\n"
    "mesh-table {\n"
    "  default {\n"
    "    mesh \"tower.im\"\n"
    "    auto-create 1\n"
    "  }\n"
    "  lod {\n"
    "    mesh \"tower_lod.im\"\n"
    "  }\n"
    "}\n"
    "thumbnails {\n"
    "}\n";

}  // namespace kelvarn::test
