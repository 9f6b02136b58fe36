// The editor's new-asset and clone pages (section E, pages 7 and 6) and their two tasks.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

#include "catalogue/ui/AssetPagesUi.h"
#include "catalogue/ui/Editor.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

void TEditor::BuildAssetPages() {
    NewAssetEditor = new TNewAssetEditor(state_, this);
    CloneEditor = new TCloneEditor(state_, this);
    SetPage(esE, epNewAsset, NewAssetEditor);
    SetPage(esE, epClone, CloneEditor);
    // Each page's check decides OK and what HelpLabel says, while the page is in use.
    auto follow = [this](int page) {
        return [this, page](const TPageCheck& check) {
            if (Section(esE)->currentIndex() != page) return;
            bOK->setEnabled(check.enabled);
            HelpLabel->setText(QString::fromStdString(check.reason));
        };
    };
    NewAssetEditor->CheckChanged = follow(epNewAsset);
    CloneEditor->CheckChanged = follow(epClone);
}

// Shows the page prepared by the caller modally: centred, its KUID field focused, no preview box.
// OK completes the KUID and checks the page again, since the disc may have changed meanwhile.
int TEditor::ShowAssetPage(int page, QWidget* focus) {
    ArrangeSections({-1, -1, -1, -1, page}, {-1, -1, -1, -1, -1});
    cbPreview->hide();
    PositionAtCursor(-2, -2, focus);
    const std::function<bool()> before = BeforeOK;
    BeforeOK = [this, page] {
        if (page == epNewAsset) {
            NewAssetEditor->NewKuidExit();
            NewAssetEditor->NewDataChange();
            return NewAssetEditor->LastCheck().enabled;
        }
        CloneEditor->CloneKUIDExit();
        CloneEditor->CloneDataChange();
        return CloneEditor->LastCheck().enabled;
    };
    // The check runs once the page is the one shown, so OK starts right.
    if (page == epNewAsset)
        NewAssetEditor->NewDataChange();
    else
        CloneEditor->CloneDataChange();
    const int result = ShowModal();
    BeforeOK = before;
    bOK->setEnabled(true);
    return result;
}

bool TEditor::NewAssetDialog(int size, const std::string& caption, TNewAssetFields& fields) {
    ResetEditor(size);
    NewAssetEditor->SetFields(fields);
    setWindowTitle(QString::fromStdString(caption));
    if (ShowAssetPage(epNewAsset, NewAssetEditor->newKUID) != erOK) return false;
    fields = NewAssetEditor->Fields();
    return true;
}

bool TEditor::CloneAssetDialog(int size, const std::string& caption, TCloneFields& fields) {
    ResetEditor(size);
    CloneEditor->Source = fields.source;
    CloneEditor->SetFields(fields);
    setWindowTitle(QString::fromStdString(caption));
    if (ShowAssetPage(epClone, CloneEditor->cloneKUID) != erOK) return false;
    const std::string source = fields.source;
    fields = CloneEditor->Fields();
    fields.source = source;
    return true;
}

}  // namespace kelvarn
