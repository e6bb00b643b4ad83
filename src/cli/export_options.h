// The command line's ranking and spreadsheet options: --top, --best-pairing, --ranking, --csv,
// --csv-separator, --csv-decimal and --xlsx.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "export/spreadsheet_export.h"

namespace koravel::cli {

// The option texts as given, before they are checked.
struct RawExportArguments
{
    std::optional<std::string_view> top, ranking, csv, csvSeparator, csvDecimal, xlsx;
    bool bestPairing = false;
    bool noReport = false; // the ranking without the report: a ranking even without --top
    bool estimateMissing = false;
    bool any() const
    {
        return top || ranking || csv || csvSeparator || csvDecimal || xlsx || bestPairing
            || noReport || estimateMissing;
    }
};

struct ExportOptions
{
    std::optional<RankingOptions> ranking; // when --top or --ranking is given
    std::optional<std::string> rankingPath;
    std::optional<std::string> csvPath;
    std::optional<std::string> xlsxPath;
    CsvOptions csv;
    bool estimateMissing = false; // the ranking also takes FALSO hybrids with estimated crosses
    bool any() const { return ranking || csvPath || xlsxPath; }
};

// Takes the value of an export option: true when name is one of them.
bool exportOptionSlot(
    RawExportArguments &raw, std::string_view name, std::optional<std::string_view> *&slot);

// Checks the options together; UsageError (UTF-8) says what is wrong:
//   {top "0"}                         -> "--top espera um número inteiro maior que zero, não "0""
//   {top "5"} alone                   -> "--top pede --ranking ARQUIVO ou --xlsx ARQUIVO"
//   {csvSeparator ",", csvDecimal ","} -> the core's refusal, in UTF-8
//   {bestPairing} on ht               -> "--best-pairing vale só para hd"
// outputPath is the --output file, which no export may name.
ExportOptions readExportOptions(const RawExportArguments &raw, bool doubleCrosses,
    const std::optional<std::string> &outputPath);

} // namespace koravel::cli
