// The edits a user makes on a real config, each on a fresh load, saved and compared with an unedited
// save of the same file: what each edit changed that it was not asked to change. Shared by the
// property test over the corpus and the bench/edit_corpus runner, so that both judge alike.
#pragma once

#include <algorithm>
#include <chrono>
#include <iterator>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ConfigReader.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineWiring.h"
#include "catalogue/TagEditing.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "validation/ObsoleteTags.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptUnit.h"

namespace kelvarn::editcorpus {

struct TRow {
    int level = 0;
    std::string name;   // as written
    std::string value;  // unquoted
    std::string key;    // level and lower-cased name: what an edit matches by
    std::string top;    // the lower-cased name of its top-level ancestor
};

struct TTally {
    std::size_t names = 0, values = 0, added = 0, ops = 0, failed = 0;
    std::vector<std::string> notes;  // the first faults, for the report
    void Note(const std::string& text) {
        if (notes.size() < 20) notes.push_back(text);
    }
    // The notes, a line each.
    std::string Report() const {
        std::string text;
        for (const std::string& note : notes) text += note + "\n";
        return text;
    }
};

// A program folder (ending in "/") holding the tags.xml at `tagsXml`, for the tag definitions and
// Delete Obsolete Tags. Empty when it cannot be made.
inline std::string MakeProgramFolder(const std::string& folder, const std::string& tagsXml) {
    const std::string program = folder + "/program/";
    std::string tags;
    if (!ReadFileBytes(tagsXml, tags, 64ull << 20).empty() || !ForceDirectories(program + "bin") ||
        !WriteFileAtomic(program + "bin/tags.xml", tags).empty())
        return {};
    return program;
}

// Each config.txt below `corpus`, sorted, copied alone into a folder of its own below `scratch`, so
// that nothing an edit does can reach the corpus: the copies' folders, one per config (a copy that
// failed holds no config, so its edits fail to load).
inline std::vector<std::string> CopyEachConfig(const std::string& corpus, const std::string& scratch) {
    std::vector<std::string> files, copies;
    FindFilesRecursive(corpus + "/*.*", "config.txt", files);
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        copies.push_back(scratch + "/asset" + std::to_string(copies.size()));
        std::string bytes;
        if (ReadFileBytes(file, bytes, kMaxConfigBytes).empty() && ForceDirectories(copies.back()))
            WriteFileAtomic(copies.back() + "/config.txt", bytes);
    }
    return copies;
}

// The rows of a saved text as the reader reads it back.
inline std::vector<TRow> RowsOf(const std::string& text) {
    std::vector<TRow> rows;
    TConfigReader reader;
    if (!reader.LoadConfigBytes(text, "edit")) return rows;
    const std::unique_ptr<TOutlineNode> tree = reader.BuildTree();
    std::string top;
    WalkRows(tree.get(), [&](TOutlineNode* n, int level) {
        if (level == 0) return;
        const std::string name = n->WrittenName();
        if (level == 1) top = LowerCase(name);
        rows.push_back({level, name, TagValueUnquoted(n->Text()), std::to_string(level) + "|" + LowerCase(name), top});
    });
    return rows;
}

// What an edit was asked to change: rows of the edited save it may add, and rows whose value it may
// change.
struct TAsked {
    std::size_t added = 0;
    std::function<bool(const TRow& before, const TRow& after)> valueMayChange;
};

// The rows of one top-level node (its index among the level-1 rows): where they start and how many.
inline std::pair<std::size_t, std::size_t> TopBlock(const std::vector<TRow>& rows, std::size_t index) {
    std::size_t seen = 0, start = rows.size();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].level != 1) continue;
        if (seen++ == index) {
            start = i;
            break;
        }
    }
    std::size_t end = start;
    if (start < rows.size()) do ++end; while (end < rows.size() && rows[end].level > 1);
    return {start, end - start};
}

// Matches the edited rows into the unedited ones in order (by level and name ignoring case) and
// counts the names whose spelling changed, the values that changed unasked and the rows that appeared.
inline void Compare(const std::string& what, const std::vector<TRow>& before, const std::vector<TRow>& after,
                    const TAsked& asked, TTally& tally) {
    std::size_t b = 0, unmatched = 0;
    for (const TRow& row : after) {
        std::size_t k = b;
        while (k < before.size() && before[k].key != row.key) ++k;
        if (k == before.size()) {
            ++unmatched;
            continue;
        }
        const TRow& was = before[k];
        if (was.name != row.name) {
            ++tally.names;
            tally.Note(what + ": name " + was.name + " became " + row.name);
        }
        if (was.value != row.value && !(asked.valueMayChange && asked.valueMayChange(was, row))) {
            ++tally.values;
            tally.Note(what + ": value of " + row.name + " [" + was.value + "] became [" + row.value + "]");
        }
        b = k + 1;
    }
    if (unmatched > asked.added) {
        tally.added += unmatched - asked.added;
        tally.Note(what + ": " + std::to_string(unmatched - asked.added) + " rows appeared");
    }
}

