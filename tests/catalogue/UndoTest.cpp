#include <gtest/gtest.h>

#include "catalogue/OutlineDocument.h"
#include "catalogue/UndoStack.h"
#include "ConfigTestSupport.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;
using test::Rows;

TEST(Undo, ThreePushesAndThreeUndos) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n");
    std::vector<std::vector<std::string>> trees;
    for (const char* value : {"1", "2", "3"}) {
        trees.push_back(Rows(doc.Root()));
        ASSERT_EQ(doc.PushUndo(), "");
        doc.SetTagByPath("\\n", value);
    }
    EXPECT_EQ(doc.UndoStack().Depth(), 3);
    EXPECT_TRUE(FileExists(doc.UndoStack().FileName(2)));
    ASSERT_TRUE(doc.Modified());
    for (int i = 2; i >= 0; --i) {
        EXPECT_TRUE(doc.CanUndo());
        ASSERT_TRUE(doc.UndoLastChange());
        EXPECT_EQ(Rows(doc.Root()), trees[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(FileExists(doc.UndoStack().FileName(i)));
        // Only the tree as loaded has nothing to save.
        EXPECT_EQ(doc.Modified(), i > 0);
    }
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.UndoLastChange());
    EXPECT_EQ(bed.Sent(ccConfigEdited), 3);
    EXPECT_EQ(doc.UndoStack().FileName(0), BackupFolderPath(bed.state) + "\\undo0.kv$");
}

// Undo reaches the loaded tree only when the first snapshot was taken of it: a config the reader
// repaired, or one changed before the first snapshot, stays modified.
TEST(Undo, BackAtTheLoadedTreeNothingIsLeftToSave) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n");
    doc.SetTagByPath("\\n", "1");
    ASSERT_EQ(doc.PushUndo(), "");
    doc.SetTagByPath("\\n", "2");
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_TRUE(doc.Modified());

    LoadText(bed, doc, "kind x\n");
    ASSERT_EQ(doc.PushUndo(), "");
    doc.SetTagByPath("\\n", "1");
    doc.SetModified(false);  // as after a save: the clean tree is now this one
    ASSERT_EQ(doc.PushUndo(), "");
    doc.SetTagByPath("\\n", "2");
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_FALSE(doc.Modified());
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_TRUE(doc.Modified());  // before the save: differs from what is on disc
}

TEST(Undo, RestoresMarksAndEmptyContainers) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n;old 1\nempty\n{\n}\nbox\n{\n  in 1\n}\nodd \"a\xC2\xB6" "b\"\n");
    doc.ToggleMark(doc.FindNodeByPath("box"), tmDelete, false);
    doc.ToggleMark(doc.FindNodeByPath("kind"), tmTag, true);
    const std::vector<std::string> rows = Rows(doc.Root());
    const std::string written = doc.ConfigFileText();
    ASSERT_EQ(doc.PushUndo(), "");
    doc.DeleteByPath("empty", false);
    doc.ToggleMark(doc.FindNodeByPath("old"), tmComment, false);
    doc.ToggleMark(doc.FindNodeByPath("box"), tmDelete, false);
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(Rows(doc.Root()), rows);
    EXPECT_TRUE(TOutlineDocument::IsComment(doc.FindNodeByPath("old")));
    EXPECT_TRUE(doc.FindNodeByPath("empty")->ChildMark());
    EXPECT_TRUE(TOutlineDocument::IsDeleteMarked(doc.FindNodeByPath("box\\in")));
    EXPECT_EQ(doc.TaggedCount(), 1);
    EXPECT_EQ(doc.DeleteCount(), 2);
    EXPECT_EQ(doc.ConfigFileText(), written);
}

TEST(Undo, TwoDocumentsKeepTheirOwnStacks) {
    ConfigTestBed bed;
    TOutlineDocument main(bed.state);
    TOutlineDocument editor(bed.state, std::string(kEditorUndoPrefix));
    LoadText(bed, main, "kind main\n", "main");
    LoadText(bed, editor, "kind editor\n", "editor");
    main.PushUndo();
    editor.PushUndo();
    main.SetTagByPath("\\kind", "changed");
    editor.SetTagByPath("\\kind", "changed");
    ASSERT_TRUE(editor.UndoLastChange());
    EXPECT_EQ(editor.GetValueByPath("kind"), "editor");
    EXPECT_TRUE(main.CanUndo());
    ASSERT_TRUE(main.UndoLastChange());
    EXPECT_EQ(main.GetValueByPath("kind"), "main");
    EXPECT_TRUE(EndsWith(editor.UndoStack().FileName(0), "\\editorundo0.kv$"));
}

