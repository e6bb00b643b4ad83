// Pages of report text on a printer: the heading, then a fixed number of lines a page.
#include "report_printer.h"

#include "dialogs.h"
#include "koravel_application.h"
#include "qt_text.h"
#include "report_editor.h"
#include "session.h"
#include "table/import.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace koravel {

namespace {

    constexpr double kPointSize = 9;
    // Heading: two lines, a rule, and half a line of room before the text.
    constexpr double kHeadingLines = 3;
    // Blanks between a column's widest cell and the next column.
    constexpr double kColumnGap = 4;

    // The next line from at, which moves past its line break; false when no line is left.
    bool nextLine(std::string_view text, std::size_t &at, std::string_view &line)
    {
        if (at >= text.size())
            return false;
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        line = text.substr(at, end - at);
        at = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++at;
        return true;
    }

    std::size_t countLines(std::string_view text)
    {
        std::size_t count = 0;
        std::string_view line;
        for (std::size_t at = 0; nextLine(text, at, line);)
            ++count;
        return count;
    }

    QFont printFont()
    {
        QFont font = windowFont();
        font.setPointSizeF(kPointSize);
        return font;
    }

} // namespace

PrintHeading PrintHeading::of(const ReportOrigin &origin)
{
    return { QFile::decodeName(origin.dataFile.c_str()), toQt(origin.lines), origin.kind,
        origin.reciprocals, QDateTime::currentDateTime() };
}

QString PrintHeading::fileLine() const
{
    return QStringLiteral("Arquivo de dados: ")
        + (dataFile.isEmpty() ? QString::fromLatin1(kNoFileLoaded) : dataFile);
}

QString PrintHeading::optionLine() const
{
    return (kind == HybridKind::DoubleCross ? QStringLiteral("Híbridos duplos (HD)")
                                            : QStringLiteral("Híbridos triplos (HT)"))
        + QStringLiteral("   n = ") + lines + QStringLiteral("   Considera recíprocos: ")
        + (reciprocals == Reciprocals::Distinct ? QStringLiteral("Sim") : QStringLiteral("Não"))
        + QStringLiteral("   ") + printed.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

ReportPrinter::ReportPrinter(QPrinter &printer, PrintHeading heading, Columns columns)
    : m_printer(printer)
    , m_heading(std::move(heading))
    , m_columns(columns)
    , m_font(printFont())
    , m_metrics(m_font, &printer)
    , m_page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size())
{
    if (printer.printRange() == QPrinter::PageRange)
        m_ranges = printer.pageRanges();
}

std::size_t ReportPrinter::linesPerPage() const
{
    const double lines = m_page.height() / m_metrics.lineSpacing() - kHeadingLines;
    return lines >= 1 ? static_cast<std::size_t>(lines) : 1;
}

int ReportPrinter::pageCount(std::string_view text) const
{
    const std::size_t perPage = linesPerPage();
    return static_cast<int>((countLines(text) + perPage - 1) / perPage);
}

bool ReportPrinter::wanted(int page) const
{
    return m_ranges.isEmpty() || m_ranges.contains(page);
}

template <class Visit> void ReportPrinter::forEachPrinted(std::string_view text, Visit visit) const
{
    const std::size_t perPage = linesPerPage();
    std::string_view line;
    std::size_t index = 0;
    for (std::size_t at = 0; nextLine(text, at, line); ++index) {
        const int page = static_cast<int>(index / perPage) + 1;
        if (wanted(page))
            visit(line, page, static_cast<int>(index % perPage));
    }
}

int ReportPrinter::pagesToPrint(std::string_view text) const
{
    const int pages = pageCount(text);
    int count = 0;
    for (int page = 1; page <= pages; ++page)
        count += wanted(page) ? 1 : 0;
    return count;
}

