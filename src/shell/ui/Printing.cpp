#include "shell/ui/Printing.h"

#include <QFontMetrics>
#include <algorithm>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "shell/PrintLayout.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Begins the job: title, font in black, and the measures of this printer.
struct TPrintJob {
    TPrintJob(QPrinter& printer, TProgramState& state, int tabSize, const std::string& fontKind) {
        printer.setFullPage(true);
        printer.setDocName(Qs(PrintJobTitle(state.Clock->Now())));
        title = printer.docName();
        painter.begin(&printer);
        QFont chosen;
        ApplyFont(chosen, fontKind, state.Settings());
        font = QFont(chosen, &printer);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const int dpi = printer.resolution();
        const int fontHeight = std::max(1, static_cast<int>(font.pointSizeF() * dpi / 72.0));
        measures = PrintMeasures(dpi, tabSize, fontHeight);
        pageHeight = painter.device()->height();
    }
    // Text drawn with its top at y, as the measures count.
    void Draw(int x, int y, const QString& text) {
        painter.drawText(x, y + QFontMetrics(painter.font(), painter.device()).ascent(), text);
    }
    void Title() {
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        Draw(measures.margin, measures.margin, title);
        painter.setFont(font);
    }
    int Width(const QString& text) const { return QFontMetrics(font, painter.device()).horizontalAdvance(text); }

    QPainter painter;
    QFont font;
    QString title;
    TPrintMeasures measures;
    int pageHeight = 0;
};

template <class Row, class DrawRow>
int PrintRows(TPrintJob& job, QPrinter& printer, const std::vector<Row>& rows, const std::vector<bool>& blank, DrawRow draw) {
    const std::vector<TLinePlace> places = PlaceLines(blank, job.measures, job.pageHeight);
    job.Title();
    int page = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (places[i].page != page) {
            printer.newPage();
            page = places[i].page;
        }
        draw(rows[i], places[i].y);
    }
    job.painter.end();
    return PageCount(places);
}

}  // namespace

int PrintLines(QPrinter& printer, TProgramState& state, const std::vector<std::string>& lines, int tabSize,
               const std::string& fontKind) {
    TPrintJob job(printer, state, tabSize, fontKind);
    std::vector<bool> blank;
    for (const std::string& line : lines) blank.push_back(line.empty());
    return PrintRows(job, printer, lines, blank, [&job](const std::string& line, int y) {
        const std::vector<std::string> pieces = SplitString(line, "\t");
        std::vector<int> widths;
        for (const std::string& piece : pieces) widths.push_back(job.Width(Qs(piece)));
        const std::vector<int> xs = TabbedPiecePositions(job.measures.margin, widths, job.measures.tabWidth);
        for (std::size_t k = 0; k < pieces.size(); ++k) job.Draw(xs[k], y, Qs(pieces[k]));
    });
}

int PrintGrid(QPrinter& printer, TProgramState& state, const std::vector<std::vector<std::string>>& rows,
              const std::vector<int>& screenColumnWidths, int screenDpi, const std::string& fontKind) {
    TPrintJob job(printer, state, 12, fontKind);
    const std::vector<int> widths = ScaleColumnWidths(screenColumnWidths, printer.resolution(), screenDpi);
    std::vector<bool> blank;
    for (const auto& row : rows)
        blank.push_back(std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); }));
    return PrintRows(job, printer, rows, blank, [&job, &widths](const std::vector<std::string>& row, int y) {
        int x = job.measures.margin;
        for (std::size_t c = 0; c < row.size(); ++c) {
            job.Draw(x, y, Qs(row[c]));
            x += c < widths.size() ? widths[c] : 0;
        }
    });
}

bool ConfirmPrinter(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void PrintLinesAfterDialog(QWidget* parent, TProgramState& state, const std::vector<std::string>& lines, int tabSize,
                           const std::string& fontKind) {
    QPrinter printer;
    if (ConfirmPrinter(printer, parent)) PrintLines(printer, state, lines, tabSize, fontKind);
}

}  // namespace kelvarn
