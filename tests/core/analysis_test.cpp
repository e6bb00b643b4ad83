// The diallel analysis: the F and t distributions against closed forms and tables, Griffing's
// method 4 on his maize data against plain sums, the standard errors against the weights of
// the estimates, and the fit of missing crosses against a dense least-squares solve.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

#include "analysis/additive_fit.h"
#include "analysis/diallel_analysis.h"
#include "analysis/distributions.h"
#include "analysis/line_names.h"
#include "error_of.h"
#include "table/data_file.h"
#include "fixtures.h"

namespace koravel {
namespace {

    using test::Row;

    TEST(Distributions, MatchClosedFormsAndTables)
    {
        const long double pi = std::acos(-1.0L);
        const struct
        {
            const char *name;
            long double computed, expected, relative;
        } cases[] = {
            // P(F > f) with 2 numerator degrees of freedom is (d2 / (d2 + 2f))^(d2 / 2).
            { "F 2,10", fUpperTail(3, 2, 10), std::pow(10.0L / 16, 5), 1e-15L },
            { "F 2,20 far tail", fUpperTail(60, 2, 20), std::pow(1.0L / 7, 10), 1e-13L },
            // With 2 denominator degrees of freedom it is 1 - (d1 f / (2 + d1 f))^(d1 / 2).
            { "F 6,2", fUpperTail(4, 6, 2), 1 - std::pow(24.0L / 26, 3), 1e-15L },
            { "F 3,10 at its 5 % point", fUpperTail(3.708264819L, 3, 10), 0.05L, 1e-7L },
            { "F 1,10 is t squared", fUpperTail(std::pow(2.228138852L, 2), 1, 10), 0.05L, 1e-7L },
            // t with 1 degree of freedom is tan(pi (p - 1/2)); with 2, (2p - 1) / sqrt(2p(1 - p)).
            { "t 1", studentTQuantile(0.975L, 1), std::tan(pi * 0.475L), 1e-13L },
            { "t 2", studentTQuantile(0.975L, 2), 0.95L / std::sqrt(0.04875L), 1e-13L },
            { "t 10", studentTQuantile(0.975L, 10), 2.228138852L, 1e-9L },
            { "t 30", studentTQuantile(0.975L, 30), 2.042272456L, 1e-9L },
            { "t 120", studentTQuantile(0.975L, 120), 1.979930405L, 1e-9L },
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_NEAR(double(c.computed / c.expected), 1.0, double(c.relative));
        }
    }

    struct Crosses
    {
        int n;
        std::vector<long double> x; // n x n, 0 missing
        long double &at(int i, int j) { return x[std::size_t((i - 1) * n + j - 1)]; }
        void set(int i, int j, long double value) { at(i, j) = at(j, i) = value; }
        CrossTable table() const { return { n, x, 0 }; }
    };

    Crosses griffingMaize()
    {
        Crosses c { 9, std::vector<long double>(81, 0.0L) };
        std::ifstream in(test::example("griffing56_maize.txt"));
        int i, j;
        long double value;
        while (in >> i >> j >> value)
            c.set(i, j, value);
        return c;
    }

    TEST(DiallelAnalysis, GriffingsMaizeAgreesWithPlainSums)
    {
        Crosses c = griffingMaize();
        const int n = c.n;
        long double total = 0, squares = 0;
        std::vector<long double> lineSums(std::size_t(n) + 1, 0.0L);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                lineSums[std::size_t(i)] += c.at(i, j);
                total += i < j ? c.at(i, j) : 0;
                squares += i < j ? c.at(i, j) * c.at(i, j) : 0;
            }
        const long double pairs = n * (n - 1) / 2.0L, mean = total / pairs;
        const DiallelAnalysis a = analyseDiallel(c.table(), std::nullopt);
        EXPECT_TRUE(a.complete);
        EXPECT_NEAR(double(a.grandMean), double(mean), 1e-12);
        EXPECT_NEAR(double(mean), 246.3555556, 1e-6); // the sum of the file's 36 values / 36
        std::vector<long double> g(std::size_t(n) + 1);
        for (int i = 1; i <= n; ++i) {
            g[std::size_t(i)] = (n * lineSums[std::size_t(i)] - 2 * total) / (n * (n - 2.0L));
            EXPECT_NEAR(
                double(*a.lineEffects[std::size_t(i - 1)].gca), double(g[std::size_t(i)]), 1e-12);
            EXPECT_NEAR(double(*a.lineEffects[std::size_t(i - 1)].crossMean),
                double(lineSums[std::size_t(i)] / (n - 1)), 1e-12);
        }
        // s_ij is what the model leaves: x - m - g_i - g_j.
        long double residual = 0;
        ASSERT_EQ(a.crosses.size(), 36u);
        for (const CrossEffect &cross : a.crosses) {
            const long double s =
                c.at(cross.i, cross.j) - mean - g[std::size_t(cross.i)] - g[std::size_t(cross.j)];
            EXPECT_NEAR(double(cross.sca), double(s), 1e-11);
            residual += s * s;
        }
        EXPECT_EQ(a.gca.degreesOfFreedom, 8);
        EXPECT_EQ(a.sca.degreesOfFreedom, 27);
        EXPECT_NEAR(double(a.sca.sumOfSquares), double(residual), 1e-8);
        EXPECT_NEAR(double(a.gca.sumOfSquares), double(squares - total * mean - residual), 1e-8);
        EXPECT_FALSE(a.gca.f || a.standardErrors);
    }

