// A complete diallel of 1,000 lines (499,500 single crosses, each pair once, two decimals): the
// import of its data file into the table, the lookup index over the table with every pair looked
// up, and the check a double-cross run makes before it writes its first line.
//   cmake -S . -B build-bench -DKORAVEL_BENCH=ON -DKORAVEL_GUI=OFF
//   cmake --build build-bench --target large_table_bench && build-bench/bench/large_table_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "fixtures.h"
#include "prediction/prediction.h"
#include "prediction/single_cross_index.h"

namespace {

using namespace koravel;

constexpr int kLines = 1000;

const std::string &dataFile()
{
    static const test::TempDir dir;
    static const std::string path = [] {
        std::mt19937 random(2026);
        std::uniform_int_distribution<int> hundredths(300, 1200);
        std::string text = test::everyPair(kLines, [&](int a, int b) {
            const int value = hundredths(random);
            char line[48];
            std::snprintf(line, sizeof line, "%d %d %d.%02d", a, b, value / 100, value % 100);
            return std::string(line);
        });
        return dir.file("diallel1000.txt", text);
    }();
    return path;
}

CellGrid imported()
{
    CellGrid grid;
    test::FakeImportControls controls;
    controls.chosen = dataFile();
    ProgressBar progress;
    importDataFile(controls, grid, progress);
    return grid;
}

void BM_Import(benchmark::State &state)
{
    dataFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(imported());
}

void BM_IndexEveryPair(benchmark::State &state)
{
    const CellGrid grid = imported();
    for (auto _ : state) {
        const SingleCrossIndex index(grid, Reciprocals::Either, FormatSettings { '.' });
        double sum = 0;
        for (int a = 1; a <= kLines; ++a)
            for (int b = 1; b <= kLines; ++b)
                sum += index.lookup(a, b).value;
        benchmark::DoNotOptimize(sum);
    }
}

void BM_CheckDoubleCrosses(benchmark::State &state)
{
    const CellGrid grid = imported();
    const PredictionInput input { grid, std::to_string(kLines), Reciprocals::Either,
        FormatSettings { '.' } };
    for (auto _ : state)
        checkDoubleCrosses(input);
}

} // namespace

BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IndexEveryPair)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckDoubleCrosses)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
