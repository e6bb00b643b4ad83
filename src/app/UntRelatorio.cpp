// The report window's wiring: its menu commands call the core on the text as the user left it.
#include "UntRelatorio.h"

#include "RankingWindow.h"
#include "dialogs.h"
#include "editor_report_sink.h"
#include "export/ranking.h"
#include "koravel_application.h"
#include "named_file_writer.h"
#include "qt_text.h"
#include "report/report_document.h"
#include "report/report_file.h"
#include "report/size_limits.h"
#include "report_editor.h"
#include "report_printer.h"
#include "session.h"
#include "spreadsheet_exporter.h"

#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

constexpr int kClientWidth = 582;
constexpr int kClientHeight = 452;
constexpr QPoint kPlace(292, 225);
// A window whose smallest and largest sizes are equal gets no working maximise button from many
// window managers (openbox among them): one pixel of play in height lets them offer it, and a
// resize by dragging is undone at once, so the border still keeps the window's size.
constexpr int kPlay = 1;
// The time a window manager is given to finish maximising or restoring the window.
constexpr int kSettleMs = 250;

const QString kNothingToRankMessage = QStringLiteral(
    "Não há relatório de predição para ordenar: faça antes uma predição de HD's ou HT's.");
const QString kNothingToExportMessage = QStringLiteral(
    "Não há relatório de predição para exportar: faça antes uma predição de HD's ou HT's.");
const QString kNothingToPrintMessage = QStringLiteral(
    "Não há relatório de predição para imprimir: faça antes uma predição de HD's ou HT's.");
const QString kNoPredictedHybridMessage =
    QStringLiteral("O relatório não tem nenhum híbrido predito para ordenar.");

} // namespace

TForm2::TForm2(const koravel::Session &session, koravel::UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_session(session)
    , m_dialogs(dialogs)
{
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(koravel::windowFont());
    setupUi(this);
    // Scintilla takes sizes in points: the same font, given as 8 points.
    QFont textFont = koravel::windowFont();
    textFont.setPointSize(8);
    Memo1->setTextFont(textFont);
    m_sink = std::make_unique<EditorReportSink>(*Memo1);
    // A long run shows its lines as they come, in front of the main window.
    m_sink->setShowWindow([this] {
        show();
        raise();
        activateWindow();
    });
    m_exporter = std::make_unique<koravel::SpreadsheetExporter>(m_dialogs);
    Ranking = new RankingWindow(*m_exporter, m_dialogs, this);
    Ranking->setSession(&m_session);

    using koravel::handled;
    connect(Salvar1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Salvar1Click));
    connect(Sair1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Sair1Click));
    connect(LIMPAR1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::LIMPAR1Click));
    connect(Ordenar1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Ordenar1Click));
    connect(
        Exportar1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Exportar1Click));
    connect(
        Imprimir1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Imprimir1Click));

    restoreNormalGeometry();
}

TForm2::~TForm2() = default;

koravel::ReportSink &TForm2::reportSink()
{
    return *m_sink;
}

void TForm2::expectReport(koravel::HybridKind kind, const koravel::LinesField &lines)
{
    const auto n = lines.tryCount();
    const koravel::ReportCount count = n && *n > 0 ? koravel::reportSize(kind, *n).lines : 0;
    m_sink->expectLines(static_cast<std::uint64_t>(std::min<koravel::ReportCount>(count, UINT64_MAX)));
}

void TForm2::publishReport()
{
    if (const auto &last = m_session.lastReport())
        Memo1->setColumnsFor(last->kind);
    const bool showWindow = m_sink->takeShowRequest();
    koravel::runHandler(this, m_dialogs, [this] { m_sink->publish(); });
    if (showWindow) {
        show();
        raise();
        activateWindow();
    }
    // An open ranking follows the new report.
    if (Ranking->isVisible())
        koravel::runHandler(this, m_dialogs, [this] { Ordenar1Click(); });
}

QString TForm2::reportText() const
{
    return koravel::toQt(Memo1->bytes());
}

const QStringList &TForm2::saveFilters()
{
    static const QStringList filters {
        QStringLiteral("Arquivo texto (*.txt)"),
        QStringLiteral("Arquivo separado por espaços (*.prn)"),
        QStringLiteral("Arquivo de dados (*.dat)"),
    };
    return filters;
}

void TForm2::Salvar1Click()
{
    koravel::FileDialogRequest request;
    request.filters = saveFilters();
    request.proposedName = m_lastSaveName;
    request.selectedFilter = m_lastSaveFilter.isEmpty() ? saveFilters().first() : m_lastSaveFilter;
    request.defaultSuffix = QStringLiteral("txt");
    const auto answer = m_dialogs.saveFile(this, request);
    if (!answer) {
        m_dialogs.information(this, koravel::toQt(koravel::kNotSavedMessage));
        return;
    }
    m_lastSaveName = answer->fileName;
    if (saveFilters().contains(answer->selectedFilter))
        m_lastSaveFilter = answer->selectedFilter;
    koravel::writeNamedFile(answer->fileName,
        [this](const std::string &path) { koravel::saveReportFile(path, Memo1->bytes()); });
    m_dialogs.information(this, koravel::toQt(koravel::savedMessage({})) + answer->fileName);
}

