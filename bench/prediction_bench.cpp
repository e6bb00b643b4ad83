// The double-cross prediction of 24 lines (31,878 candidates) over a complete diallel: the
// index against the literal scan of the table, both writing the whole report to memory.
//   cmake -S . -B build-bench -DKORAVEL_BENCH=ON -DKORAVEL_GUI=OFF
//   cmake --build build-bench --target prediction_bench && build-bench/bench/prediction_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "table/cell_grid.h"
#include "literal_scan.h"
#include "prediction/prediction.h"
#include "report/report_line.h"
#include "progress.h"

namespace {

using namespace koravel;

constexpr int kLines = 24;

// Every ordered pair i x j of 24 lines (reciprocals distinct: 552 rows), or every pair i < j
// once (276 rows, read in either order), with values like 4.37.
CellGrid diallel(bool withReciprocals)
{
    std::mt19937 random(2008);
    std::uniform_int_distribution<int> hundredths(300, 900);
    CellGrid grid;
    int row = 0;
    grid.setRowCount(kLines * (kLines - 1) + 1);
    for (int a = 1; a <= kLines; ++a) {
        for (int b = 1; b <= kLines; ++b) {
            if (a == b || (!withReciprocals && b < a))
                continue;
            ++row;
            const int value = hundredths(random);
            grid.setCell(1, row, std::to_string(a));
            grid.setCell(2, row, std::to_string(b));
            grid.setCell(3, row,
                std::to_string(value / 100) + "." + std::to_string(value / 10 % 10)
                    + std::to_string(value % 10));
        }
    }
    grid.setRowCount(row + 1);
    return grid;
}

class MemoryReport : public ReportSink
{
public:
    MemoryReport() { text.reserve(3 << 20); }
    void clear() override { text.clear(); }
    void appendLine(std::string_view line) override
    {
        text += line;
        text += "\r\n";
    }
    std::string text;
};

class NoMessages : public MessageSink
{
public:
    void information(const std::string &) override { }
};

enum class Source { Index, LiteralScan };

std::string report(const CellGrid &grid, Reciprocals reciprocals, Source method)
{
    MemoryReport sink;
    ReportLineWriter writer(sink, {});
    ProgressBar progress;
    NoMessages messages;
    const PredictionInput input { grid, "24", reciprocals, {} };
    reference::LiteralScan literal(grid, reciprocals, {});
    predictDoubleCrosses(input, writer, progress, messages,
        method == Source::LiteralScan ? &literal : nullptr);
    return sink.text;
}

struct Setup
{
    const char *name;
    bool withReciprocals;
    Reciprocals reciprocals;
};

const Setup kSetups[] = {
    { "complete diallel, reciprocals distinct (552 rows)", true, Reciprocals::Distinct },
    { "half diallel, either order (276 rows)", false, Reciprocals::Either },
};

void predictionBenchmark(benchmark::State &state, Source method)
{
    const Setup &setup = kSetups[state.range(0)];
    const CellGrid grid = diallel(setup.withReciprocals);
    MemoryReport sink;
    ReportLineWriter writer(sink, {});
    ProgressBar progress;
    NoMessages messages;
    const PredictionInput input { grid, "24", setup.reciprocals, {} };
    reference::LiteralScan literal(grid, setup.reciprocals, {});
    CrossSource *source = method == Source::LiteralScan ? &literal : nullptr;
    for (auto _ : state) {
        predictDoubleCrosses(input, writer, progress, messages, source);
        benchmark::DoNotOptimize(sink.text.data());
    }
    state.SetLabel(setup.name);
    state.counters["lines"] = double(std::count(sink.text.begin(), sink.text.end(), '\n'));
}

void BM_DoubleCrossesIndexed(benchmark::State &state)
{
    predictionBenchmark(state, Source::Index);
}

void BM_DoubleCrossesLiteralScan(benchmark::State &state)
{
    predictionBenchmark(state, Source::LiteralScan);
}

BENCHMARK(BM_DoubleCrossesIndexed)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DoubleCrossesLiteralScan)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    // The speed of the index counts only if it writes the very same report.
    for (const Setup &setup : kSetups) {
        const CellGrid grid = diallel(setup.withReciprocals);
        const std::string indexed = report(grid, setup.reciprocals, Source::Index);
        const std::string scanned = report(grid, setup.reciprocals, Source::LiteralScan);
        if (indexed != scanned || indexed.empty()) {
            std::fprintf(stderr, "the reports differ (%s)\n", setup.name);
            return 1;
        }
        std::fprintf(
            stderr, "%s: both reports are the same %zu bytes\n", setup.name, indexed.size());
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
