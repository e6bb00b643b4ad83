// The work of koravel-cli: the window's import and prediction, written out as a stream.
#include "commands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>

#include "export/best_candidates.h"
#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "export/ranking.h"
#include "table/cell_grid.h"
#include "prediction/counts.h"
#include "numtext/error.h"
#include "exporting_report.h"
#include "table/import.h"
#include "numtext/locale_settings.h"
#include "prediction/prediction.h"
#include "progress.h"
#include "ranking_extras.h"
#include "report_output.h"
#include "report/replacing_file.h"
#include "report/report_line.h"
#include "report/size_limits.h"
#include "stream_report.h"
#include "terminal_messages.h"

namespace koravel::cli {

namespace {

    // The import's dialog always "chooses" the file named on the command line.
    class CommandLineImport final : public ImportControls
    {
    public:
        explicit CommandLineImport(std::string path)
            : m_path(std::move(path))
        {
        }
        std::optional<std::string> chooseFile() override { return m_path; }
        void setLineBuffer(std::string) override { } // nothing shows the text here
        void enablePredictions() override { }
        void information(const std::string &message) override { printLine(terminalText(message)); }

    private:
        std::string m_path;
    };

    FormatSettings settingsFor(const Options &options)
    {
        return FormatSettings { options.decimalSeparator.value_or(systemDecimalSeparator()) };
    }

    // The candidate lines the prediction will write, at most the largest size_t; 0 when the
    // number of lines is no integer, which the prediction then refuses itself.
    std::size_t candidateCount(HybridKind kind, const LinesField &lines)
    {
        const auto n = lines.tryCount();
        if (!n)
            return 0;
        const ReportCount candidates = reportSize(kind, *n).lines - 8;
        return std::size_t(std::min<ReportCount>(candidates, SIZE_MAX));
    }

    // --no-report: the ranking found without the report, so the report's limits do not apply;
    // the ranking's do, before the import, and its files are made before the search.
    void rankWithoutReport(const Options &options, HybridKind kind)
    {
        const RankingOptions &rankingOptions = *options.exports.ranking;
        const std::size_t candidates = candidateCount(kind, options.linesText);
        Ranking::checkMemory(rankingOptions, candidates, availableMemory());
        const auto n = LinesField(options.linesText).tryCount();
        if (options.exports.xlsxPath)
            checkRankingSheet(kind, std::min(rankingOptions.top, candidates),
                n ? std::size_t(std::max(*n, 0)) : SIZE_MAX);

        RankingExtras extras(options);
        CellGrid grid;
        ProgressBar progress;
        CommandLineImport import(options.dataFile);
        importDataFile(import, grid, progress);
        const PredictionInput input { grid, options.linesText, options.reciprocals,
            settingsFor(options) };
        std::unique_ptr<CandidateWorkbook> workbook;
        if (options.exports.xlsxPath)
            workbook = std::make_unique<CandidateWorkbook>(
                *options.exports.xlsxPath, kind, candidates, true, false);
        std::unique_ptr<CsvWriter> csv;
        if (options.exports.rankingPath)
            csv = std::make_unique<CsvWriter>(*options.exports.rankingPath, options.exports.csv);
        TerminalMessages messages;
        RankingResult ranking = extras.estimating()
            ? rankWholeRun(input, kind, rankingOptions, extras, messages)
            : rankBestCandidates(input, kind, rankingOptions, &messages);
        extras.complete(ranking, input);
        std::vector<ReplacingFile *> files;
        if (workbook)
            files.push_back(&workbook->finished(&ranking));
        if (csv) {
            csv->ranking(ranking);
            files.push_back(&csv->finished());
        }
        commitTogether(files);
    }

