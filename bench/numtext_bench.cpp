// Speed of the number text on report-like values, next to std::to_chars writing the 18
// significant digits that the rounding rules are judged on.
//
//   cmake -S . -B build-bench -DKORAVEL_BENCH=ON -DKORAVEL_GUI=OFF
//   cmake --build build-bench --target numtext_bench
//   build-bench/bench/numtext_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "numtext/numtext.h"

namespace {

constexpr std::size_t kValues = 1 << 14;

// Single-cross values as a breeder types them: whole numbers and two decimals, a few quarters.
double singleCrossValue(std::mt19937_64 &random)
{
    switch (random() % 4) {
    case 0:
        return static_cast<double>(std::uniform_int_distribution<int>(100, 400)(random));
    case 1:
        return static_cast<double>(std::uniform_int_distribution<int>(20, 1600)(random)) / 4.0;
    default:
        return static_cast<double>(std::uniform_int_distribution<int>(10000, 40000)(random))
            / 100.0;
    }
}

struct Values
{
    std::vector<long double> means; // 100 to 400 with many decimals
    std::vector<long double> cvs; // 0 to 30
    std::vector<long double> singleCrosses; // the general-format numbers of a report line
};

// Means and CVs computed the way the predictions do: in extended precision, stored as double.
const Values &values()
{
    static const Values data = [] {
        Values v;
        std::mt19937_64 random(12);
        for (std::size_t i = 0; i < kValues; ++i) {
            long double sum = 0;
            long double squares = 0;
            const int count = random() % 2 ? 4 : 2;
            for (int k = 0; k < count; ++k) {
                const long double x = singleCrossValue(random);
                v.singleCrosses.push_back(x);
                sum += x;
                squares += x * x;
            }
            const double mean = static_cast<double>(sum / count);
            const long double variance = (squares - sum * sum / count) / (count - 1);
            const double cv = static_cast<double>(
                100.0L * std::sqrt(std::fabs(variance)) / static_cast<long double>(mean));
            v.means.push_back(mean);
            v.cvs.push_back(cv);
        }
        v.singleCrosses.resize(kValues);
        return v;
    }();
    return data;
}

const std::vector<long double> &valueSet(int index)
{
    switch (index) {
    case 0:
        return values().means;
    case 1:
        return values().cvs;
    default:
        return values().singleCrosses;
    }
}

void setLabel(benchmark::State &state)
{
    const char *const names[] = { "means", "cvs", "single crosses" };
    state.SetLabel(names[state.range(0)]);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kValues));
}

const koravel::FormatSettings kSettings { '.' };

void BM_FormatFloatThreeDecimals(benchmark::State &state)
{
    const std::vector<long double> &set = valueSet(static_cast<int>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        for (const long double value : set) {
            out.clear();
            koravel::appendFormatFloat(out, koravel::FixedPattern::ThreeDecimals, value, kSettings);
            benchmark::DoNotOptimize(out.data());
        }
    }
    setLabel(state);
}

void BM_FormatFloatOneDecimal(benchmark::State &state)
{
    const std::vector<long double> &set = valueSet(static_cast<int>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        for (const long double value : set) {
            out.clear();
            koravel::appendFormatFloat(out, koravel::FixedPattern::OneDecimal, value, kSettings);
            benchmark::DoNotOptimize(out.data());
        }
    }
    setLabel(state);
}

void BM_FloatToStr(benchmark::State &state)
{
    const std::vector<long double> &set = valueSet(static_cast<int>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        for (const long double value : set) {
            out.clear();
            koravel::appendFloatToStr(out, value, kSettings);
            benchmark::DoNotOptimize(out.data());
        }
    }
    setLabel(state);
}

// The yardstick: 18 significant digits of the same values, as doubles.
void BM_ToCharsDouble18Digits(benchmark::State &state)
{
    const std::vector<long double> &set = valueSet(static_cast<int>(state.range(0)));
    char buffer[64];
    for (auto _ : state) {
        for (const long double value : set) {
            const auto result = std::to_chars(buffer, buffer + sizeof buffer,
                static_cast<double>(value), std::chars_format::scientific, 17);
            benchmark::DoNotOptimize(result.ptr);
            benchmark::DoNotOptimize(buffer);
        }
    }
    setLabel(state);
}

// The exact path's own step: 18 significant digits of the extended value.
void BM_ToCharsExtended18Digits(benchmark::State &state)
{
    const std::vector<long double> &set = valueSet(static_cast<int>(state.range(0)));
    char buffer[64];
    for (auto _ : state) {
        for (const long double value : set) {
            const auto result = std::to_chars(
                buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 17);
            benchmark::DoNotOptimize(result.ptr);
            benchmark::DoNotOptimize(buffer);
        }
    }
    setLabel(state);
}

void BM_StrToFloat(benchmark::State &state)
{
    std::vector<std::string> texts;
    for (const long double value : values().singleCrosses)
        texts.push_back(koravel::floatToStr(value, kSettings));
    for (auto _ : state) {
        for (const std::string &text : texts)
            benchmark::DoNotOptimize(koravel::strToFloat(text, kSettings));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void BM_StrToInt(benchmark::State &state)
{
    std::vector<std::string> texts;
    for (int i = 1; i <= static_cast<int>(kValues); ++i)
        texts.push_back(koravel::intToStr(i % 300 + 1));
    for (auto _ : state) {
        for (const std::string &text : texts)
            benchmark::DoNotOptimize(koravel::strToInt(text));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

} // namespace

BENCHMARK(BM_FormatFloatThreeDecimals)->Arg(0);
BENCHMARK(BM_ToCharsDouble18Digits)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_FormatFloatOneDecimal)->Arg(1);
BENCHMARK(BM_FloatToStr)->Arg(2)->Arg(0);
BENCHMARK(BM_ToCharsExtended18Digits)->Arg(0);
BENCHMARK(BM_StrToFloat);
BENCHMARK(BM_StrToInt);

BENCHMARK_MAIN();
