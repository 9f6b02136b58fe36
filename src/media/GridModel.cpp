#include "media/GridModel.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

const std::string kEmpty;

bool StartsNumeric(std::string_view key) {
    return !key.empty() && (key[0] == '-' || (key[0] >= '0' && key[0] <= '9'));
}

// The whole text as a number, 0 when it is none.
double NumberOrZero(std::string_view text) {
    double value = 0;
    return TryParseDouble(text, value) ? value : 0;
}

long long IntOrZero(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

int CompareText(std::string_view a, std::string_view b) { return Sign(double(a.compare(b))); }

// The first three parts of a KUID between ':' and '>'.
std::array<long long, 3> KuidParts(std::string_view key) {
    std::array<long long, 3> parts{};
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= key.size(); ++i) {
        const std::size_t end = std::min(key.find_first_of(":>", start), key.size());
        parts[std::size_t(i)] = IntOrZero(key.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A cell's key as the comparison reads it, worked out once per row rather than once per comparison.
struct TSortKey {
    std::string text;  // upper-cased unless case sensitive; mode 3: numbers behind a "|"
    double number = 0;
    std::array<long long, 3> kuid{};
    bool numeric = false;
    std::size_t row = 0;
};

TSortKey PrepareSortKey(std::string_view cell, int mode, bool caseSensitive) {
    TSortKey key;
    key.text = caseSensitive ? std::string(cell) : UpperCase(cell);
    key.numeric = StartsNumeric(key.text);
    if (mode == 2 || mode == 3) key.number = NumberOrZero(key.text);
    if (mode == 3 && key.numeric) key.text.insert(0, "|");  // numbers go after words
    if (mode == 4) key.kuid = KuidParts(key.text);
    return key;
}

int ComparePrepared(const TSortKey& a, const TSortKey& b, int mode) {
    if (a.text == b.text) return 0;
    switch (mode) {
    case 2: return Sign(a.number - b.number);
    case 3: return a.numeric && b.numeric ? Sign(a.number - b.number) : CompareText(a.text, b.text);
    case 4:
        for (std::size_t i = 0; i < 3; ++i)
            if (a.kuid[i] != b.kuid[i]) return a.kuid[i] < b.kuid[i] ? -1 : 1;
        return 0;
    default: return CompareText(a.text, b.text);
    }
}

}  // namespace

int CompareSortKeys(std::string_view a, std::string_view b, int mode, bool caseSensitive) {
    return ComparePrepared(PrepareSortKey(a, mode, caseSensitive), PrepareSortKey(b, mode, caseSensitive), mode);
}

const std::string& GridModel::Cell(int col, int row) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= colCount_) return kEmpty;
    return cells_[std::size_t(row)][std::size_t(col)];
}

void GridModel::SetCell(int col, int row, std::string text) {
    if (row < 0 || row >= RowCount() || col < 0 || col >= colCount_) return;
    cells_[std::size_t(row)][std::size_t(col)] = std::move(text);
    SetModified(true);
}

std::uint8_t GridModel::Direction(int col) const {
    return col >= 0 && col < colCount_ ? directions_[std::size_t(col)] : 0;
}

void GridModel::Resize(int rows, int cols) {
    colCount_ = cols;
    cells_.assign(std::size_t(rows), std::vector<std::string>(std::size_t(cols)));
    widths_.assign(std::size_t(cols), kDefaultColWidth);
    directions_.assign(std::size_t(cols), 0);
}

void GridModel::ShapeChanged() {
    RefreshNumbers();
    if (Changed) Changed();
}

void GridModel::Clear() {
    Resize(0, 0);
    modified_ = false;
    FillMode = false;
    ClickedCol = ClickedRow = 0;
    if (Changed) Changed();
}

