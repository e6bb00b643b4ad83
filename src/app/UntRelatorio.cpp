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
#include "session.h"
#include "spreadsheet_exporter.h"

#include <QMenuBar>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

constexpr int kClientWidth = 582;
constexpr int kClientHeight = 452;

const QString kNothingToRankMessage = QStringLiteral(
    "Não há relatório de predição para ordenar: faça antes uma predição de HD's ou HT's.");
const QString kNothingToExportMessage = QStringLiteral(
    "Não há relatório de predição para exportar: faça antes uma predição de HD's ou HT's.");
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

    using koravel::handled;
    connect(Salvar1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Salvar1Click));
    connect(Sair1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Sair1Click));
    connect(LIMPAR1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::LIMPAR1Click));
    connect(Ordenar1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Ordenar1Click));
    connect(
        Exportar1, &QAction::triggered, this, handled(this, m_dialogs, &TForm2::Exportar1Click));

    // Fixed size: the client area below the menu bar.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(292, 225);
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
