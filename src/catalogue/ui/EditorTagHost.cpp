#include "catalogue/ui/EditorTagHost.h"

#include <QGuiApplication>
#include <QScreen>

#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/Editor.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/Frames.h"

namespace kelvarn {

bool TEditorTagHost::EditRecord(TTagSpec& record, std::vector<std::string>& csvList, bool& gridModified) {
    gridModified = false;
    if (&csvList != &state_.CsvList) state_.CsvList = csvList;
    editor_.Record = record;
    editor_.TagEditor(record.Path, record.Name, record.Value);
    const bool ok = editor_.ShowModal() == erOK;
    if (ok) gridModified = editor_.TableView().Modified();
    const bool stored = ok && editor_.StoreRecord();
    if (stored) record = editor_.Record;
    if (&csvList != &state_.CsvList) csvList = state_.CsvList;
    return stored;
}

std::optional<std::string> TEditorTagHost::EditColour(const std::string& format, const std::string& caption,
                                                       const std::string& value) {
    TColourBox* box = editor_.ColourBox;
    if (!box) return std::nullopt;
    const std::string kind = LowerCase(format);
    if (kind == "rgba") box->PrepareRgbaColour(caption, value);
    else if (kind == "hls") box->PrepareHlsColour(caption, value);
    else box->PrepareRgbColour(caption, value);
    if (box->exec() != QDialog::Accepted) return std::nullopt;
    return box->GetColourString(kind);
}

bool TEditorTagHost::ChooseTag(const std::string& caption, const TOutlineNode* container,
                               const std::vector<std::string>& names, TTagSpec& record,
                               std::vector<std::string>& csvList) {
    if (names.empty()) return false;
    editor_.ChooserRecordOf = [this, container](const std::string& name) {
        std::vector<std::string> captions;  // callback 232 renders them when the page opens
        return ChooserRecord(document_, container, name, captions);
    };
    editor_.MultiTagEditor(document_.NodePath(container), names.front(), names, caption);
    // A container chosen here shows the message page; OK still adds it.
    const bool ok = editor_.ShowModal() == erOK;
    if (ok) editor_.StoreRecord();
    editor_.ChooserRecordOf = nullptr;
    if (!ok) return false;
    record = editor_.Record;
    if (&csvList != &state_.CsvList) csvList = state_.CsvList;
    return true;
}

std::optional<std::string> TEditorTagHost::AskTagName(const std::string& caption, const std::string& proposal) {
    return editor_.InputLine(caption, "Tag Name:", proposal, "");
}

}  // namespace kelvarn
