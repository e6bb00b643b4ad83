// Exporting a report document and its ranking as CSV tables and as an XLSX workbook.
#include "export/spreadsheet_export.h"

#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "export/spreadsheet_texts.h"
#include "numtext/error.h"
#include "report/report_document.h"
#include "report/report_line.h"

namespace koravel {

namespace {

    // The kind of the first candidate line; a report without any is taken for double crosses.
    HybridKind reportKind(const ReportDocument &document, const FormatSettings &settings)
    {
        for (std::size_t i = 0; i < document.count(); ++i)
            if (const auto candidate = readCandidateLine(document.line(i), settings))
                return candidate->kind;
        return HybridKind::DoubleCross;
    }

    // Lines that begin as candidate lines do: at least as many as will be exported.
    std::size_t candidateLineBound(const ReportDocument &document)
    {
        std::size_t count = 0;
        for (std::size_t i = 0; i < document.count(); ++i) {
            std::string_view line = document.line(i);
            if (line.starts_with("FALSO "))
                line.remove_prefix(6);
            if (line.starts_with("HD (") || line.starts_with("HT ("))
                ++count;
        }
        return count;
    }

    // Calls write for each candidate line of the document's kind, in order.
    template <typename Write>
    void forEachCandidate(const ReportDocument &document, const FormatSettings &settings,
        HybridKind kind, Write write)
    {
        for (std::size_t i = 0; i < document.count(); ++i) {
            const auto candidate = readCandidateLine(document.line(i), settings);
            if (candidate && candidate->kind == kind)
                write(*candidate);
        }
    }

} // namespace

void checkCsvOptions(const CsvOptions &options)
{
    if (options.decimalMark != '.' && options.decimalMark != ',')
        throw Error("A marca decimal do CSV deve ser ponto ou v\xEDrgula");
    if (options.separator == options.decimalMark)
        throw Error("O separador de campos e a marca decimal do CSV devem ser diferentes");
    const auto separator = static_cast<unsigned char>(options.separator);
    if (separator == '"' || separator == '\r' || separator == '\n' || separator == 0
        || separator >= 0x80 || (separator >= '0' && separator <= '9'))
        throw Error("O separador de campos do CSV n\xE3o pode ser aspas, quebra de linha, "
                    "algarismo nem caractere fora do ASCII");
}

void exportReportCsv(const std::string &path, const ReportDocument &document,
    const FormatSettings &reportSettings, const CsvOptions &options)
{
    checkCsvOptions(options);
    const HybridKind kind = reportKind(document, reportSettings);
    CsvWriter csv(path, options);
    csv.candidateHeader(kind);
    forEachCandidate(document, reportSettings, kind,
        [&csv](const CandidateRecord &candidate) { csv.candidate(candidate); });
    csv.commit();
}

void exportRankingCsv(
    const std::string &path, const RankingResult &ranking, const CsvOptions &options)
{
    checkCsvOptions(options);
    CsvWriter csv(path, options);
    csv.ranking(ranking);
    csv.commit();
}

void checkReportXlsx(const ReportDocument &document)
{
    const std::size_t bound = candidateLineBound(document);
    if (bound > kMaxSheetRows)
        throw Error(tooManyRowsMessage(bound));
}

void exportReportXlsx(const std::string &path, const ReportDocument &document,
    const FormatSettings &reportSettings, const RankingResult *ranking)
{
    checkReportXlsx(document);
    const std::size_t bound = candidateLineBound(document);
    const HybridKind kind = reportKind(document, reportSettings);
    CandidateWorkbook workbook(path, kind, bound, ranking != nullptr);
    forEachCandidate(document, reportSettings, kind,
        [&workbook](const CandidateRecord &candidate) { workbook.candidate(candidate); });
    workbook.finish(ranking);
}

} // namespace koravel