// Edit Tag answered with OK and nothing touched.
class TUntouchedHost final : public ITagEditorHost {
public:
    bool EditRecord(TTagSpec&, std::vector<std::string>&, bool& gridModified) override {
        gridModified = false;
        return true;
    }
    std::optional<std::string> EditColour(const std::string&, const std::string&, const std::string& value) override {
        return value;
    }
    void RefreshTrainzBuild(const std::string&) override {}
};

class TQuietHost final : public SilentScriptHost {
public:
    TOutlineDocument* main = nullptr;
    TOutlineDocument* MainOutline() override { return main; }
};

// One config's folder loaded afresh for each edit. `programFolder` holds bin/tags.xml.
class TEditRun {
public:
    TEditRun(const std::string& programFolder, const std::string& assetFolder) : folder_(assetFolder) {
        state_.ProgramFolder = programFolder;
        state_.Environment = [](const std::string&) { return std::string(); };
        state_.SetAssetPath(assetFolder);
        host_.main = &doc_;
    }

    TOutlineDocument& Doc() { return doc_; }
    TProgramState& State() { return state_; }
    bool Load() { return doc_.LoadConfig(folder_).empty() && doc_.Root(); }
    std::string Saved() const { return doc_.ConfigFileText(); }
    void Script(const std::string& line) { unit_.ExecuteScriptLines("edit", {line}, false); }
    void DeleteObsolete() { DeleteObsoleteTags(state_, host_, doc_, true); }

private:
    std::string folder_;
    TProgramState state_;
    TOutlineDocument doc_{state_};
    TOutlineWiring wiring_{state_, doc_, false};
    TQuietHost host_;
    TScriptUnit unit_{state_, host_};
};

// Edit Tag on every tag of a fresh load (each tag that holds no other), one way of answering the
// editor: its name in the report, and the edits on the tags given.
struct TEditTagStep {
    std::string name;
    std::function<void(TEditRun& run, const std::vector<TOutlineNode*>& tags)> edit;
};

// The editor answering OK with nothing touched, without its pages.
inline TEditTagStep UntouchedEditTag() {
    return {"Edit Tag OK", [](TEditRun& run, const std::vector<TOutlineNode*>& tags) {
                TUntouchedHost host;
                for (TOutlineNode* n : tags) EditTag(run.Doc(), n, host);
            }};
}

// A string that stands in some value (three characters of the first value that has them, no blank
// or script separator among them), or nothing.
inline std::string StringInAValue(const std::vector<TRow>& rows) {
    for (const TRow& r : rows) {
        if (r.value.find('<') != std::string::npos) continue;
        for (std::size_t i = 0; i + 3 <= r.value.size(); ++i) {
            const std::string s = r.value.substr(i, 3);
            const auto plain = [](char c) { return (c & 0x80) == 0 && c > ' ' && c != '|' && c != '\\' && c != '"'; };
            if (std::all_of(s.begin(), s.end(), plain)) return s;
        }
    }
    return {};
}