std::string GridModel::LoadTable(const std::vector<std::string>& lines, const TTextWidth& width) {
    // Each row starts with its fixed cells; the rows are filled to the column count once it is known.
    std::vector<std::vector<std::string>> rows;
    rows.reserve(lines.size() + 1);
    std::size_t cols = 0, cells = 0;
    for (const std::string& line : lines) {
        std::vector<std::string>& row = rows.emplace_back(std::size_t(kFixedCols));
        AppendCsvFields(line, row);
        // The widest line sets the column count, so longer later lines keep their cells.
        cols = std::max(cols, row.size() + 1);
        cells += row.size();
        if (cells > kMaxCells) break;
    }
    if (rows.size() == 1) rows.emplace_back(std::size_t(kFixedCols));
    cols = std::max(cols, std::size_t(kFixedCols + 2));
    if (cells > kMaxCells || rows.size() * cols > kMaxCells) {
        Clear();
        return "The table is too large to show: more than " + std::to_string(kMaxCells) + " cells";
    }
    kept_ = lines;
    Editing = false;
    FillMode = false;
    ClickedCol = ClickedRow = 0;
    colCount_ = int(cols);
    for (std::vector<std::string>& row : rows) row.resize(cols);
    cells_ = std::move(rows);
    widths_.assign(cols, kDefaultColWidth);
    directions_.assign(cols, 0);
    if (width)
        for (int c = kFixedCols; c < colCount_ - 1; ++c) widths_[std::size_t(c)] = FitColumnWidth(c, kDefaultColWidth, width);
    widths_[0] = -1;
    widths_[cols - 1] = -1;
    modified_ = false;
    ShapeChanged();
    return {};
}

std::string GridModel::ReloadTable(const TTextWidth& width) {
    const std::vector<std::string> lines = kept_;
    const bool editing = Editing;
    std::string message = LoadTable(lines, width);
    Editing = editing;
    return message;
}

std::string GridModel::ShowTagList(const std::vector<std::string>& lines, int tagKind, const TTextWidth& width) {
    std::string message = LoadTable(lines, width);
    if (!message.empty()) return message;
    Editing = true;
    const auto atLeast = [this](int col, int w) {
        if (col < colCount_ - 1) widths_[std::size_t(col)] = std::max(widths_[std::size_t(col)], w);
    };
    const auto atMost = [this](int col, int w) {
        if (col < colCount_ - 1) widths_[std::size_t(col)] = std::min(widths_[std::size_t(col)], w);
    };
    const int first = kFixedCols, second = kFixedCols + 1;
    switch (tagKind) {
    case 2: atLeast(first, 100); atLeast(second, 200); fillChoices_ = {"Template", "KUIDs"}; break;
    case 3: atMost(first, 150); atMost(second, 275); fillChoices_ = {"Template"}; break;
    case 4: atLeast(first, 100); atLeast(second, 200); fillChoices_ = {"Template", "Points"}; break;
    case 7: atLeast(first, 100); atLeast(second, 200); fillChoices_ = {"Template", "Textures"}; break;
    case 8: fillChoices_ = {"Template", "Sound Files"}; break;
    case 10: fillChoices_ = {"Template", "Images"}; break;
    default: fillChoices_ = {"Template"}; break;
    }
    return {};
}

int GridModel::FitColumnWidth(int col, int defaultWidth, const TTextWidth& width) const {
    if (defaultWidth == 0) return 0;
    int widest = defaultWidth;
    for (const auto& row : cells_) widest = std::max(widest, width(row[std::size_t(col)]) + 20);
    return widest;
}

void GridModel::Autosize(const TTextWidth& width) {
    for (int c = kFixedCols; c < colCount_ - 1; ++c) widths_[std::size_t(c)] = FitColumnWidth(c, kDefaultColWidth, width);
}

int GridModel::ColumnSortMode(int col) const {
    bool text = false, numeric = false;
    for (int r = kFixedRows; r < RowCount() && !(text && numeric); ++r) {
        const std::string& cell = Cell(col, r);
        if (cell.empty()) continue;
        const char c = cell[0];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) text = true;
        else if (c == '-' || c == '.' || (c >= '0' && c <= '9')) numeric = true;
    }
    return text && numeric ? 3 : text ? 1 : numeric ? 2 : 0;
}

int GridModel::SortMode(int col) const {
    const std::string header = UpperCase(Cell(col, 0));
    if (ContainsStr(header, "KUID")) return 4;
    // Exact names: "T" or "DTH" are no size columns.
    for (std::string_view numeric : {"WIDTH", "HEIGHT", "X", "Y", "Z"})
        if (header == numeric) return 2;
    return ColumnSortMode(col);
}

