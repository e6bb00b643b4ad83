// The ranking window's controls and handlers: they rank the kept report again and show it.
#include "RankingWindow.h"

#include "koravel_application.h"
#include "line_frequency_model.h"
#include "qt_text.h"
#include "ranking_table_model.h"
#include "spreadsheet_exporter.h"

#include "analysis/diallel_analysis.h"
#include "analysis/line_names.h"
#include "export/missing_cross_estimates.h"
#include "export/prediction_errors.h"
#include "numtext/error.h"
#include "session.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>

namespace {

constexpr int kDefaultTop = 20;

// Every column a little wider than its widest text, and the table as wide as its columns and
// a vertical scroll bar; returns that width.
int fitColumns(QTableView *table)
{
    constexpr int kPadding = 12;
    table->resizeColumnsToContents();
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        table->setColumnWidth(column, table->columnWidth(column) + kPadding);
        width += table->columnWidth(column);
    }
    return width;
}

// A table as it is shown: the headings, then one row a line, cells separated by tabs.
QString tableText(const QAbstractItemModel &model)
{
    QString text;
    for (int row = -1; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            text += column > 0 ? QStringLiteral("\t") : QString();
            text += (row < 0 ? model.headerData(column, Qt::Horizontal)
                             : model.index(row, column).data())
                        .toString();
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString countsText(const koravel::RankingResult &ranking, bool bestPairing)
{
    // A hybrid ranked with estimated crosses is FALSO in the report.
    const std::size_t measured = ranking.predicted - ranking.estimated;
    QString text = QStringLiteral("Candidatos lidos: %1   |   Preditos: %2   |   FALSO: %3   |   "
                                  "Na tabela: %4 de maior média")
                       .arg(ranking.candidates)
                       .arg(measured)
                       .arg(ranking.candidates - measured)
                       .arg(ranking.best.size());
    if (bestPairing && ranking.kind == koravel::HybridKind::DoubleCross)
        text += QStringLiteral(", um pareamento por grupo de quatro linhagens");
    if (ranking.estimatesShown)
        text +=
            QStringLiteral("   |   FALSO ordenados com HS estimados: %1").arg(ranking.estimated);
    return text;
}

} // namespace

RankingWindow::RankingWindow(
    koravel::SpreadsheetExporter &exporter, koravel::UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_exporter(exporter)
    , m_dialogs(dialogs)
    , m_rankingModel(new koravel::RankingTableModel(this))
    , m_frequencyModel(new koravel::LineFrequencyModel(this))
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(koravel::windowFont());
    setupUi(this);
    SpinEdit1->setRange(1, kMaxTop);
    SpinEdit1->setValue(kDefaultTop);
    for (QTableView *table : { StringGrid1, StringGrid2 })
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    StringGrid1->setModel(m_rankingModel);
    StringGrid2->setModel(m_frequencyModel);

    using koravel::handled;
    connect(SpinEdit1, &QSpinBox::valueChanged, this,
        handled(this, m_dialogs, &RankingWindow::SpinEdit1Change));
    connect(CheckBox1, &QCheckBox::toggled, this,
        handled(this, m_dialogs, &RankingWindow::CheckBox1Click));
    connect(CheckBox2, &QCheckBox::toggled, this,
        handled(this, m_dialogs, &RankingWindow::CheckBox2Click));
    for (QLineEdit *edit : { Edit1, Edit2, Edit3 })
        connect(edit, &QLineEdit::editingFinished, this,
            handled(this, m_dialogs, &RankingWindow::Edit1Exit));
    connect(Exportar1, &QAction::triggered, this,
        handled(this, m_dialogs, &RankingWindow::Exportar1Click));
    connect(Imprimir1, &QAction::triggered, this,
        handled(this, m_dialogs, &RankingWindow::Imprimir1Click));
    connect(Sair1, &QAction::triggered, this, handled(this, m_dialogs, &RankingWindow::Sair1Click));

    StringGrid2->setFixedWidth(fitColumns(StringGrid2));
    resize(600, 480);
}

RankingWindow::~RankingWindow() = default;

koravel::RankingOptions RankingWindow::options() const
{
    koravel::RankingOptions options;
    options.top = static_cast<std::size_t>(SpinEdit1->value());
    options.bestPairing = CheckBox1->isChecked();
    return options;
}

void RankingWindow::showRanking(koravel::ReportDocument document, koravel::FormatSettings settings,
    const koravel::RankingResult &ranking)
{
    m_document = std::move(document);
    m_settings = settings;
    m_ranking = ranking;
    m_hasReport = true;
    m_estimates.reset(); // a new report: the table may have changed since the last
    if (CheckBox2->isChecked())
        rankAgain();
    else
        addExtras();
    showResult();
}

void RankingWindow::setSession(const koravel::Session *session)
{
    m_session = session;
    m_estimates.reset();
}

void RankingWindow::setLineNames(const koravel::LineNames *names)
{
    m_names = names != nullptr ? std::make_shared<const koravel::LineNames>(*names) : nullptr;
    if (m_hasReport) {
        addExtras();
        showResult();
    }
}

void RankingWindow::SpinEdit1Change()
{
    rankAgain();
}

void RankingWindow::CheckBox1Click()
{
    rankAgain();
}

void RankingWindow::CheckBox2Click()
{
    rankAgain();
}

void RankingWindow::Edit1Exit()
{
    if (!m_hasReport)
        return;
    addExtras();
    showResult();
}

void RankingWindow::Exportar1Click()
{
    if (m_hasReport)
        m_exporter.exportRanking(this, m_document, m_settings, m_ranking);
}

void RankingWindow::Imprimir1Click()
{
    if (!m_hasReport)
        return;
    // The counts, the ranking and the lines' frequencies, as the window shows them.
    const std::string text = koravel::fromQt(Label2->text() + QStringLiteral("\r\n\r\n")
        + tableText(*m_rankingModel) + QStringLiteral("\r\n") + tableText(*m_frequencyModel));
    koravel::PrintHeading heading = m_heading;
    heading.kind = m_ranking.kind;
    heading.printed = QDateTime::currentDateTime();
    koravel::printWithDialog(this, m_dialogs, QStringLiteral("ordenacao_koravel"), heading,
        koravel::ReportPrinter::Columns::Table, text);
}

void RankingWindow::Sair1Click()
{
    close();
}

void RankingWindow::closeEvent(QCloseEvent *event)
{
    // The copy of a large report is given back as soon as nobody looks at its ranking.
    m_document = koravel::ReportDocument();
    m_hasReport = false;
    QMainWindow::closeEvent(event);
}

void RankingWindow::rankAgain()
{
    if (!m_hasReport)
        return;
    const koravel::MissingCrossEstimates *estimates = nullptr;
    if (CheckBox2->isChecked() && m_session != nullptr && m_session->lastReport()) {
        if (!m_estimates) {
            const koravel::ReportOrigin &origin = *m_session->lastReport();
            m_estimates = std::make_shared<const koravel::MissingCrossEstimates>(
                koravel::PredictionInput { m_session->grid(), koravel::LinesField(origin.lines),
                    origin.reciprocals, origin.settings });
        }
        estimates = m_estimates.get();
    }
    m_ranking = koravel::rankReport(m_document, options(), m_settings, estimates);
    addExtras();
    showResult();
}

// The names and, with the trial's error in the three fields, the error of each hybrid.
void RankingWindow::addExtras()
{
    m_ranking.names = m_names;
    m_ranking.standardErrors.clear();
    m_ranking.differsFromFirst.clear();
    const std::optional<koravel::ErrorTerm> error = errorTerm();
    if (!error || m_session == nullptr || !m_session->lastReport())
        return;
    koravel::PredictionErrors(*error, m_session->lastReport()->reciprocals,
        m_ranking.estimated > 0 ? m_estimates : nullptr)
        .annotate(m_ranking);
}

// Nothing while a field is empty; a field that does not read is refused with a message.
std::optional<koravel::ErrorTerm> RankingWindow::errorTerm() const
{
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()
        || Edit3->text().trimmed().isEmpty())
        return std::nullopt;
    const auto number = [](QLineEdit *edit, bool integer) {
        QString text = edit->text().trimmed();
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double value = integer ? double(text.toLongLong(&ok)) : text.toDouble(&ok);
        if (!ok)
            throw koravel::Error("'" + koravel::fromQt(edit->text().trimmed())
                + "' n\xE3o \xE9 um n\xFAmero v\xE1lido");
        return value;
    };
    koravel::ErrorTerm error;
    error.meanSquare = number(Edit1, false);
    error.degreesOfFreedom = static_cast<std::int64_t>(number(Edit2, true));
    error.replications = static_cast<std::int64_t>(number(Edit3, true));
    koravel::checkErrorTerm(error);
    return error;
}

void RankingWindow::showResult()
{
    const bool doubleCross = m_ranking.kind == koravel::HybridKind::DoubleCross;
    setWindowTitle(doubleCross
            ? QStringLiteral(".:: Koravel v.1.1.2010 - ORDENAÇÃO DOS HÍBRIDOS DUPLOS")
            : QStringLiteral(".:: Koravel v.1.1.2010 - ORDENAÇÃO DOS HÍBRIDOS TRIPLOS"));
    CheckBox1->setVisible(doubleCross);
    CheckBox2->setEnabled(m_session != nullptr);
    m_rankingModel->setRanking(m_ranking, m_settings);
    m_frequencyModel->setFrequencies(m_ranking.frequencies, m_ranking.names.get());
    // The ranking never hides a column; a wider window leaves room beside it.
    StringGrid1->setMinimumWidth(fitColumns(StringGrid1));
    StringGrid2->setFixedWidth(fitColumns(StringGrid2));
    Label2->setText(countsText(m_ranking, options().bestPairing));
}
