#include "media/ui/Selector.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QShowEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/CommandBus.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr int kShowAllTag = 2692;
constexpr int kPointSizerTag = 2693;
constexpr int kPointBoundsTag = 2666;
constexpr int kCloseTag = 2690;
constexpr int kLineColourTag = 2694;

}  // namespace

TSelector::TSelector(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName("Selector");
    setWindowTitle("Selector");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setModal(false);
    setMinimumSize(260, 190);

    list_ = new QListWidget(this);
    list_->setObjectName("ListBox");
    showAll_ = new QCheckBox("Show All", this);
    showAll_->setObjectName("ShowAll");
    pointSizer_ = new QSpinBox(this);
    pointSizer_->setObjectName("PointSizer");
    pointSizer_->setToolTip("Point Display Size");
    pointSizer_->setRange(3, 15);
    pointSizer_->setValue(7);
    pointBounds_ = new QToolButton(this);
    pointBounds_->setObjectName("bPointBounds");
    pointBounds_->setToolTip("Zoom to Point Bounds");
    pointBounds_->setText("Zoom");
    lineColour_ = new QScrollBar(Qt::Horizontal, this);
    lineColour_->setObjectName("LineColour");
    lineColour_->setToolTip("Line Colour");
    lineColour_->setRange(0, 100);
    lineColour_->setValue(50);
    close_ = new QPushButton("Close", this);
    close_->setObjectName("bClose");
    for (auto [widget, tag] : {std::pair<QWidget*, int>{showAll_, kShowAllTag}, {pointSizer_, kPointSizerTag},
                               {pointBounds_, kPointBoundsTag}, {lineColour_, kLineColourTag}, {close_, kCloseTag}})
        widget->setProperty("tag", tag);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_, 1);
    auto* points = new QHBoxLayout;
    points->addWidget(showAll_);
    points->addStretch(1);
    points->addWidget(pointSizer_);
    points->addWidget(pointBounds_);
    layout->addLayout(points);
    auto* footer = new QHBoxLayout;
    footer->addWidget(lineColour_, 1);
    footer->addWidget(close_);
    layout->addLayout(footer);

    // A click chooses an entry, also the one already chosen; the keys choose as they move. A row
    // changed by a mouse press is left to the click that follows.
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { SelectItem(list_->row(item)); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (QApplication::mouseButtons() == Qt::NoButton && row >= 0) SelectItem(row);
    });
    connect(showAll_, &QCheckBox::clicked, this, [this] { ControlClick(kShowAllTag); });
    connect(pointSizer_, &QSpinBox::valueChanged, this, [this] { ControlClick(kPointSizerTag); });
    connect(pointBounds_, &QToolButton::clicked, this, [this] { ControlClick(kPointBoundsTag); });
    connect(lineColour_, &QScrollBar::valueChanged, this, [this] { ControlClick(kLineColourTag); });
    connect(close_, &QPushButton::clicked, this, [this] { ControlClick(kCloseTag); });
}

void TSelector::SetMode(int mode) { model_.Mode = mode == smTextures ? smTextures : smPoints; }

void TSelector::SetItems(const std::vector<std::string>& items) {
    std::vector<std::string> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    const QSignalBlocker block(list_);
    list_->clear();
    for (const std::string& item : sorted) list_->addItem(QString::fromStdString(item));
}

void TSelector::SetPointSize(int size) {
    const QSignalBlocker block(pointSizer_);
    pointSizer_->setValue(size);
}
int TSelector::PointSize() const { return pointSizer_->value(); }

void TSelector::SetLineColour(int position) {
    const QSignalBlocker block(lineColour_);
    lineColour_->setValue(position);
}
int TSelector::LineColour() const { return lineColour_->value(); }

bool TSelector::ShowAllChecked() const { return showAll_->isChecked(); }

void TSelector::Send(int code, const std::string& text) {
    if (target_) target_->SendCommand(code, text);
}

void TSelector::SelectItem(int row) {
    if (row < 0 || row >= list_->count()) return;
    model_.Keep(row);
    Send(model_.SelectionCode(), list_->item(row)->text().toStdString());
}

void TSelector::ControlClick(int tag) { Send(tag, opener_); }

void TSelector::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;  // the desktop showing it again with its main window
    Send(ccLock, "Lock");
    const bool points = model_.PointControlsVisible();
    showAll_->setVisible(points);
    pointSizer_->setVisible(points);
    pointBounds_->setVisible(points);
    if (QWidget* main = parentWidget()) {
        const QRect frame = main->frameGeometry();
        move(frame.center() - rect().center());
    }
    const int index = model_.ShowIndex(list_->count());
    {
        const QSignalBlocker block(list_);
        list_->setCurrentRow(index);
    }
    if (index >= 0) SelectItem(index);
}

void TSelector::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return;
    // Whatever hides it (its Close button, a mode button of the view, the window's own close), the
    // panes it locked are given back.
    Send(ccLock, "Unlock");
}

}  // namespace kelvarn