    // Every estimate is linear in the crosses: its weights are what a unit more in one cross
    // changes, and its variance is sigma^2 times the sum of their squares.
    TEST(DiallelAnalysis, StandardErrorsAreThoseOfTheEstimatesWeights)
    {
        const ErrorTerm error { 270, 40, 6 };
        Crosses c = griffingMaize();
        const DiallelAnalysis base = analyseDiallel(c.table(), error);
        const auto scaOf = [](const DiallelAnalysis &a, int i, int j) {
            for (const CrossEffect &cross : a.crosses)
                if (cross.i == i && cross.j == j)
                    return cross.sca;
            return 0.0L;
        };
        const auto gcaOf = [](const DiallelAnalysis &a, int i) {
            return *a.lineEffects[std::size_t(i - 1)].gca;
        };
        long double sums[5] = {};
        for (int k = 1; k <= c.n; ++k)
            for (int l = k + 1; l <= c.n; ++l) {
                Crosses bumped = c;
                bumped.set(k, l, c.at(k, l) + 1);
                const DiallelAnalysis a = analyseDiallel(bumped.table(), error);
                const long double w[5] = { gcaOf(a, 1) - gcaOf(base, 1),
                    gcaOf(a, 1) - gcaOf(a, 2) - gcaOf(base, 1) + gcaOf(base, 2),
                    scaOf(a, 1, 2) - scaOf(base, 1, 2),
                    scaOf(a, 1, 2) - scaOf(a, 1, 3) - scaOf(base, 1, 2) + scaOf(base, 1, 3),
                    scaOf(a, 1, 2) - scaOf(a, 3, 4) - scaOf(base, 1, 2) + scaOf(base, 3, 4) };
                for (int m = 0; m < 5; ++m)
                    sums[m] += w[m] * w[m];
            }
        const StandardErrors &se = *base.standardErrors;
        const long double shown[5] = { se.gca, se.gcaDifference, se.sca,
            se.scaDifferenceSharingLine, se.scaDifferenceDisjoint };
        for (int m = 0; m < 5; ++m) {
            SCOPED_TRACE(m);
            EXPECT_NEAR(double(shown[m] * shown[m]), double(sums[m] * 270 / 6), 1e-9);
        }
        EXPECT_NEAR(double(se.t975), 2.021075390, 1e-8); // t(0.975) with 40 degrees of freedom
        EXPECT_NEAR(double(*base.errorMeanSquare), 45.0, 1e-15);
    }

