// Printing a list of text lines or a grid on the printer, laid out by the core's print measures
// (half-inch margins, tab stops in twelfths of an inch, page breaks before non-empty lines only).
#pragma once

#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace kelvarn {

class TProgramState;

// `fontKind` names a "Fonts" setting ("Fixed" or "Proportional"); the job's title carries the date
// and time. Returns the number of pages printed.
int PrintLines(QPrinter& printer, TProgramState& state, const std::vector<std::string>& lines, int tabSize,
               const std::string& fontKind);
// A grid row by row: each cell at its column's x, the columns' screen widths scaled to the printer.
int PrintGrid(QPrinter& printer, TProgramState& state, const std::vector<std::vector<std::string>>& rows,
              const std::vector<int>& screenColumnWidths, int screenDpi, const std::string& fontKind);

// The print dialog on the default printer; false when the user cancels.
bool ConfirmPrinter(QPrinter& printer, QWidget* parent);
// The dialog, then PrintLines.
void PrintLinesAfterDialog(QWidget* parent, TProgramState& state, const std::vector<std::string>& lines, int tabSize,
                           const std::string& fontKind);

}  // namespace kelvarn
