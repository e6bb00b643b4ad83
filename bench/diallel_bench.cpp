// The diallel analysis of n lines with 30 % of the single crosses missing: the whole analysis
// from the table (lookups, fit, ANOVA) and the least-squares fit alone, for n = 100 and 1000.
//   cmake -S . -B build-bench -DKORAVEL_BENCH=ON -DKORAVEL_GUI=OFF
//   cmake --build build-bench --target diallel_bench && build-bench/bench/diallel_bench
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "analysis/additive_fit.h"
#include "analysis/diallel_analysis.h"
#include "table/cell_grid.h"

namespace {

using namespace koravel;

// Every pair i < j once, 30 % of them left out, values like 7.42.
CellGrid incompleteDiallel(int n)
{
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> hundredths(500, 1000);
    std::bernoulli_distribution missing(0.3);
    CellGrid grid;
    grid.setRowCount(n * (n - 1) / 2 + 1);
    int row = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            if (missing(random))
                continue;
            ++row;
            const int value = hundredths(random);
            grid.setCell(1, row, std::to_string(i));
            grid.setCell(2, row, std::to_string(j));
            grid.setCell(3, row,
                std::to_string(value / 100) + (value % 100 < 10 ? ".0" : ".")
                    + std::to_string(value % 100));
        }
    grid.setRowCount(row + 1);
    return grid;
}

void wholeAnalysis(benchmark::State &state)
{
    const int n = int(state.range(0));
    const CellGrid grid = incompleteDiallel(n);
    const std::string lines = std::to_string(n);
    for (auto _ : state) {
        const DiallelAnalysis analysis =
            analyseDiallel(readCrossTable(grid, lines, { '.' }), ErrorTerm { 1.5L, 200, 4 });
        benchmark::DoNotOptimize(analysis.grandMean);
    }
}

void fitAlone(benchmark::State &state)
{
    const int n = int(state.range(0));
    const CrossTable table = readCrossTable(incompleteDiallel(n), std::to_string(n), { '.' });
    for (auto _ : state) {
        const AdditiveFit fit(n, table.values);
        benchmark::DoNotOptimize(fit.mean());
    }
}

} // namespace

BENCHMARK(wholeAnalysis)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(fitAlone)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
