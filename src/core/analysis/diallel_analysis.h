// The diallel analysis of the single crosses among lines 1 to n: Griffing's method 4 (crosses
// only, no parents, no reciprocals), fixed model. General (GCA) and specific (SCA) combining
// ability, their analysis of variance on the scale of the means, the standard errors of the
// effects, and on an incomplete table the least-squares fit of the GCA with the estimates of the
// missing crosses.
//
//   table (grid, number of lines, decimal separator) --readCrossTable--> CrossTable
//   CrossTable + error mean square (optional) --analyseDiallel--> DiallelAnalysis
//   DiallelAnalysis --> text (diallel_text.h), CSV and XLSX (diallel_export.h), a window
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "numtext/numtext.h"
#include "prediction/lines_field.h"

namespace koravel {

class CellGrid;

// The single crosses among lines 1 to n as a prediction with reciprocals "Não" reads them: for
// the pair i, j the last row i j or j i, a value of 0 or no row being a missing cross.
struct CrossTable
{
    int lines = 0;
    std::vector<long double> values; // n x n, row by row, symmetric; 0: missing or diagonal
    // The pairs whose two orders are both in the table with different values; the analysis
    // reads the later row, as a prediction with "Não" would.
    int differingPairs = 0;

    long double value(int i, int j) const
    {
        return values[std::size_t(i - 1) * std::size_t(lines) + std::size_t(j - 1)];
    }
};

// The fewest and the most lines an analysis takes.
inline constexpr int kMinDiallelLines = 4;
inline constexpr int kMaxDiallelLines = 1000;

// Reads n from the field and looks up every pair of lines 1 to n through the predictions'
// index. Raises the Error a prediction raises for the field ("'x' is not a valid integer
// value") or a cell, and an Error for n below 4 ("Para a análise dialélica o mínimo são 4
// linhagens") or above 1000.
CrossTable readCrossTable(
    const CellGrid &grid, const LinesField &lines, const FormatSettings &settings);

// The trial's error, typed by the user: the mean square of the error on a plot basis (QMR),
// its degrees of freedom and the number of replications r. The crosses are means of r plots,
// so sigma^2 = QMR / r is the error variance of a cross.
struct ErrorTerm
{
    long double meanSquare = 0;
    std::int64_t degreesOfFreedom = 0;
    std::int64_t replications = 0;
    long double crossVariance() const
    {
        return meanSquare / static_cast<long double>(replications);
    }
};

// Refuses an error term with QMR not above 0 (or not finite), no degree of freedom or no
// replication, with the analysis's messages ("O quadrado médio do resíduo (QMR) deve ser maior
// que zero", Latin-1).
void checkErrorTerm(const ErrorTerm &error);

struct AnovaRow
{
    std::int64_t degreesOfFreedom = 0;
    long double sumOfSquares = 0;
    std::optional<long double> meanSquare; // none with no degree of freedom
    std::optional<long double> f; // only with the error term
    std::optional<long double> p;
};

struct LineEffect
{
    int line = 0;
    int crosses = 0; // crosses present
    std::optional<long double> crossMean; // none when the line has no cross
    std::optional<long double> gca; // none when not estimable
};

struct CrossEffect
{
    int i = 0, j = 0; // i < j
    long double value = 0;
    long double sca = 0; // on an incomplete table, the residual of the fit
};

struct MissingCross
{
    int i = 0, j = 0; // i < j
    std::optional<long double> estimate; // none when not estimable
};

// The square roots of the variances of Griffing's method 4, model I, for sigma^2 = QMR / r:
// Var g_i = (n-1) s2 / (n(n-2)); Var(g_i - g_j) = 2 s2 / (n-2); Var s_ij = (n-3) s2 / (n-1);
// Var(s_ij - s_ik) = 2(n-3) s2 / (n-2); Var(s_ij - s_kl) = 2(n-4) s2 / (n-2). Also t(0.975)
// with the error's degrees of freedom, for least significant differences.
struct StandardErrors
{
    long double gca = 0;
    long double gcaDifference = 0;
    long double sca = 0;
    long double scaDifferenceSharingLine = 0;
    long double scaDifferenceDisjoint = 0;
    long double t975 = 0;
};

struct DiallelAnalysis
{
    int lines = 0;
    int presentCrosses = 0; // of n(n-1)/2
    int differingPairs = 0;
    bool complete = true;
    bool gcaEstimable = true; // false when some group of lines has no odd cycle of crosses
    long double grandMean = 0; // meaningful only when gcaEstimable
    std::vector<LineEffect> lineEffects; // lines 1..n in order
    AnovaRow gca, sca;
    std::optional<ErrorTerm> error;
    std::optional<long double> errorMeanSquare; // sigma^2 = QMR / r, with the error term
    std::optional<StandardErrors> standardErrors; // with the error term, on a complete table
    std::vector<CrossEffect> crosses; // present, in the order (1,2), (1,3), ..., (n-1,n)
    std::vector<MissingCross> missing; // in the same order
};

// Griffing's formulas on a complete table; the additive fit (additive_fit.h) on an incomplete
// one. On the example of 9 lines (examples/griffing56_maize.txt) the grand mean is 246.3556.
// Raises an Error when no cross is present. The error term, when given, must have QMR > 0 and
// at least one degree of freedom and one replication (Error otherwise).
DiallelAnalysis analyseDiallel(const CrossTable &table, const std::optional<ErrorTerm> &error);

} // namespace koravel