    TEST(DiallelAnalysis, IncompleteTablesByHand)
    {
        // Exactly additive crosses: the estimates are the additive values, the residuals 0.
        Crosses four { 4, std::vector<long double>(16, 0.0L) };
        const long double h[] = { 0, 4, 6, 8, 9 };
        for (const auto &[i, j] : { std::pair { 1, 2 }, { 1, 3 }, { 2, 3 }, { 1, 4 }, { 2, 4 } })
            four.set(i, j, h[i] + h[j]);
        // Two heterotic groups {1,2,3} x {4,5,6} crossed only with each other, 1 x 4 missing too.
        Crosses groups { 6, std::vector<long double>(36, 0.0L) };
        for (int i = 1; i <= 3; ++i)
            for (int j = 4; j <= 6; ++j)
                groups.set(i, j, i + 10.0L * (j - 3));
        groups.set(1, 4, 0);
        const struct
        {
            const char *name;
            Crosses crosses;
            std::int64_t dfGca, dfSca;
            std::vector<std::optional<long double>> estimates; // of the missing crosses in order
            bool gcaEstimable;
        } cases[] = {
            { "four", four, 3, 1, { 17.0L }, true },
            { "groups", groups, 4, 3,
                { std::nullopt, std::nullopt, 11.0L, std::nullopt, std::nullopt, std::nullopt,
                    std::nullopt },
                false },
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            const DiallelAnalysis a = analyseDiallel(c.crosses.table(), std::nullopt);
            EXPECT_FALSE(a.complete);
            EXPECT_EQ(a.gca.degreesOfFreedom, c.dfGca);
            EXPECT_EQ(a.sca.degreesOfFreedom, c.dfSca);
            EXPECT_EQ(a.gcaEstimable, c.gcaEstimable);
            EXPECT_NEAR(double(a.sca.sumOfSquares), 0.0, 1e-12);
            ASSERT_EQ(a.missing.size(), c.estimates.size());
            for (std::size_t m = 0; m < c.estimates.size(); ++m) {
                // -1 stands for "not estimable"; no estimate here is negative.
                EXPECT_NEAR(double(a.missing[m].estimate.value_or(-1)),
                    double(c.estimates[m].value_or(-1)), 1e-12)
                    << m;
            }
        }
    }

    // mu + g_i + g_j by least squares over the crosses present, with the penalty (sum of g)^2
    // that sets the sum to 0 without moving the fit: Gaussian elimination on the n + 1 normal
    // equations of (mu, g_1..g_n).
    std::vector<long double> denseLeastSquares(const Crosses &c)
    {
        const std::size_t m = std::size_t(c.n) + 1;
        std::vector<std::vector<long double>> a(m, std::vector<long double>(m + 1, 0.0L));
        for (int i = 1; i <= c.n; ++i)
            for (int j = i + 1; j <= c.n; ++j) {
                const long double y = c.x[std::size_t((i - 1) * c.n + j - 1)];
                if (y == 0)
                    continue;
                const std::size_t row[3] = { 0, std::size_t(i), std::size_t(j) };
                for (const std::size_t r : row) {
                    for (const std::size_t s : row)
                        a[r][s] += 1;
                    a[r][m] += y;
                }
            }
        for (std::size_t r = 1; r < m; ++r)
            for (std::size_t s = 1; s < m; ++s)
                a[r][s] += 1;
        for (std::size_t k = 0; k < m; ++k) {
            std::size_t pivot = k;
            for (std::size_t r = k + 1; r < m; ++r)
                if (std::fabs(a[r][k]) > std::fabs(a[pivot][k]))
                    pivot = r;
            std::swap(a[k], a[pivot]);
            for (std::size_t r = 0; r < m; ++r)
                if (r != k) {
                    const long double factor = a[r][k] / a[k][k];
                    for (std::size_t s = k; s <= m; ++s)
                        a[r][s] -= factor * a[k][s];
                }
        }
        std::vector<long double> beta(m);
        for (std::size_t k = 0; k < m; ++k)
            beta[k] = a[k][m] / a[k][k];
        return beta;
    }

    TEST(DiallelAnalysis, MissingCrossesAgreeWithDenseLeastSquares)
    {
        std::mt19937 random(20261207);
        for (int n = 5; n <= 40; n += 5) {
            SCOPED_TRACE(n);
            Crosses c { n, std::vector<long double>(std::size_t(n * n), 0.0L) };
            std::vector<std::pair<int, int>> pairs;
            for (int i = 1; i <= n; ++i)
                for (int j = i + 1; j <= n; ++j) {
                    c.set(i, j, 3 + std::uniform_real_distribution<double>(0, 9)(random));
                    pairs.emplace_back(i, j);
                }
            std::shuffle(pairs.begin(), pairs.end(), random);
            const std::size_t missing =
                pairs.size() / 3; // a third, the most the fit is asked to bear
            for (std::size_t k = 0; k < missing; ++k)
                c.set(pairs[k].first, pairs[k].second, 0);
            const std::vector<long double> beta = denseLeastSquares(c);
            const DiallelAnalysis a = analyseDiallel(c.table(), std::nullopt);
            ASSERT_EQ(a.missing.size(), missing);
            EXPECT_NEAR(double(a.grandMean), double(beta[0]), 1e-10);
            for (int i = 1; i <= n; ++i)
                EXPECT_NEAR(double(*a.lineEffects[std::size_t(i - 1)].gca),
                    double(beta[std::size_t(i)]), 1e-10);
            for (const MissingCross &cross : a.missing)
                EXPECT_NEAR(double(cross.estimate.value_or(-1)),
                    double(beta[0] + beta[std::size_t(cross.i)] + beta[std::size_t(cross.j)]),
                    1e-10);
            long double residual = 0;
            for (const CrossEffect &cross : a.crosses)
                residual += std::pow(
                    cross.value - beta[0] - beta[std::size_t(cross.i)] - beta[std::size_t(cross.j)],
                    2);
            EXPECT_NEAR(double(a.sca.sumOfSquares / residual), 1.0, 1e-12);
            EXPECT_EQ(a.sca.degreesOfFreedom, std::int64_t(pairs.size() - missing) - n);
        }
    }