    void streamPrediction(const Options &options)
    {
        const HybridKind hybridKind = options.command == Command::DoubleCrosses
            ? HybridKind::DoubleCross
            : HybridKind::ThreeWayCross;
        if (options.noReport) {
            rankWithoutReport(options, hybridKind);
            return;
        }
        const std::size_t candidates = candidateCount(hybridKind, options.linesText);
        // A workbook too small for the report is refused before the import and the prediction.
        if (options.exports.xlsxPath && candidates > kMaxSheetRows)
            throw Error(tooManyRowsMessage(candidates));
        // So is a ranking that could not be held.
        if (options.exports.ranking)
            Ranking::checkMemory(*options.exports.ranking, candidates, availableMemory());

        std::optional<RankingExtras> extras;
        if (options.exports.ranking)
            extras.emplace(options);
        CellGrid grid;
        ProgressBar progress;
        importFromCommandLine(options.dataFile, grid, progress);

        const PredictionInput input { grid, options.linesText, options.reciprocals,
            settingsFor(options) };
        const bool doubleCrosses = options.command == Command::DoubleCrosses;

        // Standard output cannot be taken back: a first run that writes no line raises any
        // error the prediction would meet, and tells the information messages, before a byte
        // is written. A file needs no such run: it replaces the target only once complete.
        // Only a report that could not be written is refused, before a line is worked out: one
        // whose lines cannot be counted, or a file larger than the free space beside it.
        const HybridKind kind = doubleCrosses ? HybridKind::DoubleCross : HybridKind::ThreeWayCross;
        TerminalMessages messages;
        std::unique_ptr<ReportOutput> output;
        if (options.outputPath) {
            output = std::make_unique<ReportOutput>(*options.outputPath);
            checkStreamedReport(
                kind, input.lines, output->freeBytes(), output->shownPath());
        } else {
            checkStreamedReport(
                kind, input.lines, standardOutputFreeBytes(), standardOutputName());
            if (doubleCrosses)
                checkDoubleCrosses(input, &messages);
            else
                checkThreeWayCrosses(input, &messages);
            output = std::make_unique<ReportOutput>();
        }
        StreamReport report(*output, options.cleanUp);
        ReportLineWriter lines(report, input.settings);
        // The ranking and the spreadsheets take the records on their way to the report.
        std::optional<ExportingReport> exports;
        if (options.exports.any())
            exports.emplace(
                lines, options.exports, hybridKind, input, candidates, options.cleanUp);
        if (exports && extras)
            exports->setRankingExtras(&*extras);
        CandidateSink &sink = exports ? static_cast<CandidateSink &>(*exports) : lines;
        TerminalMessages alreadyTold(true);
        MessageSink &runMessages =
            options.outputPath ? static_cast<MessageSink &>(messages) : alreadyTold;
        if (doubleCrosses)
            predictDoubleCrosses(input, sink, progress, runMessages);
        else
            predictThreeWayCrosses(input, sink, progress, runMessages);
        report.finish();
        // Every output is replaced once the last byte of all is written, all or none.
        std::vector<ReplacingFile *> files;
        if (exports)
            files = exports->finish();
        if (ReplacingFile *file = output->file())
            files.push_back(file);
        commitTogether(files);
    }

} // namespace

void importFromCommandLine(const std::string &path, CellGrid &grid, ProgressBar &progress)
{
    CommandLineImport import(path);
    importDataFile(import, grid, progress);
}

int statusOf(const std::function<void()> &work)
{
    try {
        work();
        return 0;
    } catch (const Error &error) {
        printError(error.message());
    } catch (const std::bad_alloc &) {
        printError("Out of memory");
    }
    return 1;
}

int runPrediction(const Options &options)
{
    return statusOf([&] { streamPrediction(options); });
}

int runCounts(const Options &options)
{
    try {
        const HybridCounts counts = hybridCounts(options.linesText, settingsFor(options));
        const std::string text = "HD possíveis: " + counts.doubleCrosses
            + "\nHT possíveis: " + counts.threeWayCrosses + "\n";
        const bool written = writeText(stdout, text);
        if (written && std::fflush(stdout) == 0)
            return 0;
        printError(kStreamWriteError);
    } catch (const Error &error) {
        printError(error.message());
    }
    return 1;
}

} // namespace koravel::cli
