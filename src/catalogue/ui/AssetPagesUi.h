// The editor window's new-asset page (section E, page 7) and clone page (section E, page 6): their
// controls, the check run on every field change and the KUID field's completion. The editor shows
// them; each page tells it through CheckChanged whether OK may be pressed and what HelpLabel says.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "catalogue/AssetPages.h"
#include "shell/Controls.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace kelvarn {

class TProgramState;
class TXEdit;

// A location field with its "Select Path" button.
struct TLocationRow {
    TXEdit* edit = nullptr;
    QToolButton* select = nullptr;
};

class TAssetPageBase : public QWidget {
public:
    TAssetPageBase(TProgramState& state, QWidget* parent);

    // The page's check, shown through CheckChanged.
    std::function<void(const TPageCheck& check)> CheckChanged;
    // The folder-choice dialog (title, start folder); empty when cancelled. Unset: Qt's own.
    std::function<std::string(const std::string& title, const std::string& start)> ChooseFolder;
    const TPageCheck& LastCheck() const { return check_; }

protected:
    TXEdit* KuidEdit();
    TXEdit* LineEdit(TCharType type);
    TLocationRow LocationRow();
    void AddRow(const char* label, QWidget* field);
    void SelectLocation(TXEdit* location);
    void CompleteKuid(TXEdit* kuid);
    void Report(const TPageCheck& check);
    std::string Backup() const;

    TProgramState& state_;
    TPageCheck check_;
    bool filling_ = false;  // fields set by code check once, at the end
};

class TNewAssetEditor final : public TAssetPageBase {
public:
    TNewAssetEditor(TProgramState& state, QWidget* parent = nullptr);

    TXEdit* newKUID;
    QComboBox* newKind;
    TXEdit* newLocation;
    QToolButton* newSelect;
    TXEdit* newFoldername;

    // Fills the kinds, the location and the folder name; the KUID and the kind chosen stay.
    void SetFields(const TNewAssetFields& fields);
    TNewAssetFields Fields() const;
    void NewDataChange();
    void NewKuidExit();
    void NewPathSelect();
};

class TCloneEditor final : public TAssetPageBase {
public:
    TCloneEditor(TProgramState& state, QWidget* parent = nullptr);

    TXEdit* cloneKUID;
    TXEdit* cloneUsername;
    TXEdit* cloneLocation;
    QToolButton* cloneSelect;
    TXEdit* cloneName;
    QPlainTextEdit* cloneDescription;

    void SetFields(const TCloneFields& fields);
    TCloneFields Fields() const;
    void CloneDataChange();
    void CloneKUIDExit();
    void ClonePathSelect();
    // The folder being cloned: a copy may not go inside it.
    std::string Source;
};

}  // namespace kelvarn
