// The diallel analysis window: wiring between the core's analysis, its tables, the GCA chart
// and the files the exports write.
#include "DiallelAnalysisWindow.h"

#include "analysis/diallel_export.h"
#include "diallel_table_model.h"
#include "export/csv_writer.h"
#include "export/spreadsheet_export.h"
#include "gca_chart_view.h"
#include "koravel_application.h"
#include "maize_picture.h"
#include "named_file_writer.h"
#include "numtext/error.h"
#include "qt_text.h"
#include "session.h"
#include "spreadsheet_exporter.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>
#include <numeric>

namespace {

enum Table { Lines, Anova, Crosses, Missing };
enum SavedName { CsvName, XlsxName, PngName };

// Every column a little wider than its widest text; the table as wide as its columns and a
// vertical scroll bar.
void fitColumns(QTableView *table)
{
    constexpr int kPadding = 14;
    table->resizeColumnsToContents();
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        table->setColumnWidth(column, table->columnWidth(column) + kPadding);
        width += table->columnWidth(column);
    }
    table->setMinimumWidth(width);
}

// The lines from the largest GCA to the smallest; lines whose GCA cannot be estimated last, in
// their order.
std::vector<std::size_t> byGca(const koravel::DiallelAnalysis &analysis)
{
    std::vector<std::size_t> order(analysis.lineEffects.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto &ga = analysis.lineEffects[a].gca;
        const auto &gb = analysis.lineEffects[b].gca;
        return ga && (!gb || *ga > *gb);
    });
    return order;
}

// The text's paragraphs (separated by an empty line): the heading with its notes comes first.
QStringList paragraphs(const std::string &utf8)
{
    return QString::fromStdString(utf8).split(QStringLiteral("\n\n"));
}

} // namespace

DiallelAnalysisWindow::DiallelAnalysisWindow(koravel::UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_dialogs(dialogs)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(koravel::windowFont());
    setupUi(this);
    setWindowIcon(koravelIcon());
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(11);
    Label2->setFont(fixed);
    QTableView *tables[] = { StringGrid1, StringGrid2, StringGrid3, StringGrid4 };
    for (int i = 0; i < 4; ++i) {
        m_models[i] = new koravel::DiallelTableModel(this);
        tables[i]->setModel(m_models[i]);
        tables[i]->verticalHeader()->setDefaultSectionSize(tables[i]->fontMetrics().height() + 6);
    }
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setStretchFactor(2, 0);
    m_lastNames[CsvName] = QStringLiteral("analise_dialelica.csv");
    m_lastNames[XlsxName] = QStringLiteral("analise_dialelica.xlsx");
    m_lastNames[PngName] = QStringLiteral("gca.png");

    using koravel::handled;
    connect(Edit1, &QLineEdit::editingFinished, this,
        handled(this, m_dialogs, &DiallelAnalysisWindow::Edit1Change));
    for (QSpinBox *spin : { SpinEdit1, SpinEdit2 })
        connect(spin, &QSpinBox::valueChanged, this,
            handled(this, m_dialogs, &DiallelAnalysisWindow::Edit1Change));
    connect(Exportar1, &QAction::triggered, this,
        handled(this, m_dialogs, &DiallelAnalysisWindow::Exportar1Click));
    connect(Exportar2, &QAction::triggered, this,
        handled(this, m_dialogs, &DiallelAnalysisWindow::Exportar2Click));
    connect(Sair1, &QAction::triggered, this,
        handled(this, m_dialogs, &DiallelAnalysisWindow::Sair1Click));
}

DiallelAnalysisWindow::~DiallelAnalysisWindow()
{
    // The views outlive the tables their models read: closing the window lays them out again.
    for (koravel::DiallelTableModel *model : m_models)
        model->setTable(nullptr, m_decimalMark);
}

std::optional<koravel::ErrorTerm> DiallelAnalysisWindow::errorTerm() const
{
    const QString text = Edit1->text().trimmed();
    if (text.isEmpty() || SpinEdit1->value() == 0 || SpinEdit2->value() == 0)
        return std::nullopt;
    // Either mark reads as the decimal one, as on the command line.
    std::string point = koravel::fromQt(text);
    std::replace(point.begin(), point.end(), ',', '.');
    koravel::ErrorTerm error;
    try {
        error.meanSquare = koravel::strToFloat(point, { '.' });
    } catch (const koravel::Error &) {
        throw koravel::Error(koravel::fromQt(
            QStringLiteral("O QMR deve ser um número maior que zero, não \"%1\"").arg(text)));
    }
    error.degreesOfFreedom = SpinEdit1->value();
    error.replications = SpinEdit2->value();
    return error;
}

void DiallelAnalysisWindow::showAnalysis(const koravel::Session &session)
{
    const koravel::FormatSettings settings = session.formatSettings();
    koravel::CrossTable table = koravel::readCrossTable(session.grid(), session.lines(), settings);
    koravel::DiallelAnalysis analysis = koravel::analyseDiallel(table, errorTerm());

    m_table = std::move(table);
    m_analysis = std::move(analysis);
    m_decimalMark = settings.decimalSeparator;
    m_names = session.lineNames();
    m_namesFile = session.lineNamesFile();
    showResult();
    koravel::showInFront(this, QSize(1300, 780));
}

void DiallelAnalysisWindow::setLineNames(const koravel::LineNames &names, const std::string &file)
{
    m_names = names;
    m_namesFile = file;
    if (m_table.lines > 0)
        showResult();
}