TEST(Undo, ALostSnapshotIsSkipped) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n");
    for (const char* value : {"0", "1", "2"}) {
        doc.SetTagByPath("\\n", value);
        doc.PushUndo();
    }
    // The newest snapshot still comes back first; below the gap the sequence goes on from 0.
    DeleteFilePath(doc.UndoStack().FileName(1));
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.GetValueByPath("n"), "2");
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.GetValueByPath("n"), "0");
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.UndoLastChange());
}

TEST(Undo, NoSnapshotsInScriptModeAndLoadAndSaveClearThem) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n");
    doc.ScriptMode = true;
    EXPECT_EQ(doc.PushUndo(), "");
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(FileExists(doc.UndoStack().FileName(0)));
    doc.ScriptMode = false;
    doc.PushUndo();
    doc.PushUndo();
    ASSERT_EQ(doc.LoadConfig(doc.ShownFolder()), "");
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(FileExists(doc.UndoStack().FileName(0)));
}

TEST(Undo, DamagedSnapshotLeavesTheTree) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\n");
    doc.PushUndo();
    doc.SetTagByPath("\\kind", "y");
    const std::string file = NativePath(doc.UndoStack().FileName(0));
    const std::string snapshot = test::ReadBytes(file);
    ASSERT_GT(snapshot.size(), 20u);
    test::WriteBytes(file, snapshot.substr(0, snapshot.size() - 3));
    EXPECT_FALSE(doc.UndoLastChange());
    EXPECT_EQ(doc.GetValueByPath("kind"), "y");
    ASSERT_FALSE(bed.messages.messages.empty());
    EXPECT_TRUE(StartsWith(bed.messages.messages.back(), "Undo snapshot damaged: ")) << bed.messages.messages.back();
    EXPECT_FALSE(doc.CanUndo());
}

TEST(Undo, SnapshotFormatRejectsDamage) {
    std::string error;
    EXPECT_EQ(ReadUndoSnapshot("KVUNDO 1\n", error), nullptr);
    EXPECT_EQ(error, "");  // an empty tree
    const char* const damaged[] = {
        "",
        "KVUNDO 2\n",
        "KVUNDO 1\n0 0 0 10\nconfig.txt",         // no line end after the text
        "KVUNDO 1\n0 0 0 99\nconfig.txt\n",       // longer than the data
        "KVUNDO 1\n0 32 0 1\nx\n",                // unknown flags
        "KVUNDO 1\n0 0 2 1\nx\n",                 // a mark is 0 or 1
        "KVUNDO 1\n1 0 0 1\nx\n",                 // no root
        "KVUNDO 1\n0 0 0 1\nx\n2 0 0 1\ny\n",     // a level skipped
        "KVUNDO 1\n0 0 0 1\nx\n0 0 0 1\ny\n",     // two roots
        "KVUNDO 1\n0 0 0 -1\nx\n",
        "KVUNDO 1\n0 0 0 18446744073709551615\nx\n",
    };
    for (const char* data : damaged) {
        EXPECT_EQ(ReadUndoSnapshot(data, error), nullptr) << data;
        EXPECT_NE(error, "") << data;
    }
    // Texts may hold anything, line ends included.
    TOutlineNode root("config.txt");
    TOutlineBuilder::Append(root, "a \"x\ny\"", nfTagged | nfError, false);
    TOutlineBuilder::Append(*TOutlineBuilder::Append(root, "box", 0, true), "", nfComment, false);
    const auto back = ReadUndoSnapshot(WriteUndoSnapshot(&root), error);
    ASSERT_NE(back, nullptr) << error;
    EXPECT_EQ(Rows(back.get()), Rows(&root));
    EXPECT_EQ(back->Child(0)->Flags(), nfTagged | nfError);
    EXPECT_TRUE(back->Child(1)->ChildMark());
}

}  // namespace
}  // namespace kelvarn
