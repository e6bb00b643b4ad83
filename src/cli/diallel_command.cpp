// koravel-cli dialelo: the diallel analysis of the data file, as text on standard output and as
// CSV and XLSX tables.
#include <cstdio>
#include <memory>
#include <optional>

#include "analysis/diallel_analysis.h"
#include "analysis/diallel_export.h"
#include "analysis/diallel_tables.h"
#include "analysis/line_names.h"
#include "commands.h"
#include "export/csv_writer.h"
#include "numtext/error.h"
#include "numtext/locale_settings.h"
#include "progress.h"
#include "report/replacing_file.h"
#include "table/cell_grid.h"
#include "terminal_messages.h"

namespace koravel::cli {

namespace {

    void analyse(const Options &options)
    {
        // The names are read first, so that a wrong names file costs no import.
        const LineNames names =
            options.diallel.namesPath ? LineNames::read(*options.diallel.namesPath) : LineNames();
        CellGrid grid;
        ProgressBar progress;
        importFromCommandLine(options.dataFile, grid, progress);
        const FormatSettings settings { options.decimalSeparator.value_or(
            systemDecimalSeparator()) };
        const DiallelAnalysis analysis = analyseDiallel(
            readCrossTable(grid, options.linesText, settings), options.diallel.error);
        const std::vector<DiallelTable> tables = diallelTables(analysis, names);
        const std::string text = diallelText(analysis, tables, settings.decimalSeparator);

        // Every output is replaced once the last byte of all is written, all or none; standard
        // output is written last, so that an error leaves nothing there either.
        std::vector<ReplacingFile *> files;
        std::unique_ptr<CsvWriter> csv;
        std::unique_ptr<DiallelWorkbook> workbook;
        if (options.exports.csvPath) {
            csv = std::make_unique<CsvWriter>(*options.exports.csvPath, options.exports.csv);
            writeDiallelCsv(*csv, tables, options.exports.csv.decimalMark);
            files.push_back(&csv->finished());
        }
        if (options.exports.xlsxPath) {
            workbook = std::make_unique<DiallelWorkbook>(*options.exports.xlsxPath);
            files.push_back(&workbook->finished(tables));
        }
        commitTogether(files);
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()
            || std::fflush(stdout) != 0)
            throw Error(std::string(kStreamWriteError));
    }

} // namespace

int runDiallel(const Options &options)
{
    return statusOf([&] { analyse(options); });
}

} // namespace koravel::cli
