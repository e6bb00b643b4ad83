// Exporting a report and its ranking as spreadsheets: CSV tables and an XLSX workbook.
#pragma once

#include <cstddef>
#include <string>

#include "export/ranking.h"
#include "numtext/numtext.h"

namespace koravel {

class ReportDocument;

struct CsvOptions
{
    char separator = ';';
    char decimalMark = ',';
};

// Rows a worksheet holds below its header row.
inline constexpr std::size_t kMaxSheetRows = 1048575;

// Refuses, with a clear message in Portuguese, a decimal mark other than '.' or ',', and a
// separator equal to it or that is a quote, a line break, a digit or a byte outside ASCII:
//   {';', ','} -> fine   {',', ','} -> Error   {'"', ','} -> Error   {';', ';'} -> Error
void checkCsvOptions(const CsvOptions &options);

// UTF-8 CSV files with a Portuguese header row. Written to a temporary file and renamed, like
// the report's save; errors are koravel::Error with a clear message in Portuguese.
// The candidates of the report document (FALSO ones too, marked in a column of their own):
void exportReportCsv(const std::string &path, const ReportDocument &document,
    const FormatSettings &reportSettings, const CsvOptions &options);
// The ranking: rank, hybrid, mean, CV, single crosses; then the line frequencies.
void exportRankingCsv(
    const std::string &path, const RankingResult &ranking, const CsvOptions &options);
// One workbook: sheet "Candidatos" (every candidate line of the document, numbers as numbers)
// and, when ranking is not null, sheet "Ordenação" (the ranking and the line frequencies).
// A report with more candidates than a sheet can hold (1,048,575 rows) is refused before
// anything is written.
// Refuses a report of more candidate lines than a sheet holds, so that a front end can tell
// before it asks for a file name: "A planilha comporta no máximo 1048575 híbridos; ...".
void checkReportXlsx(const ReportDocument &document);
void exportReportXlsx(const std::string &path, const ReportDocument &document,
    const FormatSettings &reportSettings, const RankingResult *ranking);

} // namespace koravel
