#include "media/ui/GridView.h"

#include <QAbstractButton>
#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "shell/Colours.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MenuParts.h"
#include "shell/ui/Printing.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

constexpr int kGridGroup = 2700;

const TMenuItemRow kMenuItems[] = {
    {"mSort", "Sort Column", 2701, false},       {"mReverseSort", "Reverse Sort", 2702, false},
    {"mRandomise", "Randomise Column", 2703, false}, {"mSerialise", "Serialise Tags", 2704, false},
    {"mFill", "Data Fill ...", 2705, false},     {"mReload", "Reload Table", 2706, false},
    {"mClearTable", "Clear Table", 2707, false}, {"mClearColumn", "Clear Column", 2708, false},
    {"mClearRow", "Clear Row", 2709, false},     {"mAddRow", "Add Row", 2710, false},
    {"mInsert", "Insert Row", 2711, false},      {"mDelete", "Delete Row", 2712, false},
};

const TButtonRow kButtons[] = {
    {"bCase", "Case Sensitive Sorting", "Aa", 0},
    {"bNumber", "Row Numbers", "#", 0},
    {"bAutosize", "Autosize Columns", "\u2194", 0},
    {"bPrint", "Print Grid", "P", 0},
};

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// In fill mode the focused data cell shows in the scheme's fill colour.
class TGridDelegate final : public QStyledItemDelegate {
public:
    TGridDelegate(const GridModel& grid, const TProgramState& state, QObject* parent)
        : QStyledItemDelegate(parent), grid_(grid), state_(state) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (grid_.FillMode && (option->state & QStyle::State_HasFocus) && index.column() >= GridModel::kFixedCols)
            option->backgroundBrush = ToQColor(SchemeColour(&state_.Settings(), 2, false));
    }

private:
    const GridModel& grid_;
    const TProgramState& state_;
};

}  // namespace

int TGridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(grid_.RowCount() - GridModel::kFixedRows, 0);
}

int TGridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.ColCount(); }

QVariant TGridTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return Qs(grid_.Cell(index.column(), index.row() + GridModel::kFixedRows));
}

bool TGridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return false;
    const std::string text = value.toString().toStdString();
    if (text == grid_.Cell(index.column(), index.row() + GridModel::kFixedRows)) return false;
    grid_.SetCell(index.column(), index.row() + GridModel::kFixedRows, text);
    emit dataChanged(index, index);
    return true;
}

QVariant TGridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return Qs(grid_.Cell(section, 0));
    return Qs(grid_.Cell(1, section + GridModel::kFixedRows));
}

Qt::ItemFlags TGridTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (grid_.Editing && index.column() >= GridModel::kFixedCols) f |= Qt::ItemIsEditable;
    return f;
}

TGridView::TGridView(TProgramState& state, QWidget* parent)
    : TViewerFrame("GridView", "Table", true, parent), state_(state) {
    model_ = new TGridTableModel(grid_, this);
    table_ = new QTableView(Body());
    table_->setObjectName("Grid");
    table_->setModel(model_);
    table_->setItemDelegate(new TGridDelegate(grid_, state, table_));
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->horizontalHeader()->setSectionsClickable(true);
    BodyLayout()->addWidget(table_);
    BuildHeader();
    BuildFillPanel();
    menu_ = BuildContextMenu(this, "ContextMenu", kGridGroup, kMenuItems,
                             [this](int tag) {
                                 if (Bus()) Bus()->SendCommand(tag, kMenuItems[tag - 2701].caption);
                             },
                             [] {});

    QObject::connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = table_->indexAt(at);
        if (index.isValid()) ContextMenuPopup(index.column(), index.row() + GridModel::kFixedRows);
    });
    QObject::connect(table_->horizontalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int col = table_->horizontalHeader()->logicalIndexAt(at);
        if (col >= 0) ContextMenuPopup(col, 0);
    });
    QObject::connect(table_->verticalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int row = table_->verticalHeader()->logicalIndexAt(at);
        if (row >= 0) ContextMenuPopup(GridModel::kFixedCols - 1, row + GridModel::kFixedRows);
    });
    // The corner is the top cell of the row-number column: the place of "Reload" and "Clear Table".
    if (auto* corner = table_->findChild<QAbstractButton*>()) {
        corner->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(corner, &QWidget::customContextMenuRequested, this,
                         [this] { ContextMenuPopup(GridModel::kFixedCols - 1, 0); });
    }
    QObject::connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
        Alert()->Close();
        if (col >= GridModel::kFixedCols) SortColumn(col);
    });
    QObject::connect(table_, &QAbstractItemView::pressed, this, [this] { Alert()->Close(); });
    // An edited cell resets the sort directions, so the marker goes.
    QObject::connect(model_, &QAbstractItemModel::dataChanged, this,
                     [this] { table_->horizontalHeader()->setSortIndicatorShown(false); });
    Refresh();
}