void TForm2::Sair1Click()
{
    close();
}

void TForm2::LIMPAR1Click()
{
    // Only what follows the first removed line is rewritten: no copy of a huge report.
    const koravel::CleanUpEdit edit = koravel::cleanUpEdit(Memo1->bytes());
    const int firstLine = Memo1->firstVisibleLine();
    Memo1->replaceFrom(edit.from, edit.tail);
    Memo1->setFirstVisibleLine(firstLine);
}

koravel::ReportDocument TForm2::shownDocument() const
{
    koravel::ReportDocument document;
    document.setText(std::string(Memo1->bytes()));
    return document;
}

void TForm2::Ordenar1Click()
{
    if (!m_session.lastReport()) {
        m_dialogs.information(this, kNothingToRankMessage);
        return;
    }
    const koravel::FormatSettings settings = m_session.lastReport()->settings;
    koravel::ReportDocument document = shownDocument();
    const koravel::RankingResult ranking =
        koravel::rankReport(document, Ranking->options(), settings);
    if (ranking.predicted == 0) {
        // A ranking of an earlier report must not stay on show as if it were this one's.
        Ranking->close();
        m_dialogs.information(this, kNoPredictedHybridMessage);
        return;
    }
    // The names of the lines beside their numbers, once a names file is loaded.
    Ranking->setLineNames(m_session.lineNames().empty() ? nullptr : &m_session.lineNames());
    Ranking->setPrintHeading(koravel::PrintHeading::of(*m_session.lastReport()));
    Ranking->showRanking(std::move(document), settings, ranking);
    Ranking->show();
    Ranking->raise();
    Ranking->activateWindow();
}

void TForm2::Exportar1Click()
{
    if (!m_session.lastReport()) {
        m_dialogs.information(this, kNothingToExportMessage);
        return;
    }
    m_exporter->exportReport(this, shownDocument(), m_session.lastReport()->settings);
}

void TForm2::Imprimir1Click()
{
    if (!m_session.lastReport()) {
        m_dialogs.information(this, kNothingToPrintMessage);
        return;
    }
    const std::string_view text = Memo1->bytes();
    const auto start = static_cast<std::size_t>(Memo1->SendScintilla(Memo1->SCI_GETSELECTIONSTART));
    const auto end = static_cast<std::size_t>(Memo1->SendScintilla(Memo1->SCI_GETSELECTIONEND));
    koravel::printWithDialog(this, m_dialogs, QStringLiteral("relatorio_koravel"),
        koravel::PrintHeading::of(*m_session.lastReport()), koravel::ReportPrinter::Columns::Report,
        text, text.substr(std::min(start, text.size()), end > start ? end - start : 0));
}

QSize TForm2::normalSize() const
{
    return { kClientWidth, kClientHeight + menuBar()->sizeHint().height() };
}

void TForm2::restoreNormalGeometry()
{
    setMinimumSize(normalSize());
    setMaximumSize(normalSize() + QSize(0, kPlay));
    resize(normalSize());
    move(kPlace);
}

void TForm2::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // The window manager may have kept to the largest size: with the limit lifted it fills
        // the screen's free area, or else the window fills it itself, once the manager has had
        // its turn (through its window, so that the widget stays maximised).
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        QTimer::singleShot(kSettleMs, this, [this] {
            const QRect free = screen()->availableGeometry();
            if (windowState() == Qt::WindowMaximized && frameGeometry().size() != free.size()) {
                const QMargins frame(geometry().left() - frameGeometry().left(),
                    geometry().top() - frameGeometry().top(),
                    frameGeometry().right() - geometry().right(),
                    frameGeometry().bottom() - geometry().bottom());
                windowHandle()->setGeometry(free - frame);
            }
        });
    } else if (!(windowState() & Qt::WindowMinimized)
        && (static_cast<QWindowStateChangeEvent *>(event)->oldState()
            & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // Later, once the window manager has framed the restored window again: the size and
        // place are those of the frame it draws, whose margins the toolkit may learn late.
        QTimer::singleShot(0, this, &TForm2::restoreNormalGeometry);
        QTimer::singleShot(kSettleMs, this, [this] {
            if (windowState() == Qt::WindowNoState && frameGeometry().topLeft() != kPlace)
                move(kPlace);
        });
    }
}

void TForm2::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // A drag of the border within the pixel of play is undone.
    if (windowState() == Qt::WindowNoState && isVisible() && event->size() != normalSize())
        QTimer::singleShot(0, this, [this] {
            if (windowState() == Qt::WindowNoState && size() != normalSize())
                resize(normalSize());
        });
}
