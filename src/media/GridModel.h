// The table view's data: a grid of text cells loaded from comma-separated lines, with two fixed
// columns in front (column 0 hidden, column 1 the row numbers), one header row, and one spare hidden
// column after the data. Sorting, shuffling, numbering, clearing, row edits, Data Fill and the CSV
// text it saves live here, so they are tested without widgets; TGridView shows this model.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "shell/MenuItemState.h"

namespace kelvarn {

// The width a text takes on the screen, in pixels (the frame measures with its font).
using TTextWidth = std::function<int(const std::string& text)>;

class GridModel {
public:
    static constexpr int kFixedCols = 2;
    static constexpr int kFixedRows = 1;
    static constexpr int kDefaultColWidth = 64;
    static constexpr std::size_t kMaxCells = 1000000;

    int RowCount() const { return int(cells_.size()); }
    int ColCount() const { return colCount_; }
    // The last data column (the one before the spare column); below kFixedCols when there is none.
    int LastDataCol() const { return colCount_ - 2; }
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);  // an edit: modified
    const std::vector<std::string>& Row(int row) const { return cells_[std::size_t(row)]; }
    int ColWidth(int col) const { return widths_[std::size_t(col)]; }
    void SetColWidth(int col, int width) { widths_[std::size_t(col)] = width; }
    std::uint8_t Direction(int col) const;  // 0 none, 1 ascending done, 2 descending done

    bool Modified() const { return modified_; }
    bool CaseSensitive = false;
    bool Numbers = true;    // the row-number button is down
    bool Editing = false;   // set by ShowTagList: cells edit and the context menu opens
    bool FillMode = false;
    int ClickedCol = 0;
    int ClickedRow = 0;     // the header row is 0
    const std::vector<std::string>& KeptTable() const { return kept_; }
    const std::vector<std::string>& FillChoices() const { return fillChoices_; }
    // Called when the modified flag or the shape changes (the main window's status).
    std::function<void()> Changed;

    // Loads the lines (every line a row, the first the header; a table of the header alone gets one
    // empty data row) and keeps them for ReloadTable. Column widths come from `width` (nullptr: the
    // default). A message when the table is refused (too many cells); the grid is then empty.
    std::string LoadTable(const std::vector<std::string>& lines, const TTextWidth& width = nullptr);
    std::string ReloadTable(const TTextWidth& width = nullptr);
    // LoadTable, then editing on, and the widths and fill choices of the list tag's kind (TagTypeIndex).
    std::string ShowTagList(const std::vector<std::string>& lines, int tagKind, const TTextWidth& width = nullptr);
    void Clear();

    // The widest text of the column, header included, plus 20, at least `defaultWidth`; 0 when the
    // default is 0.
    int FitColumnWidth(int col, int defaultWidth, const TTextWidth& width) const;
    void Autosize(const TTextWidth& width);

    // 0 empty (no order), 1 text, 2 numeric, 3 mixed, 4 KUID; the header decides first.
    int ColumnSortMode(int col) const;
    int SortMode(int col) const;
    // Sorts the data rows on the column, the other way than last time; rows move whole.
    void SortColumn(int col);
    // Sorts the column ascending or descending whatever was done before.
    void SortColumnWay(int col, bool descending);
    void ResetSortOrder();
    // Shuffles the column's cells; empty cells and cells starting with a blank go to the end.
    void RandomiseColumn(int col, std::mt19937& random);
    void RefreshNumbers();  // column 1: 1, 2, 3 ... when Numbers, else empty
    void ClearCells(int col, int row);
    void SetModified(bool flag);

    // The context menu's edits on the clicked cell.
    void SerialiseColumn(int col);  // data rows get 0, 1, 2 ...
    void ClearColumn(int col);      // data rows of the column
    void ClearRow(int row);         // data columns of the row
    void AddRow();
    void InsertRow(int row);
    void DeleteRow(int row);

    // Writes the values one per row into the column from `row` (the header counts as row 1) down,
    // growing the grid as needed.
    void WriteFill(int col, int row, const std::vector<std::string>& values);

    // Every row as a line: the cells from the first data column to the spare column, each quoted
    // with inner quotes doubled, joined by ",", lines ended by CR LF.
    std::string SaveGridText() const;

private:
    void Resize(int rows, int cols);
    void ShapeChanged();

    std::vector<std::vector<std::string>> cells_;
    std::vector<int> widths_;
    std::vector<std::uint8_t> directions_;
    std::vector<std::string> kept_;
    std::vector<std::string> fillChoices_;
    int colCount_ = 0;
    bool modified_ = false;
};

// Compares two sort keys as the column's mode says (negative, 0, positive); keys are upper-cased
// first unless case sensitive.
int CompareSortKeys(std::string_view a, std::string_view b, int mode, bool caseSensitive);

// Data Fill's values from the template: each number from first to last, zero-padded to the width of
// `lastText` when asked, put in place of every "$".
std::vector<std::string> TemplateFillValues(std::string_view templ, long long first, long long last, bool zeroPad,
                                            std::string_view lastText);
// Data Fill's values from the ticked entries; "Points" keeps the text after the first "/".
std::vector<std::string> EntryFillValues(const std::vector<std::string>& ticked, bool points);
// The entries a fill filter offers for the asset folder, sorted ignoring case: relative paths with
// "\" (".lm.txt" shown as ".lm", ".texture.txt" as ".texture"), attachment points as mesh + "/" +
// point, or the dependency KUIDs.
std::vector<std::string> FillFilterEntries(std::string_view filter, const std::string& assetFolder,
                                           const std::vector<std::string>& dependencyKuids);

// The facts group 2700's rules read from a grid.
struct TGridMenuFacts {
    int fixedCols = GridModel::kFixedCols;
    int colCount = 0;
    int rowCount = 0;
    int clickedCol = 0;
    int clickedRow = 0;  // the header row is 0
    std::string clickedHeader;    // the header text of the clicked column
    std::string firstDataHeader;  // the header text of the first data column
    bool modified = false;
};
TGridMenuFacts GridMenuFacts(const GridModel& grid);
std::vector<TMenuItemState> GridMenuStates(const TGridMenuFacts& facts);

}  // namespace kelvarn