    TEST(DiallelAnalysis, ReadsTheTableAsAPredictionWithoutReciprocals)
    {
        // 1 x 2 twice with different values, the later one read; 1 x 3 in both orders alike;
        // 2 x 3 with 0 and 2 x 4 with no row are missing.
        const CellGrid grid =
            test::gridOf({ { "1", "2", "5" }, { "2", "1", "7,5" }, { "1", "3", "4" },
                { "3", "1", "4" }, { "2", "3", "0" }, { "1", "4", "6" }, { "4", "3", "2" } });
        const CrossTable table = readCrossTable(grid, "4", { ',' });
        EXPECT_EQ(table.differingPairs, 1);
        EXPECT_EQ(table.value(1, 2), 7.5L);
        EXPECT_EQ(table.value(2, 1), 7.5L);
        EXPECT_EQ(table.value(3, 4), 2.0L);
        EXPECT_EQ(table.value(2, 3), 0.0L);
        EXPECT_EQ(table.value(2, 4), 0.0L);

        const struct
        {
            const char *lines;
            std::optional<ErrorTerm> error;
            std::string message;
        } refusals[] = {
            { "3", std::nullopt, "Para a an\xE1lise dial\xE9lica o m\xEDnimo s\xE3o 4 linhagens" },
            { "1001", std::nullopt,
                "A an\xE1lise dial\xE9lica aceita no m\xE1ximo 1000 linhagens (pedidas: 1001)" },
            { "x", std::nullopt, "'x' is not a valid integer value" },
            { "4", ErrorTerm { 0, 10, 2 },
                "O quadrado m\xE9"
                "dio do res\xED"
                "duo (QMR) deve ser maior que zero" },
            { "4", ErrorTerm { 1, 10, 0 },
                "O n\xFAmero de repeti\xE7\xF5"
                "es deve ser pelo menos 1" },
        };
        for (const auto &r : refusals) {
            SCOPED_TRACE(r.message);
            EXPECT_EQ(
                errorOf([&] { analyseDiallel(readCrossTable(grid, r.lines, { ',' }), r.error); }),
                r.message);
        }
    }

    TEST(LineNames, ReadAsDataFilesAreRead)
    {
        // The file is named as the system spells it in full ("Z:\\d\\nomes.txt" on Windows).
        const std::string where = "Arquivo de nomes \"" + fullPath("/d/nomes.txt") + "\", linha ";
        const struct
        {
            const char *name;
            std::string bytes;
            std::string expected; // names 1 to 3 joined by "|", or the error
        } cases[] = {
            { "blanks and line ends", "1 B73\r\n\n  2\tMo 17 \r3 x\n", "B73|Mo 17|x" },
            { "UTF-8 with its mark",
                "\xEF\xBB\xBF"
                "3 A\xC3\xA7u\n1 L-23",
                "L-23||A\xE7u" },
            { "single-byte", "3 A\xE7u\n", "||A\xE7u" },
            { "hexadecimal as the data", "$2 B\n", "|B|" },
            { "no number", "1 B73\nB73\n",
                where + "2: 'B73' n\xE3o \xE9 um n\xFAmero de linhagem" },
            { "zero", "0 B73\n", where + "1: '0' n\xE3o \xE9 um n\xFAmero de linhagem" },
            { "no name", "4 \n", where + "1: falta o nome da linhagem 4" },
            { "twice", "1 B73\n1 Mo17\n", where + "2: a linhagem 1 j\xE1 tem nome" },
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            std::string got;
            try {
                const LineNames names = LineNames::parse(c.bytes, "/d/nomes.txt");
                got = std::string(names.name(1)) + "|" + std::string(names.name(2)) + "|"
                    + std::string(names.name(3));
            } catch (const Error &error) {
                got = error.message();
            }
            EXPECT_EQ(got, c.expected);
        }
    }

} // namespace
} // namespace koravel