TGridView* TGridView::menuGrid_ = nullptr;

TGridView::~TGridView() {
    if (menuGrid_ == this) menuGrid_ = nullptr;
    // The widgets outlive the grid they show: they must not read it while they go.
    table_->setModel(nullptr);
}

void TGridView::BuildHeader() {
    QHBoxLayout* row = HeaderLayout();
    for (const TButtonRow& b : kButtons) {
        QToolButton* button = AddToolButton(this, row, b);
        const std::string name = b.name;
        if (name == "bCase") {
            bCase_ = button;
            button->setCheckable(true);
            QObject::connect(button, &QToolButton::clicked, this, [this](bool down) {
                grid_.CaseSensitive = down;
                Alert()->ShowAlert(down ? "Sorting is now case sensitive" : "Sorting is now case insensitive");
            });
        } else if (name == "bNumber") {
            bNumber_ = button;
            button->setCheckable(true);
            button->setChecked(true);
            QObject::connect(button, &QToolButton::clicked, this, [this](bool down) {
                grid_.Numbers = down;
                grid_.RefreshNumbers();
                Refresh();
            });
        } else if (name == "bAutosize") {
            QObject::connect(button, &QToolButton::clicked, this, [this] {
                grid_.Autosize(Measure());
                Refresh();
            });
        } else {
            QObject::connect(button, &QToolButton::clicked, this, [this] { PrintClick(); });
        }
    }
}