void DiallelAnalysisWindow::Edit1Change()
{
    if (m_table.lines == 0)
        return;
    m_analysis = koravel::analyseDiallel(m_table, errorTerm());
    showResult();
}

void DiallelAnalysisWindow::showResult()
{
    // The models read the tables: the old ones live until the models hold the new ones.
    std::vector<koravel::DiallelTable> old = koravel::diallelTables(m_analysis, m_names);
    m_tables.swap(old);
    const std::vector<std::size_t> order = byGca(m_analysis);
    m_models[Lines]->setTable(&m_tables[Lines], m_decimalMark, order);
    for (int table : { Anova, Crosses })
        m_models[table]->setTable(&m_tables[std::size_t(table)], m_decimalMark);
    const bool missing = m_tables.size() > Missing;
    m_models[Missing]->setTable(missing ? &m_tables[Missing] : nullptr, m_decimalMark);

    // The heading, its notes and the standard errors come before the table of the crosses,
    // which the text is spared (half a million rows with 1000 lines).
    const std::vector<koravel::DiallelTable> head(m_tables.begin(), m_tables.begin() + Crosses);
    const QStringList text = paragraphs(koravel::diallelText(m_analysis, head, m_decimalMark));

    QString heading = text.value(0);
    heading += m_namesFile.empty()
        ? QStringLiteral("\nNomes das linhagens: nenhum arquivo de nomes carregado.")
        : QStringLiteral("\nNomes das linhagens: ") + koravel::toQt(m_namesFile);
    Label1->setText(heading);
    // With the error term, the standard errors follow the analysis of variance.
    const QString errors = text.filter(QStringLiteral("Erros-padrão")).value(0);
    Label2->setText(errors);
    Label2->setVisible(!errors.isEmpty());
    Label6->setText(m_analysis.error
            ? QString()
            : QStringLiteral("Informe os três para F, valores p e erros-padrão."));
    setWindowTitle(
        QStringLiteral(".:: Koravel - ANÁLISE DIALÉLICA: %1 linhagens").arg(m_analysis.lines));

    Label10->setVisible(missing);
    StringGrid4->setVisible(missing);

    QList<koravel::GcaBar> bars;
    for (const std::size_t line : order) {
        const koravel::LineEffect &effect = m_analysis.lineEffects[line];
        if (!effect.gca)
            continue;
        QString label = QString::number(effect.line);
        const std::string_view name = m_names.name(effect.line);
        if (!name.empty())
            label += QStringLiteral("  ") + koravel::toQt(name);
        bars.push_back({ label, static_cast<double>(*effect.gca) });
    }
    PaintBox1->setBars(std::move(bars),
        QStringLiteral("GCA das %1 linhagens, da maior para a menor").arg(m_analysis.lines),
        m_decimalMark);
    fitTables();
}

void DiallelAnalysisWindow::fitTables()
{
    for (QTableView *table : { StringGrid1, StringGrid2, StringGrid3, StringGrid4 })
        fitColumns(table);
    // The analysis of variance shows all its rows, no more.
    QTableView *anova = StringGrid2;
    anova->setFixedHeight(2 * anova->frameWidth() + anova->horizontalHeader()->sizeHint().height()
        + anova->model()->rowCount() * anova->verticalHeader()->defaultSectionSize());
}

void DiallelAnalysisWindow::Exportar1Click()
{
    if (m_tables.empty())
        return;
    const auto choice = m_dialogs.spreadsheetChoice(this, m_lastChoice);
    if (!choice) {
        m_dialogs.information(this, koravel::toQt(koravel::kSpreadsheetNotSavedMessage));
        return;
    }
    const bool csv = choice->format == koravel::SpreadsheetFormat::Csv;
    koravel::CsvOptions options;
    options.separator = choice->separator;
    options.decimalMark = choice->decimalMark;
    // A separator that clashes with the decimal mark is refused before a file is asked for.
    if (csv)
        koravel::checkCsvOptions(options);
    m_lastChoice = *choice;

    koravel::FileDialogRequest request;
    request.filters = QStringList { koravel::SpreadsheetExporter::filter(choice->format) };
    request.selectedFilter = request.filters.constFirst();
    request.proposedName = m_lastNames[csv ? CsvName : XlsxName];
    request.defaultSuffix = csv ? QStringLiteral("csv") : QStringLiteral("xlsx");
    const auto answer = m_dialogs.saveFile(this, request);
    if (!answer) {
        m_dialogs.information(this, koravel::toQt(koravel::kSpreadsheetNotSavedMessage));
        return;
    }
    m_lastNames[csv ? CsvName : XlsxName] = answer->fileName;
    koravel::writeNamedFile(answer->fileName, [&](const std::string &path) {
        if (csv) {
            koravel::CsvWriter writer(path, options);
            koravel::writeDiallelCsv(writer, m_tables, options.decimalMark);
            writer.commit();
        } else {
            koravel::DiallelWorkbook workbook(path);
            workbook.finished(m_tables).commit();
        }
    });
    m_dialogs.information(
        this, koravel::toQt(koravel::kSpreadsheetSavedMessage) + answer->fileName);
}

// The chart as a PNG picture, at the size it is shown.
void DiallelAnalysisWindow::Exportar2Click()
{
    if (!m_tables.empty())
        koravel::savePicture(this, m_dialogs, PaintBox1->picture(), m_lastNames[PngName]);
}

void DiallelAnalysisWindow::Sair1Click()
{
    close();
}