// Runs every edit on the config in `assetFolder`; `undo` also undoes each edit that leaves an undo
// step and compares again. Calls `timed(name, seconds)` for each edit when given. Edit Tag runs once
// for each of `editTag`'s steps (UntouchedEditTag when none are given).
inline void RunEdits(const std::string& programFolder, const std::string& assetFolder, bool undo, TTally& tally,
                     const std::function<void(const std::string&, double)>& timed = nullptr,
                     const std::vector<TEditTagStep>& editTag = {}) {
    const std::string file = assetFolder;
    std::vector<TRow> base;
    {
        TEditRun run(programFolder, assetFolder);
        if (!run.Load()) {
            ++tally.failed;
            tally.Note(file + ": does not load");
            return;
        }
        base = RowsOf(run.Saved());
    }
    // `split` takes out of the edited rows the part the edit made anew and compares it itself.
    using TSplit = std::function<void(std::vector<TRow>& after, const std::string& what)>;
    const auto edit = [&](const std::string& what, const TAsked& asked, const std::function<void(TEditRun&)>& op,
                          bool undoable, const TSplit& split = nullptr) {
        TEditRun run(programFolder, assetFolder);
        if (!run.Load()) {
            ++tally.failed;
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        op(run);
        if (timed) timed(what, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ++tally.ops;
        std::vector<TRow> after = RowsOf(run.Saved());
        if (split) split(after, file + " " + what);
        Compare(file + " " + what, base, after, asked, tally);
        if (undo && undoable) {
            while (run.Doc().UndoLastChange()) {
            }
            Compare(file + " " + what + " undone", base, RowsOf(run.Saved()), TAsked{}, tally);
        }
    };

    edit("-replaceall (no match)", {}, [](TEditRun& r) { r.Script("-replaceall|zq\xC2\xB7qz|x"); }, false);
    if (const std::string from = StringInAValue(base); !from.empty()) {
        TAsked asked;
        asked.valueMayChange = [from](const TRow& was, const TRow&) { return was.value.find(from) != std::string::npos; };
        edit("-replaceall " + from, asked, [from](TEditRun& r) { r.Script("-replaceall|" + from + "|Zz"); }, false);
    }
    for (const TEditTagStep& step : editTag.empty() ? std::vector<TEditTagStep>{UntouchedEditTag()} : editTag)
        edit(step.name, {}, [&step](TEditRun& r) {
            std::vector<TOutlineNode*> tags;
            WalkRows(r.Doc().Root(), [&](TOutlineNode* n, int level) {
                if (level > 0 && !n->HasChildren()) tags.push_back(n);
            });
            step.edit(r, tags);
        }, true);
    {
        // The table is rebuilt: its numbered rows come and go, its named ones keep their names; a
        // legacy number elsewhere becomes its KUID.
        TAsked asked;
        asked.valueMayChange = [](const TRow& was, const TRow& now) { return now.value == "<kuid:-1:" + was.value + ">"; };
        const auto named = [](const std::vector<TRow>& rows) {
            std::vector<std::string> names;
            for (const TRow& r : rows)
                if (r.top == "kuid-table" && r.level == 2 && r.name.find_first_not_of("0123456789") != std::string::npos &&
                    !r.value.empty())
                    names.push_back(r.name);
            std::sort(names.begin(), names.end());
            return names;
        };
        const std::vector<std::string> wanted = named(base);
        std::vector<TRow> kept;
        std::copy_if(base.begin(), base.end(), std::back_inserter(kept), [](const TRow& r) { return r.top != "kuid-table"; });
        const std::vector<TRow> whole = std::move(base);
        base = kept;
        edit("-updatekuidtable", asked, [](TEditRun& r) { r.Script("-updatekuidtable"); }, false,
             [&](std::vector<TRow>& after, const std::string& what) {
                 for (const std::string& name : wanted) {
                     const std::vector<std::string> now = named(after);
                     if (!std::binary_search(now.begin(), now.end(), name)) {
                         ++tally.names;
                         tally.Note(what + ": kuid-table entry " + name + " lost its name");
                     }
                 }
                 std::erase_if(after, [](const TRow& r) { return r.top == "kuid-table"; });
             });
        base = whole;
    }
    edit("Delete Obsolete Tags", {}, [](TEditRun& r) { r.DeleteObsolete(); }, false);

    // Copy and paste of each top-level container before itself, and cut and paste back.
    std::size_t tops = 0;
    for (const TRow& r : base) tops += r.level == 1;
    for (std::size_t i = 0; i < tops; ++i) {
        const auto [at, rows] = TopBlock(base, i);
        if (rows < 2) continue;  // a tag, or an empty container
        const std::vector<TRow> original(base.begin() + static_cast<std::ptrdiff_t>(at),
                                         base.begin() + static_cast<std::ptrdiff_t>(at + rows));
        // The copy stands where the original stood; it must be the original row for row.
        const TSplit copy = [&, i](std::vector<TRow>& after, const std::string& what) {
            const auto [start, count] = TopBlock(after, i);
            if (count != original.size()) {
                tally.added += count > original.size() ? count - original.size() : 0;
                tally.Note(what + ": the copy has " + std::to_string(count) + " rows, not " + std::to_string(original.size()));
            } else {
                Compare(what + " (the copy)", original,
                        std::vector<TRow>(after.begin() + static_cast<std::ptrdiff_t>(start),
                                          after.begin() + static_cast<std::ptrdiff_t>(start + count)),
                        TAsked{}, tally);
            }
            after.erase(after.begin() + static_cast<std::ptrdiff_t>(start),
                        after.begin() + static_cast<std::ptrdiff_t>(std::min(after.size(), start + count)));
        };
        edit("copy+paste #" + std::to_string(i), {}, [i](TEditRun& r) {
            TCopyList list;
            TOutlineNode* node = r.Doc().Root()->Child(i);
            CopyNode(r.Doc(), node, list);
            PasteNodes(r.Doc(), node, list);
        }, true, copy);
        edit("cut+paste #" + std::to_string(i), {}, [i](TEditRun& r) {
            TCopyList list;
            TOutlineNode* node = r.Doc().Root()->Child(i);
            CopyNode(r.Doc(), node, list);
            TOutlineNode* next = node->NextSibling();
            r.Doc().DeleteNodeNow(node, true);
            if (next) PasteNodes(r.Doc(), next, list);
        }, true);
    }
}

}  // namespace kelvarn::editcorpus
