// Where printed lines go: the measures of a printed page, the tab advance of a tabbed line and the
// page breaks, in printer pixels. The Qt printer only draws what these decide, so the layout is
// tested without a printer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/Clock.h"

namespace kelvarn {

struct TPrintMeasures {
    int margin = 0;         // half an inch
    int bottomReserve = 0;  // one and a half margins
    int tabWidth = 0;       // `tabSize` twelfths of an inch
    int lineHeight = 0;     // five quarters of the font height
};

TPrintMeasures PrintMeasures(int pixelsPerInch, int tabSize, int fontHeight);

// How far x moves after a piece of a tabbed line: the smallest multiple of the tab width that is not
// less than the piece's width, and at least one tab width.
int TabAdvance(int pieceWidth, int tabWidth);

// The x of each piece of a line cut at its tabs, given the pieces' printed widths.
std::vector<int> TabbedPiecePositions(int x, const std::vector<int>& pieceWidths, int tabWidth);

// Where each line (or grid row) is printed. The title takes the first page's top; a new page begins
// only before a line that is not empty, once the bottom reserve is reached (the title is not
// repeated).
struct TLinePlace {
    int page = 0;  // from 0
    int y = 0;
};
// `blank[i]` tells whether line i is empty.
std::vector<TLinePlace> PlaceLines(const std::vector<bool>& blank, const TPrintMeasures& measures, int pageHeight);
int PageCount(const std::vector<TLinePlace>& places);

// "Kelvarn - " with the date as "dddd dd mmmm yyyy", " - " and the time as "hh:nn:ss".
std::string PrintJobTitle(const DateTime& now);

// A grid's screen column widths in printer pixels.
std::vector<int> ScaleColumnWidths(const std::vector<int>& screenWidths, int printerDpi, int screenDpi);

}  // namespace kelvarn
