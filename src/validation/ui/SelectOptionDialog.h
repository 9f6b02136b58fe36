// The "Select Option" dialog of -case (one radio button per option) and -select (a check list). It
// shows the items the script engine prepared and hands the user's choice back; what the choice means
// is the engine's.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace kelvarn {

class TSelectOptionDialog : public QDialog {
public:
    explicit TSelectOptionDialog(QWidget* mainWindow = nullptr);

    // Single choice: the index chosen (the first preselected), -1 for Cancel.
    int ChooseOne(const std::string& caption, const std::vector<std::string>& items);
    // Multiple choice: false for Cancel; `checked` holds what the user left checked.
    bool ChooseMany(const std::string& caption, const std::vector<std::string>& items, std::vector<bool>& checked);

    // Cancel clears the choice and every check; both buttons close the dialog.
    void ButtonClick(QAbstractButton* button);

    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QGroupBox* OptionList() const { return optionList_; }
    QListWidget* SelectionList() const { return selectionList_; }
    // The radio button chosen, -1 for none.
    int OptionIndex() const;

private:
    void Prepare(const std::string& caption, QWidget* front);

    QWidget* mainWindow_;
    QStackedWidget* pages_;
    QGroupBox* optionList_;
    QVBoxLayout* optionLayout_;
    QButtonGroup* options_;
    QGroupBox* selectionPanel_;
    QListWidget* selectionList_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace kelvarn