void GridModel::SortColumnWay(int col, bool descending) {
    if (col < 0 || col >= colCount_) return;
    directions_[std::size_t(col)] = descending ? 1 : 0;
    SortColumn(col);
}

void GridModel::SortColumn(int col) {
    if (RowCount() < 3 || col < 0 || col >= colCount_) return;
    const int mode = SortMode(col);
    if (mode == 0) return;
    const std::uint8_t before = directions_[std::size_t(col)];
    const bool descending = before == 1;
    // Sort the data rows' keys (stable), then move the rows whole.
    std::vector<TSortKey> keys;
    keys.reserve(cells_.size());
    for (std::size_t r = kFixedRows; r < cells_.size(); ++r) {
        keys.push_back(PrepareSortKey(cells_[r][std::size_t(col)], mode, CaseSensitive));
        keys.back().row = r;
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const TSortKey& a, const TSortKey& b) {
        const int c = ComparePrepared(a, b, mode);
        return descending ? c > 0 : c < 0;
    });
    std::vector<std::vector<std::string>> sorted;
    sorted.reserve(cells_.size());
    for (int r = 0; r < kFixedRows; ++r) sorted.push_back(std::move(cells_[std::size_t(r)]));
    for (const TSortKey& key : keys) sorted.push_back(std::move(cells_[key.row]));
    cells_ = std::move(sorted);
    SetModified(true);
    directions_[std::size_t(col)] = before == 1 ? 2 : 1;
    ShapeChanged();
}

void GridModel::ResetSortOrder() { std::fill(directions_.begin(), directions_.end(), 0); }

void GridModel::RandomiseColumn(int col, std::mt19937& random) {
    if (col < kFixedCols || col >= colCount_ - 1) return;
    std::uniform_int_distribution<int> thousandths(0, 999);
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(cells_.size());
    for (std::size_t r = kFixedRows; r < cells_.size(); ++r) {
        std::string& cell = cells_[r][std::size_t(col)];
        std::string key = "99.99";
        if (!cell.empty() && cell[0] != ' ') {
            char text[8];
            std::snprintf(text, sizeof text, "0.%03d", thousandths(random));
            key = text;
        }
        entries.emplace_back(std::move(key), std::move(cell));
    }
    std::sort(entries.begin(), entries.end());
    for (std::size_t i = 0; i < entries.size(); ++i) cells_[i + kFixedRows][std::size_t(col)] = std::move(entries[i].second);
    SetModified(true);
}

void GridModel::RefreshNumbers() {
    if (colCount_ < 2) return;
    for (std::size_t r = kFixedRows; r < cells_.size(); ++r) cells_[r][1] = Numbers ? std::to_string(r) : std::string();
}

void GridModel::ClearCells(int col, int row) {
    for (int r = std::max(row, 0); r < RowCount(); ++r)
        for (int c = std::max(col, 0); c < colCount_; ++c) cells_[std::size_t(r)][std::size_t(c)].clear();
    SetModified(true);
}

void GridModel::SetModified(bool flag) {
    modified_ = flag;
    ResetSortOrder();
    if (Changed) Changed();
}

void GridModel::SerialiseColumn(int col) {
    if (col < 0 || col >= colCount_) return;
    for (int r = kFixedRows; r < RowCount(); ++r) cells_[std::size_t(r)][std::size_t(col)] = std::to_string(r - 1);
    SetModified(true);
}

void GridModel::ClearColumn(int col) {
    if (col < kFixedCols || col >= colCount_) return;
    for (int r = kFixedRows; r < RowCount(); ++r) cells_[std::size_t(r)][std::size_t(col)].clear();
    SetModified(true);
}

void GridModel::ClearRow(int row) {
    if (row < kFixedRows || row >= RowCount()) return;
    for (int c = kFixedCols; c < colCount_; ++c) cells_[std::size_t(row)][std::size_t(c)].clear();
    SetModified(true);
}

void GridModel::AddRow() {
    if (colCount_ == 0) return;
    cells_.emplace_back(std::size_t(colCount_));
    SetModified(true);
    ShapeChanged();
}

