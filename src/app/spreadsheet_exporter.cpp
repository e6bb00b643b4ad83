// One export: the choice of format, the file name, the writing and the message.
#include "spreadsheet_exporter.h"

#include "export/ranking.h"
#include "export/spreadsheet_export.h"
#include "named_file_writer.h"
#include "qt_text.h"

namespace koravel {

namespace {

    CsvOptions csvOptions(const SpreadsheetChoice &choice)
    {
        CsvOptions options;
        options.separator = choice.separator;
        options.decimalMark = choice.decimalMark;
        return options;
    }

} // namespace

SpreadsheetExporter::SpreadsheetExporter(UserDialogs &dialogs)
    : m_dialogs(dialogs)
{
    m_lastNames[Report][0] = QStringLiteral("relatorio.csv");
    m_lastNames[Report][1] = QStringLiteral("relatorio.xlsx");
    m_lastNames[Ranking][0] = QStringLiteral("ordenacao.csv");
    m_lastNames[Ranking][1] = QStringLiteral("ordenacao.xlsx");
}

QString SpreadsheetExporter::filter(SpreadsheetFormat format)
{
    return format == SpreadsheetFormat::Csv ? QStringLiteral("Planilha CSV (*.csv)")
                                            : QStringLiteral("Pasta de trabalho do Excel (*.xlsx)");
}

void SpreadsheetExporter::exportReport(
    QWidget *parent, const ReportDocument &document, const FormatSettings &reportSettings)
{
    const auto target = chooseTarget(parent, Report, document);
    if (!target)
        return;
    writeNamedFile(target->fileName, [&](const std::string &path) {
        if (target->choice.format == SpreadsheetFormat::Csv)
            exportReportCsv(path, document, reportSettings, csvOptions(target->choice));
        else
            exportReportXlsx(path, document, reportSettings, nullptr);
    });
    m_dialogs.information(parent, toQt(kSpreadsheetSavedMessage) + target->fileName);
}

void SpreadsheetExporter::exportRanking(QWidget *parent, const ReportDocument &document,
    const FormatSettings &reportSettings, const RankingResult &ranking)
{
    const auto target = chooseTarget(parent, Ranking, document);
    if (!target)
        return;
    writeNamedFile(target->fileName, [&](const std::string &path) {
        if (target->choice.format == SpreadsheetFormat::Csv)
            exportRankingCsv(path, ranking, csvOptions(target->choice));
        else
            exportReportXlsx(path, document, reportSettings, &ranking);
    });
    m_dialogs.information(parent, toQt(kSpreadsheetSavedMessage) + target->fileName);
}

std::optional<SpreadsheetExporter::Target> SpreadsheetExporter::chooseTarget(
    QWidget *parent, Kind kind, const ReportDocument &document)
{
    const auto choice = m_dialogs.spreadsheetChoice(parent, m_lastChoice);
    if (!choice) {
        m_dialogs.information(parent, toQt(kSpreadsheetNotSavedMessage));
        return std::nullopt;
    }
    // A separator that clashes with the decimal mark is refused before a file is asked for.
    // So is a workbook the report would not fit in.
    if (choice->format == SpreadsheetFormat::Csv)
        checkCsvOptions(csvOptions(*choice));
    else
        checkReportXlsx(document);
    m_lastChoice = *choice;

    const int format = choice->format == SpreadsheetFormat::Csv ? 0 : 1;
    FileDialogRequest request;
    request.filters = QStringList { filter(choice->format) };
    request.selectedFilter = request.filters.constFirst();
    request.proposedName = m_lastNames[kind][format];
    request.defaultSuffix = format == 0 ? QStringLiteral("csv") : QStringLiteral("xlsx");
    const auto answer = m_dialogs.saveFile(parent, request);
    if (!answer) {
        m_dialogs.information(parent, toQt(kSpreadsheetNotSavedMessage));
        return std::nullopt;
    }
    m_lastNames[kind][format] = answer->fileName;
    return Target { *choice, answer->fileName };
}

} // namespace koravel
