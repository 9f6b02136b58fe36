#include "catalogue/ui/TagEditRows.h"

#include <QAbstractButton>

#include "catalogue/EditorLayout.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineWiring.h"
#include "catalogue/TagEditing.h"
#include "catalogue/TagInsertion.h"
#include "catalogue/TagPickers.h"
#include "catalogue/WikiHelp.h"
#include "catalogue/ui/Editor.h"
#include "catalogue/ui/EditorTagHost.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/CommandBus.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/ui/Frames.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

void RegisterTagEditRows(TMain& main, TOutlineView& outline, TEditor& editor, TEditorTagHost& host, TWalnut& walnut) {
    TDispatcher& d = main.Dispatcher();
    TOutlineDocument& document = outline.Document();
    TProgramState& state = document.State();

    // The editor's lists from the outline: the children of a config path (228), the attachment
    // points of the selected point tag's meshes (229), a list tag's captions row (232).
    d.RegisterCallback(ccListChildren, [&document, &editor](const std::string& path) {
        editor.ConfigList.clear();
        document.ListChildNames(path, editor.ConfigList);
    });
    d.RegisterCallback(ccListAttachments, [&outline, &document, &editor, &state](const std::string& location) {
        ListAttachmentPoints(document, outline.Selected(), PointFolder(editor.Outline(), state), location,
                             editor.PreparedList);
    });
    d.RegisterCallback(ccContainerTable, [&editor, &state](const std::string&) {
        ContainerToCsv(nullptr, editor.Record, state.CsvList);
    });
    // Tools > Attachment Table.
    d.RegisterCommand(1323, [&document, &state](const std::string&) {
        state.SendCommand(ccShowTable, ShowAttachmentTable(document));
    });

    // The outline's hooks: Edit Tag, the value picker, Insert Tag and the tag's definition.
    outline.EditTag = [&document, &host](TOutlineNode* node) { EditTag(document, node, host); };
    outline.ValuePicker = [&outline, &document, &state, &main](TOutlineNode* node) {
        std::string name, value;
        SplitTag(node->Text(), name, value);
        name = TagName(node->Text());
        if (outline.PickedByKey()) value = TagValueUnquoted(node->Text());
        QAbstractButton* max = outline.MaxButton();
        const TPickAction action = PickTagValue(document, node, name, value, max && max->isChecked());
        if (action.rule == 1) {
            if (auto* text = dynamic_cast<ITextViewer*>(main.Frame(TFrameId::Text)))
                text->LoadStrings(action.lines, 3, false, true);
            return;
        }
        SendPickAction(state, action);
    };
    outline.InsertTag = [&outline, &document, &walnut, &host](TOutlineNode* node, bool asChild) {
        if (TOutlineNode* added = InsertTag(document, walnut, node, asChild ? imAddToContainer : imInsert, host)) {
            outline.MakeVisible(added);
            outline.Select(added);
        }
    };
    outline.ShowTagSpec = [&document, &editor](TOutlineNode* node) {
        const std::vector<std::string> lines = GetTagSpecDataButtonClick(document, node);
        if (!lines.empty()) editor.ShowText(kTagSpecTextSize, kTagSpecTextFlags, lines, std::string(kTagSpecCaption));
    };
    host.TrainzBuild = [&outline](const std::string& reason) {
        if (outline.RefreshTrainzBuild) outline.RefreshTrainzBuild(reason);
    };

    // The editor's help button and the status line of user tags.
    editor.OpenHelp = [&state, &document](const std::string& path, const std::string& value) {
        ExpandWikiMacro(state, document, path, value);
    };
    editor.SelectedConfigPath = [&outline, &document] {
        const TOutlineNode* node = outline.Selected();
        return node ? document.NodePath(node) : std::string();
    };
    editor.TagDefinition = [&document](const std::string& tag) { return LookupTagDefinition(document.Root(), tag); };
}

}  // namespace kelvarn