void ReportPrinter::setStops(std::string_view text)
{
    const double blank = m_metrics.horizontalAdvance(QLatin1Char(' '));
    ReportEditor::TabStops rule { 8, 0 };
    if (m_columns == Columns::Report) {
        if (const auto stops = ReportEditor::columnStops(m_heading.kind, m_metrics);
            stops.blanks > 0)
            rule = stops;
    }
    m_uniformStop = rule.blanks * blank;
    // The cells from the rule's first column on (every cell for a table), as a report line lays
    // them out; a line whose hybrid passes that column is no row.
    std::vector<double> widths;
    forEachPrinted(text, [&](std::string_view line, int, int) {
        if (line.find('\t') == std::string_view::npos)
            return;
        int column = rule.firstColumn == 0 ? 0 : -1;
        double x = 0;
        for (std::size_t from = 0;;) {
            const std::size_t end = std::min(line.find('\t', from), line.size());
            const double width = m_metrics.horizontalAdvance(toQt(line.substr(from, end - from)));
            if (column >= 0) {
                widths.resize(std::max(widths.size(), static_cast<std::size_t>(column) + 1));
                widths[column] = std::max(widths[column], width);
            }
            if (end == line.size())
                return;
            if (column >= 0) {
                ++column;
            } else {
                const int stop = static_cast<int>(std::floor((x + width) / m_uniformStop)) + 1;
                if (stop > rule.firstColumn)
                    return;
                x = stop * m_uniformStop;
                column = stop == rule.firstColumn ? 0 : -1;
            }
            from = end + 1;
        }
    });
    m_stops.clear();
    for (int stop = 1; stop <= rule.firstColumn; ++stop)
        m_stops.push_back(stop * m_uniformStop);
    double x = rule.firstColumn * m_uniformStop;
    for (const double width : widths)
        m_stops.push_back(x += width + kColumnGap * blank);
}

double ReportPrinter::nextStop(double x) const
{
    const auto stop = std::upper_bound(m_stops.begin(), m_stops.end(), x);
    if (stop != m_stops.end())
        return *stop;
    const double last = m_stops.empty() ? 0 : m_stops.back();
    return last + (std::floor((x - last) / m_uniformStop) + 1) * m_uniformStop;
}

int ReportPrinter::print(std::string_view text)
{
    const int pages = pageCount(text);
    setStops(text);
    QPainter painter;
    if (!painter.begin(&m_printer))
        return -1;
    painter.setFont(m_font);
    painter.setClipRect(m_page);
    const double top = kHeadingLines * m_metrics.lineSpacing() + m_metrics.ascent();
    int printed = 0;
    int current = 0;
    forEachPrinted(text, [&](std::string_view line, int page, int row) {
        if (page != current) {
            if (printed++ > 0)
                m_printer.newPage();
            current = page;
            drawHeading(painter, page, pages);
        }
        drawLine(painter, line, top + row * m_metrics.lineSpacing());
    });
    painter.end();
    return printed;
}

void ReportPrinter::drawHeading(QPainter &painter, int page, int pageCount) const
{
    const double width = m_page.width();
    const QString pageText = QStringLiteral("Página %1 de %2").arg(page).arg(pageCount);
    const double pageWidth = m_metrics.horizontalAdvance(pageText);
    const double line = m_metrics.lineSpacing();
    const double ascent = m_metrics.ascent();
    painter.drawText(QPointF(width - pageWidth, ascent), pageText);
    painter.drawText(QPointF(0, ascent),
        m_metrics.elidedText(m_heading.fileLine(), Qt::ElideMiddle, width - pageWidth - line));
    painter.drawText(QPointF(0, line + ascent), m_heading.optionLine());
    const double rule = 2.4 * line;
    painter.drawLine(QPointF(0, rule), QPointF(width, rule));
}

void ReportPrinter::drawLine(QPainter &painter, std::string_view line, double baseline) const
{
    double x = 0;
    for (std::size_t start = 0; start <= line.size();) {
        const std::size_t end = std::min(line.find('\t', start), line.size());
        const QString piece = toQt(line.substr(start, end - start));
        painter.drawText(QPointF(x, baseline), piece);
        x += m_metrics.horizontalAdvance(piece);
        if (end == line.size())
            break;
        x = nextStop(x);
        start = end + 1;
    }
}

void printWithDialog(QWidget *parent, UserDialogs &dialogs, const QString &documentName,
    const PrintHeading &heading, ReportPrinter::Columns columns, std::string_view text,
    std::optional<std::string_view> selection)
{
    const bool selected = selection && !selection->empty();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!dialogs.print(parent, printer, selected))
        return;
    if (selected && printer.printRange() == QPrinter::Selection)
        text = *selection;
    ReportPrinter pages(printer, heading, columns);
    const int count = pages.pagesToPrint(text);
    if (count > kPagesWithoutAsking) {
        const QString question =
            QStringLiteral("Serão impressas %1 páginas. Imprimir mesmo assim?"
                           "\n\nPara imprimir só uma parte, escolha as "
                           "páginas na janela de impressão%2.")
                .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(count),
                    selection ? QStringLiteral(" ou selecione-a antes") : QString());
        if (!dialogs.question(parent, question))
            return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int printed = pages.print(text);
    QApplication::restoreOverrideCursor();
    if (printed < 0)
        dialogs.error(
            parent, QStringLiteral("Não foi possível imprimir: a impressora não pôde ser aberta."));
}

} // namespace koravel