void GridModel::InsertRow(int row) {
    if (row < kFixedRows || row > RowCount() || colCount_ == 0) return;
    cells_.insert(cells_.begin() + row, std::vector<std::string>(std::size_t(colCount_)));
    SetModified(true);
    ShapeChanged();
}

void GridModel::DeleteRow(int row) {
    // The header and the last data row stay: a grid always has one row to edit.
    if (row < kFixedRows || row >= RowCount() || RowCount() <= 2) return;
    cells_.erase(cells_.begin() + row);
    if (ClickedRow >= RowCount()) ClickedRow = RowCount() - 1;
    SetModified(true);
    ShapeChanged();
}

void GridModel::WriteFill(int col, int row, const std::vector<std::string>& values) {
    if (col < kFixedCols || col >= colCount_ - 1) return;
    int r = std::max(row, kFixedRows);
    for (const std::string& value : values) {
        // A start below the last row grows the grid up to it.
        while (r >= RowCount() && std::size_t(RowCount() + 1) * std::size_t(colCount_) <= kMaxCells)
            cells_.emplace_back(std::size_t(colCount_));
        if (r >= RowCount()) break;
        cells_[std::size_t(r++)][std::size_t(col)] = value;
    }
    SetModified(true);
    ShapeChanged();
}

std::string GridModel::SaveGridText() const {
    std::string out;
    for (const auto& row : cells_) {
        out += JoinCsvLine(std::vector<std::string>(row.begin() + kFixedCols, row.end()));
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> TemplateFillValues(std::string_view templ, long long first, long long last, bool zeroPad,
                                            std::string_view lastText) {
    std::vector<std::string> values;
    for (long long n = first; n <= last; ++n) {
        std::string number = std::to_string(n);
        if (zeroPad && number.size() < lastText.size()) number.insert(0, lastText.size() - number.size(), '0');
        values.push_back(ReplaceAll(templ, "$", number));
    }
    return values;
}

std::vector<std::string> EntryFillValues(const std::vector<std::string>& ticked, bool points) {
    std::vector<std::string> values;
    for (const std::string& entry : ticked) {
        if (entry.empty()) continue;
        const std::size_t slash = entry.find('/');
        values.push_back(points && slash != std::string::npos ? entry.substr(slash + 1) : entry);
    }
    return values;
}

TGridMenuFacts GridMenuFacts(const GridModel& grid) {
    TGridMenuFacts f;
    f.colCount = grid.ColCount();
    f.rowCount = grid.RowCount();
    f.clickedCol = grid.ClickedCol;
    f.clickedRow = grid.ClickedRow;
    f.clickedHeader = grid.Cell(grid.ClickedCol, 0);
    f.firstDataHeader = grid.Cell(GridModel::kFixedCols, 0);
    f.modified = grid.Modified();
    return f;
}

std::vector<TMenuItemState> GridMenuStates(const TGridMenuFacts& f) {
    // Column numbers above 255 are never data columns.
    const bool dataColumn = f.clickedCol >= 0 && f.clickedCol <= 255 && f.clickedCol >= f.fixedCols &&
                            f.clickedCol <= f.colCount - 2;
    const bool sortable = dataColumn && f.rowCount > 2;
    const bool dataRow = f.clickedRow >= 1 && f.clickedRow <= f.rowCount - 1;
    const bool topFixedCell = f.clickedCol == f.fixedCols - 1 && f.clickedRow == 0;
    const auto item = [](const char* name, bool enabled) {
        TMenuItemState s;
        s.name = name;
        s.enabled = enabled;
        return s;
    };
    return {
        item("mSort", sortable),
        item("mReverseSort", sortable),
        item("mRandomise", sortable && ContainsStr(UpperCase(f.clickedHeader), "POINT")),
        item("mSerialise", f.clickedCol == f.fixedCols && f.clickedRow == 0 && f.firstDataHeader == "Tag"),
        item("mFill", dataColumn && dataRow),
        item("mReload", f.modified && topFixedCell),
        item("mClearTable", topFixedCell && f.rowCount > 2),
        item("mClearColumn", dataColumn),
        item("mClearRow", dataRow),
        item("mInsert", dataRow),
        item("mAddRow", f.clickedRow == f.rowCount - 1),
        item("mDelete", dataRow && f.rowCount > 2),
    };
}

}  // namespace kelvarn
