// TSelector: the small stay-on-top window beside the mesh view that lists the shown mesh's attachment
// points or texture names. Choosing an entry tells the view over the command bus which one to show;
// the footer sets the marker size, the wireframe grey and whether every point is marked. While it is
// shown the asset list, file list and outline are locked ("Lock" on show, "Unlock" on every hide).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "media/SelectorModel.h"

class QCheckBox;
class QListWidget;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QToolButton;

namespace kelvarn {

class ICommandBus;

class TSelector : public QDialog {
public:
    explicit TSelector(QWidget* mainWindow = nullptr);

    void SetCommandTarget(ICommandBus* target) { target_ = target; }
    // The name of the view button that opened it; its controls send their tag with this text.
    void SetOpener(const std::string& name) { opener_ = name; }
    void SetMode(int mode);
    int Mode() const { return model_.Mode; }
    TSelectorModel& Model() { return model_; }
    // The list's entries (shown sorted, ignoring case).
    void SetItems(const std::vector<std::string>& items);

    void SetPointSize(int size);
    int PointSize() const;
    void SetLineColour(int position);
    int LineColour() const;
    bool ShowAllChecked() const;

    // A list entry chosen: kept, and its text sent as 252 (points) or 253 (textures).
    void SelectItem(int row);
    // A footer control changed: its tag with the opener's name.
    void ControlClick(int tag);

    QListWidget* ListBox() const { return list_; }
    QCheckBox* ShowAllBox() const { return showAll_; }
    QSpinBox* PointSizer() const { return pointSizer_; }
    QToolButton* PointBoundsButton() const { return pointBounds_; }
    QScrollBar* LineColourBar() const { return lineColour_; }
    QPushButton* CloseButton() const { return close_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Send(int code, const std::string& text);

    TSelectorModel model_;
    ICommandBus* target_ = nullptr;
    std::string opener_;
    QListWidget* list_;
    QCheckBox* showAll_;
    QSpinBox* pointSizer_;
    QToolButton* pointBounds_;
    QScrollBar* lineColour_;
    QPushButton* close_;
};

}  // namespace kelvarn
