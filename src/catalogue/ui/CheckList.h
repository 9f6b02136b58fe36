// The list control the asset list and the file list share: a model over the core's items (no copy),
// drawn as a check column (the frame's own check square: Normal background, Modified for an edited
// item, an inner square in the Tagged colour when checked) and the item's text 6 pixels in, in the
// Normal colours or, for the current item, the Selected colours. Clicks and keys are the frames'.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <functional>
#include <string>

namespace kelvarn {

class TProgramState;

inline constexpr int kCheckColumnWidth = 20;

class ICheckListSource {
public:
    virtual ~ICheckListSource() = default;
    virtual int ItemCount() const = 0;
    virtual std::string ItemCaption(int index) const = 0;  // what is drawn
    virtual std::string ItemText(int index) const = 0;     // the item's text (tooltips, tests)
    virtual bool ItemTagged(int index) const = 0;
    virtual bool ItemEdited(int index) const = 0;
    virtual bool ItemCurrent(int index) const = 0;
};

class TCheckListModel final : public QAbstractListModel {
public:
    explicit TCheckListModel(const ICheckListSource& source, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The core's changes, passed on as the view needs them.
    void Reset();
    void Inserted(int row);
    void Removed(int row);
    void Changed(int row);  // -1: every row

private:
    const ICheckListSource& source_;
};

class TCheckListDelegate final : public QStyledItemDelegate {
public:
    TCheckListDelegate(const TProgramState& state, bool focusRect, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const TProgramState& state_;
    bool focusRect_;
};

enum : int { kTaggedRole = Qt::UserRole + 1, kEditedRole, kCurrentRole, kTextRole };

// The list view: its own selection drawing, so Qt's selection is off; the frame handles the mouse
// and the keys through the hooks.
class TCheckListView final : public QListView {
public:
    explicit TCheckListView(QWidget* parent = nullptr);
    // Return true when the event was used.
    std::function<bool(QMouseEvent*)> OnMousePress;
    std::function<bool(QMouseEvent*)> OnMouseMove;
    std::function<void(QMouseEvent*)> OnMouseRelease;
    std::function<bool(QKeyEvent*)> OnKeyPress;
    std::function<void(QKeyEvent*)> OnKeyRelease;
    int RowAt(const QPoint& position) const;
    void ShowRow(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

// The key's typed character when it is a letter or a digit, else 0.
char32_t TypedLetterOrDigit(const QKeyEvent& event);

}  // namespace kelvarn
