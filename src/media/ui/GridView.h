// TGridView: the table view. A QTableView over GridModel (the header row as the column header, the
// row-number column as the row header), header buttons, the Data Fill panel and the context menu whose
// items send their numbers to the command target, which calls back into the frame that sent group
// 2700 last. Reusable: the main window's table pane and, later, the tag editor's table page.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "media/GridModel.h"
#include "shell/ui/FramePanel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPrinter;
class QSpinBox;
class QStandardItemModel;
class QTableView;
class QToolButton;

namespace kelvarn {

class TProgramState;

// The table view's model adapter: grid rows from 1 as rows, every grid column as a column.
class TGridTableModel final : public QAbstractTableModel {
public:
    explicit TGridTableModel(GridModel& grid, QObject* parent = nullptr) : QAbstractTableModel(parent), grid_(grid) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    GridModel& grid_;
};

class TGridView final : public TViewerFrame<ITableViewer> {
public:
    explicit TGridView(TProgramState& state, QWidget* parent = nullptr);
    ~TGridView() override;

    // The grid whose context menu opened last: the one group 2700 and commands 2701-2712 act on.
    static TGridView* MenuGrid() { return menuGrid_; }

    // IFrame / IViewerFrame
    void Init(ICommandBus* target) override;
    void Clear() override;
    void Close() override;
    bool Modified() const override { return grid_.Modified(); }
    QWidget* MainControl() override;

    GridModel& Grid() { return grid_; }
    QTableView* Table() const { return table_; }
    QMenu* ContextMenu() const { return menu_; }
    QWidget* FillPanel() const { return fillPanel_; }
    QComboBox* FillFilter() const { return fillFilter_; }
    QComboBox* FillCheck() const { return fillCheck_; }

    // Loads comma-separated lines and brings the frame to the front.
    void ShowTable(const std::vector<std::string>& lines);
    void LoadTable(const std::vector<std::string>& lines);
    void ReloadTable();
    // A list tag's rows: editable, with the widths and fill choices of its kind (TagTypeIndex).
    void ShowTagList(const std::vector<std::string>& lines, int tagKind) override;
    std::vector<std::vector<std::string>> DataCells() const override;

    // Group 2700's states and commands 2701-2712, on the clicked cell.
    void UpdateMenuState();
    void PerformCommand(int tag);
    // The context menu as a right click on the cell opens it (the header row is row 0).
    void ContextMenuPopup(int col, int row);

    void SortColumn(int col);
    void ShowFillPanel();
    // With the close button as `fromButton` the filter and entries stay; the list editor's call
    // without it also resets them.
    void FillClose(bool fromButton);
    void FillClose() override { FillClose(false); }
    void FillFilterChange();
    void FillExecute();
    void SetFillTemplate(const std::string& text, int first, int last, bool zeroPad);
    std::vector<std::string> TickedEntries() const;
    void SetTicked(int index, bool ticked);
    // The save dialog, then the grid as CSV; a message on failure.
    std::string SaveGrid();
    void PrintClick();

    // Asks for the file to save (start: the suggested path); empty when cancelled. Tests replace it.
    std::function<std::string(const std::string& start)> ChooseSaveFile;
    // The print dialog; false when cancelled. Tests replace it.
    std::function<bool(QPrinter& printer)> ConfirmPrint;
    std::mt19937 Random{std::random_device{}()};

private:
    void BuildHeader();
    void BuildFillPanel();
    void Refresh();
    void ShowMessage(const std::string& text);
    TTextWidth Measure() const;

    static TGridView* menuGrid_;
    TProgramState& state_;
    GridModel grid_;
    TGridTableModel* model_;
    QTableView* table_;
    QMenu* menu_ = nullptr;
    QToolButton* bCase_ = nullptr;
    QToolButton* bNumber_ = nullptr;
    QWidget* fillPanel_ = nullptr;
    QComboBox* fillFilter_ = nullptr;
    QComboBox* fillCheck_ = nullptr;
    QStandardItemModel* fillItems_ = nullptr;
    QLineEdit* fillTemplate_ = nullptr;
    QSpinBox* fillFirst_ = nullptr;
    QSpinBox* fillLast_ = nullptr;
    QCheckBox* fillZero_ = nullptr;
};

}  // namespace kelvarn
