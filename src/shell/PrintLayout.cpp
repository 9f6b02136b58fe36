#include "shell/PrintLayout.h"

#include <algorithm>

namespace kelvarn {

TPrintMeasures PrintMeasures(int pixelsPerInch, int tabSize, int fontHeight) {
    TPrintMeasures m;
    m.margin = pixelsPerInch / 2;
    m.bottomReserve = m.margin * 3 / 2;
    m.tabWidth = pixelsPerInch * tabSize / 12;
    m.lineHeight = std::abs(fontHeight) * 5 / 4;
    return m;
}

int TabAdvance(int pieceWidth, int tabWidth) {
    if (tabWidth <= 0) return std::max(pieceWidth, 0);
    const int tabs = std::max(1, (std::max(pieceWidth, 0) + tabWidth - 1) / tabWidth);
    return tabs * tabWidth;
}

std::vector<int> TabbedPiecePositions(int x, const std::vector<int>& pieceWidths, int tabWidth) {
    std::vector<int> positions;
    positions.reserve(pieceWidths.size());
    for (std::size_t i = 0; i < pieceWidths.size(); ++i) {
        positions.push_back(x);
        if (i + 1 < pieceWidths.size()) x += TabAdvance(pieceWidths[i], tabWidth);
    }
    return positions;
}

std::vector<TLinePlace> PlaceLines(const std::vector<bool>& blank, const TPrintMeasures& measures, int pageHeight) {
    std::vector<TLinePlace> places(blank.size());
    // A line height of 0 would never reach the bottom; one pixel keeps the walk finite and sane.
    const int line = std::max(measures.lineHeight, 1);
    int page = 0;
    int y = measures.margin + 2 * line;
    for (std::size_t i = 0; i < blank.size(); ++i) {
        places[i] = {page, y};
        y += line;
        if (i + 1 < blank.size() && !blank[i + 1] && y >= pageHeight - measures.bottomReserve) {
            ++page;
            y = measures.margin;
        }
    }
    return places;
}

int PageCount(const std::vector<TLinePlace>& places) { return places.empty() ? 1 : places.back().page + 1; }

std::string PrintJobTitle(const DateTime& now) {
    return "Kelvarn - " + FormatDateTime("dddd dd mmmm yyyy", now) + " - " + FormatDateTime("hh:nn:ss", now);
}

std::vector<int> ScaleColumnWidths(const std::vector<int>& screenWidths, int printerDpi, int screenDpi) {
    std::vector<int> widths;
    const int from = screenDpi > 0 ? screenDpi : 96;
    for (int w : screenWidths) widths.push_back(static_cast<int>(static_cast<long long>(std::max(w, 0)) * printerDpi / from));
    return widths;
}

}  // namespace kelvarn