void TGridView::BuildFillPanel() {
    fillPanel_ = new QWidget(Body());
    fillPanel_->setObjectName("FillPanel");
    auto* layout = new QHBoxLayout(fillPanel_);
    layout->setContentsMargins(2, 2, 2, 2);
    fillFilter_ = new QComboBox(fillPanel_);
    fillFilter_->setObjectName("FillFilter");
    fillFilter_->setToolTip("Item Filter");
    fillCheck_ = new QComboBox(fillPanel_);
    fillCheck_->setObjectName("FillCheck");
    fillCheck_->setToolTip("Item Selection");
    fillCheck_->setMinimumWidth(200);
    fillItems_ = new QStandardItemModel(fillCheck_);
    fillCheck_->setModel(fillItems_);
    fillTemplate_ = new QLineEdit("$", fillPanel_);
    fillTemplate_->setObjectName("FillTemplate");
    fillTemplate_->setToolTip("Tag Template");
    fillFirst_ = new QSpinBox(fillPanel_);
    fillFirst_->setObjectName("FillFirst");
    fillFirst_->setToolTip("First Item");
    fillLast_ = new QSpinBox(fillPanel_);
    fillLast_->setObjectName("FillLast");
    fillLast_->setToolTip("Last Item");
    for (QSpinBox* spin : {fillFirst_, fillLast_}) spin->setRange(0, 99999);
    fillLast_->setValue(9);
    fillZero_ = new QCheckBox("Zero Pad", fillPanel_);
    fillZero_->setObjectName("FillZero");
    fillZero_->setToolTip("Add Leading Zero");
    auto* ok = new QPushButton("OK", fillPanel_);
    ok->setObjectName("bFillOK");
    auto* close = new QPushButton("Close", fillPanel_);
    close->setObjectName("bFillClose");
    for (QWidget* w : std::initializer_list<QWidget*>{fillFilter_, fillCheck_, fillTemplate_, fillFirst_, fillLast_,
                                                      fillZero_, ok, close})
        layout->addWidget(w);
    layout->addStretch();
    BodyLayout()->addWidget(fillPanel_);
    fillPanel_->hide();
    QObject::connect(fillFilter_, &QComboBox::currentIndexChanged, this, [this] { FillFilterChange(); });
    QObject::connect(ok, &QPushButton::clicked, this, [this] { FillExecute(); });
    QObject::connect(close, &QPushButton::clicked, this, [this] { FillClose(true); });
    // A click on an entry ticks or unticks it; the list stays open.
    QObject::connect(fillCheck_, &QComboBox::activated, this, [this](int index) {
        if (QStandardItem* item = fillItems_->item(index))
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

void TGridView::Init(ICommandBus* target) {
    SetBus(target);
    QPalette p = table_->palette();
    p.setColor(QPalette::Base, ToQColor(SchemeColour(&state_.Settings(), 0, false)));
    table_->setPalette(p);
    FillClose();
}

QWidget* TGridView::MainControl() { return table_; }

void TGridView::Clear() {
    grid_.Clear();
    FillClose();
    Refresh();
}

void TGridView::Close() {
    // The grid empties at close, not at the close query: a later frame may still refuse.
    grid_.Clear();
    Refresh();
}

TTextWidth TGridView::Measure() const {
    const QFontMetrics metrics(table_->font());
    return [metrics](const std::string& text) { return metrics.horizontalAdvance(Qs(text)); };
}

void TGridView::Refresh() {
    model_->Reset();
    for (int c = 0; c < grid_.ColCount(); ++c) {
        const int width = grid_.ColWidth(c);
        const bool hidden = c < GridModel::kFixedCols || width < 0;  // column 1 is the row header
        table_->setColumnHidden(c, hidden);
        if (!hidden) table_->setColumnWidth(c, width);
    }
    table_->verticalHeader()->setVisible(grid_.Numbers);
    table_->setEditTriggers(grid_.Editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                QAbstractItemView::AnyKeyPressed
                                          : QAbstractItemView::NoEditTriggers);
    QHeaderView* header = table_->horizontalHeader();
    header->setSortIndicatorShown(false);
    for (int c = GridModel::kFixedCols; c < grid_.ColCount(); ++c)
        if (const int d = grid_.Direction(c)) {
            header->setSortIndicatorShown(true);
            header->setSortIndicator(c, d == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
        }
}

void TGridView::ShowMessage(const std::string& text) { Alert()->ShowAlert(text, true, 1); }

void TGridView::LoadTable(const std::vector<std::string>& lines) {
    Alert()->Close();
    if (std::string message = grid_.LoadTable(lines, Measure()); !message.empty()) ShowMessage(message);
    Refresh();
}

void TGridView::ShowTable(const std::vector<std::string>& lines) {
    LoadTable(lines);
    Activated();
}

void TGridView::ReloadTable() {
    if (std::string message = grid_.ReloadTable(Measure()); !message.empty()) ShowMessage(message);
    Refresh();
}

void TGridView::ShowTagList(const std::vector<std::string>& lines, int tagKind) {
    Alert()->Close();
    if (std::string message = grid_.ShowTagList(lines, tagKind, Measure()); !message.empty()) ShowMessage(message);
    const QSignalBlocker block(fillFilter_);
    fillFilter_->clear();
    for (const std::string& choice : grid_.FillChoices()) fillFilter_->addItem(Qs(choice));
    Refresh();
    FillFilterChange();
}

std::vector<std::vector<std::string>> TGridView::DataCells() const {
    std::vector<std::vector<std::string>> rows;
    for (int r = GridModel::kFixedRows; r < grid_.RowCount(); ++r) {
        const std::vector<std::string>& row = grid_.Row(r);
        rows.emplace_back(row.begin() + std::min<std::ptrdiff_t>(GridModel::kFixedCols, std::ptrdiff_t(row.size())), row.end());
    }
    return rows;
}

void TGridView::ContextMenuPopup(int col, int row) {
    Alert()->Close();
    // The read-only table opens no menu.
    if (!grid_.Editing) return;
    grid_.ClickedCol = col;
    grid_.ClickedRow = row;
    menuGrid_ = this;
    if (Bus()) Bus()->SendCommand(kGridGroup, "");
    menu_->popup(QCursor::pos());
}

void TGridView::UpdateMenuState() { ApplyMenuStates(menu_, this, GridMenuStates(GridMenuFacts(grid_))); }

void TGridView::SortColumn(int col) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    grid_.SortColumn(col);
    QApplication::restoreOverrideCursor();
    Refresh();
}

void TGridView::PerformCommand(int tag) {
    const int col = grid_.ClickedCol, row = grid_.ClickedRow;
    switch (tag) {
    case 2701:
    case 2702:
        grid_.ResetSortOrder();
        grid_.SortColumnWay(col, tag == 2702);
        break;
    case 2703: grid_.RandomiseColumn(col, Random); break;
    case 2704: grid_.SerialiseColumn(col); break;
    case 2705: ShowFillPanel(); return;
    case 2706: ReloadTable(); return;
    case 2707: grid_.ClearCells(GridModel::kFixedCols, GridModel::kFixedRows); break;
    case 2708: grid_.ClearColumn(col); break;
    case 2709: grid_.ClearRow(row); break;
    case 2710: grid_.AddRow(); break;
    case 2711: grid_.InsertRow(row); break;
    case 2712: grid_.DeleteRow(row); break;
    default: return;
    }
    Refresh();
}

void TGridView::ShowFillPanel() {
    // The KUIDs filter offers this config's dependencies only.
    state_.DependencyKuids.clear();
    if (Bus()) Bus()->SendCommand(ccListDependencies, "GridView");
    grid_.FillMode = true;
    fillPanel_->show();
    FillFilterChange();
    grid_.SetModified(true);
    Refresh();
}

void TGridView::FillClose(bool fromButton) {
    fillPanel_->hide();
    grid_.FillMode = false;
    if (!fromButton) {
        const QSignalBlocker block(fillFilter_);
        fillFilter_->setCurrentIndex(fillFilter_->findText("Template"));
        fillItems_->clear();
        fillCheck_->setCurrentIndex(-1);
    }
    table_->viewport()->update();
}

void TGridView::FillFilterChange() {
    const std::string filter = fillFilter_->currentText().toStdString();
    const bool isTemplate = filter.empty() || filter == "Template";
    fillItems_->clear();
    if (!isTemplate)
        for (const std::string& entry : FillFilterEntries(filter, state_.AssetPath(), state_.DependencyKuids)) {
            auto* item = new QStandardItem(Qs(entry));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            fillItems_->appendRow(item);
        }
    fillCheck_->setPlaceholderText(isTemplate ? QString() : QStringLiteral("None found"));
    fillCheck_->setCurrentIndex(fillItems_->rowCount() ? 0 : -1);
    for (QWidget* w : std::initializer_list<QWidget*>{fillTemplate_, fillFirst_, fillLast_, fillZero_})
        w->setEnabled(isTemplate);
    fillCheck_->setEnabled(!isTemplate);
}

std::vector<std::string> TGridView::TickedEntries() const {
    std::vector<std::string> ticked;
    for (int i = 0; i < fillItems_->rowCount(); ++i)
        if (fillItems_->item(i)->checkState() == Qt::Checked) ticked.push_back(fillItems_->item(i)->text().toStdString());
    return ticked;
}

void TGridView::SetTicked(int index, bool ticked) {
    if (QStandardItem* item = fillItems_->item(index)) item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TGridView::SetFillTemplate(const std::string& text, int first, int last, bool zeroPad) {
    fillTemplate_->setText(Qs(text));
    fillFirst_->setValue(first);
    fillLast_->setValue(last);
    fillZero_->setChecked(zeroPad);
}

void TGridView::FillExecute() {
    const std::string filter = fillFilter_->currentText().toStdString();
    std::vector<std::string> values;
    if (filter.empty() || filter == "Template")
        values = TemplateFillValues(fillTemplate_->text().toStdString(), fillFirst_->value(), fillLast_->value(),
                                    fillZero_->isChecked(), fillLast_->text().toStdString());
    else
        values = EntryFillValues(TickedEntries(), filter == "Points");
    if (values.empty()) return;
    grid_.WriteFill(grid_.ClickedCol, grid_.ClickedRow, values);
    Refresh();
}

std::string TGridView::SaveGrid() {
    const std::string start = state_.AssetPath().empty() ? std::string("SavedGrid.csv")
                                                         : NativePath(JoinPath(state_.AssetPath(), "SavedGrid.csv"));
    std::string path;
    if (ChooseSaveFile) {
        path = ChooseSaveFile(start);
    } else {
        QFileDialog dialog(this, "Save File as ...", Qs(start), "CSV files (*.csv)");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("csv");
        dialog.selectFile(Qs(start));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first().toStdString();
    }
    if (path.empty()) return {};
    std::string error = WriteTextFile(path, grid_.SaveGridText(), TextEncoding::Windows1252);
    if (!error.empty()) {
        ShowMessage(error);
        return error;
    }
    // A file of the asset folder tells the main window, which lists it.
    if (auto relative = AssetRelativePath(path, state_.AssetPath()); relative && Bus())
        Bus()->SendCommand(ccFileSaved, *relative);
    return {};
}

void TGridView::PrintClick() {
    QPrinter printer;
    const bool go = ConfirmPrint ? ConfirmPrint(printer) : ConfirmPrinter(printer, this);
    if (!go) return;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> widths;
    const int last = grid_.LastDataCol();
    for (int c = 1; c <= last; ++c) widths.push_back(c == 1 ? table_->verticalHeader()->width() : grid_.ColWidth(c));
    for (int r = 0; r < grid_.RowCount(); ++r)
        rows.emplace_back(grid_.Row(r).begin() + 1, grid_.Row(r).begin() + std::max(last + 1, 1));
    PrintGrid(printer, state_, rows, widths, logicalDpiX(), "Proportional");
}

}  // namespace kelvarn
