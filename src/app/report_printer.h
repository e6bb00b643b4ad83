// Printing of the report and of the ranking: pages of text under a heading that names the data
// file, n, the option and the date, with tabs set so that the columns print as the window shows.
#pragma once

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QPageRanges>
#include <QRectF>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

#include "prediction/candidate.h"
#include "prediction/lookup.h"

class QPainter;
class QPrinter;
class QWidget;

namespace koravel {

struct ReportOrigin;
class UserDialogs;

// What the heading of every page names: the report's data file, the number-of-lines field and
// the option it was predicted with, and when it was printed.
struct PrintHeading
{
    QString dataFile;
    QString lines;
    HybridKind kind = HybridKind::DoubleCross;
    Reciprocals reciprocals = Reciprocals::Distinct;
    QDateTime printed;

    static PrintHeading of(const ReportOrigin &origin);
    // "Arquivo de dados: /dados/milho.txt"
    QString fileLine() const;
    // "Híbridos duplos (HD)   n = 9   Considera recíprocos: Não   07/12/2026 14:30"
    QString optionLine() const;
};

// Prints single-byte text whose lines end at CR LF, LF or CR (the empty remainder after the last
// line break is no line), a fixed number of lines a page, under the heading and "Página p de P".
// A tab moves to the next stop. Columns::Report keeps the report window's stops up to the first
// column after the hybrid's (ReportEditor::columnStops on the printer's measures, so that the
// hybrids' column lines up as on screen), and makes each later column as wide as its widest
// cell on the pages printed, so that all of them fit a page; Columns::Table does so for every
// column. Lines without a tab take no part in the widths. A line wider than the page is cut at
// its edge.
class ReportPrinter
{
public:
    enum class Columns { Report, Table };

    // The printer as the print dialog left it: page size, margins and range.
    ReportPrinter(QPrinter &printer, PrintHeading heading, Columns columns);

    // The pages of text the printer's range asks for: all of them, or those of its page ranges.
    int pagesToPrint(std::string_view text) const;
    // Prints those pages; returns how many, or -1 when the printer cannot be opened.
    int print(std::string_view text);

private:
    std::size_t linesPerPage() const;
    int pageCount(std::string_view text) const;
    bool wanted(int page) const;
    // Calls visit(line, page, row) for every line on a page printed; row counts from 0 on its page.
    template <class Visit> void forEachPrinted(std::string_view text, Visit visit) const;
    void setStops(std::string_view text);
    double nextStop(double x) const;
    void drawHeading(QPainter &painter, int page, int pageCount) const;
    void drawLine(QPainter &painter, std::string_view line, double baseline) const;

    QPrinter &m_printer;
    PrintHeading m_heading;
    Columns m_columns;
    QFont m_font;
    QFontMetricsF m_metrics;
    QRectF m_page; // the printable area, in the printer's units from its top left corner
    QPageRanges m_ranges; // empty: every page
    double m_uniformStop = 0;
    std::vector<double> m_stops; // ascending; past the last, every m_uniformStop
};

// More pages than this are printed only after the user says yes to their count.
inline constexpr int kPagesWithoutAsking = 20;

// Prints text through the print dialog, under heading, with the columns chosen. A window whose
// text can be selected passes its selection: when there is one the dialog offers it and
// proposes it. When the pages asked for are more than kPagesWithoutAsking the user is asked
// first, with their count. A cancel or a no prints nothing and says nothing more; a printer that
// cannot be opened (a PDF file in a folder that does not exist) is told as an error.
void printWithDialog(QWidget *parent, UserDialogs &dialogs, const QString &documentName,
    const PrintHeading &heading, ReportPrinter::Columns columns, std::string_view text,
    std::optional<std::string_view> selection = std::nullopt);

} // namespace koravel
