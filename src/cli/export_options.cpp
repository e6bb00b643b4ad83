// Reading and checking the ranking and spreadsheet options of koravel-cli.
#include "export_options.h"

#include <charconv>
#include <filesystem>
#include <vector>

#include "cli_options.h"
#include "numtext/error.h"
#include "table/text_encoding.h"

namespace koravel::cli {

namespace {

    std::string quoted(std::string_view text)
    {
        return "\"" + std::string(text) + "\"";
    }

    std::size_t topOrUsageError(std::string_view text)
    {
        std::size_t top = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), top);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || top == 0)
            throw UsageError("--top espera um número inteiro maior que zero, não " + quoted(text));
        return top;
    }

    char characterOrUsageError(std::string_view name, std::string_view text)
    {
        if (text == "\\t" || text == "tab")
            return '\t';
        const std::optional<char> c = separatorFromText(text);
        if (!c)
            throw UsageError(
                std::string(name) + " espera exatamente um caractere, não " + quoted(text));
        return *c;
    }

    std::string pathOrUsageError(std::string_view name, std::string_view text)
    {
        if (text.empty())
            throw UsageError(std::string(name) + " espera o nome de um arquivo");
        return std::string(text);
    }

    // Two outputs that name the same file would overwrite each other.
    void refuseSameFile(const std::vector<std::pair<std::string_view, std::string>> &files)
    {
        for (std::size_t i = 0; i < files.size(); ++i)
            for (std::size_t j = i + 1; j < files.size(); ++j) {
                std::error_code error;
                const auto a = std::filesystem::weakly_canonical(files[i].second, error);
                const auto b = std::filesystem::weakly_canonical(files[j].second, error);
                if (files[i].second == files[j].second || (!error && a == b))
                    throw UsageError(std::string(files[i].first) + " e "
                        + std::string(files[j].first) + " não podem ser o mesmo arquivo");
            }
    }

} // namespace

bool exportOptionSlot(
    RawExportArguments &raw, std::string_view name, std::optional<std::string_view> *&slot)
{
    if (name == "--top")
        slot = &raw.top;
    else if (name == "--ranking")
        slot = &raw.ranking;
    else if (name == "--csv")
        slot = &raw.csv;
    else if (name == "--csv-separator")
        slot = &raw.csvSeparator;
    else if (name == "--csv-decimal")
        slot = &raw.csvDecimal;
    else if (name == "--xlsx")
        slot = &raw.xlsx;
    else
        return false;
    return true;
}

ExportOptions readExportOptions(
    const RawExportArguments &raw, bool doubleCrosses, const std::optional<std::string> &outputPath)
{
    ExportOptions options;
    if (raw.ranking)
        options.rankingPath = pathOrUsageError("--ranking", *raw.ranking);
    if (raw.csv)
        options.csvPath = pathOrUsageError("--csv", *raw.csv);
    if (raw.xlsx)
        options.xlsxPath = pathOrUsageError("--xlsx", *raw.xlsx);
    if (raw.top || raw.ranking || raw.noReport) {
        options.ranking = RankingOptions {};
        if (raw.top)
            options.ranking->top = topOrUsageError(*raw.top);
        if (!raw.ranking && !raw.xlsx)
            throw UsageError(std::string(raw.noReport ? "--no-report" : "--top")
                + " pede --ranking ARQUIVO ou --xlsx ARQUIVO");
    }
    if (raw.estimateMissing) {
        if (!options.ranking)
            throw UsageError("--estimate-missing pede --top K, --ranking ARQUIVO ou --no-report");
        options.estimateMissing = true;
    }
    if (raw.bestPairing) {
        if (!doubleCrosses)
            throw UsageError("--best-pairing vale só para hd");
        if (!options.ranking)
            throw UsageError("--best-pairing pede --top K ou --ranking ARQUIVO");
        options.ranking->bestPairing = true;
    }
    if (raw.csvSeparator)
        options.csv.separator = characterOrUsageError("--csv-separator", *raw.csvSeparator);
    if (raw.csvDecimal)
        options.csv.decimalMark = characterOrUsageError("--csv-decimal", *raw.csvDecimal);
    if ((raw.csvSeparator || raw.csvDecimal) && !raw.csv && !raw.ranking)
        throw UsageError("--csv-separator e --csv-decimal pedem --csv ou --ranking");
    try {
        checkCsvOptions(options.csv);
    } catch (const Error &error) {
        throw UsageError(latin1ToUtf8(error.message()));
    }

    std::vector<std::pair<std::string_view, std::string>> files;
    if (outputPath)
        files.emplace_back("--output", *outputPath);
    if (options.rankingPath)
        files.emplace_back("--ranking", *options.rankingPath);
    if (options.csvPath)
        files.emplace_back("--csv", *options.csvPath);
    if (options.xlsxPath)
        files.emplace_back("--xlsx", *options.xlsxPath);
    refuseSameFile(files);
    return options;
}

} // namespace koravel::cli
