// Griffing's method 4, fixed model, and the additive fit of an incomplete diallel.
#include "analysis/diallel_analysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/additive_fit.h"
#include "analysis/distributions.h"
#include "numtext/error.h"
#include "prediction/lines_field.h"
#include "prediction/single_cross_index.h"

namespace koravel {

namespace {

    std::string tooFewLinesMessage()
    {
        return "Para a an\xE1lise dial\xE9lica o m\xEDnimo s\xE3o " + intToStr(kMinDiallelLines)
            + " linhagens";
    }

    std::string tooManyLinesMessage(std::int64_t lines)
    {
        return "A an\xE1lise dial\xE9lica aceita no m\xE1ximo " + intToStr(kMaxDiallelLines)
            + " linhagens (pedidas: " + intToStr(lines) + ")";
    }

    // The mean square, and with the error term F and its p value.
    void completeRow(
        AnovaRow &row, const std::optional<long double> &errorMeanSquare, std::int64_t errorDegrees)
    {
        if (row.degreesOfFreedom > 0)
            row.meanSquare = row.sumOfSquares / static_cast<long double>(row.degreesOfFreedom);
        if (row.meanSquare && errorMeanSquare) {
            row.f = *row.meanSquare / *errorMeanSquare;
            row.p = fUpperTail(*row.f, static_cast<long double>(row.degreesOfFreedom),
                static_cast<long double>(errorDegrees));
        }
    }

    // Griffing (1956), method 4, model I, with X_i the sum of the crosses of line i and X the
    // sum of all crosses, each once. The effects and sums of squares do not change when every
    // cross is shifted by one constant, so the sums are taken about the crosses' mean: the sums
    // of squares then lose no digits to cancellation, whatever the size of the values.
    void griffing(const CrossTable &table, DiallelAnalysis &result)
    {
        const int n = table.lines;
        const long double ln = n;
        long double shift = 0;
        for (const CrossEffect &cross : result.crosses)
            shift += cross.value;
        shift /= static_cast<long double>(result.crosses.size());
        std::vector<long double> lineSums(std::size_t(n), 0.0L);
        long double total = 0;
        long double squares = 0;
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j) {
                const long double x = table.value(i, j) - shift;
                lineSums[std::size_t(i - 1)] += x;
                lineSums[std::size_t(j - 1)] += x;
                total += x;
                squares += x * x;
            }
        long double lineSquares = 0;
        for (const long double sum : lineSums)
            lineSquares += sum * sum;

        // m = 2X / (n(n-1)); g_i = (n X_i - 2X) / (n(n-2));
        // s_ij = x_ij - (X_i + X_j) / (n-2) + 2X / ((n-1)(n-2))
        result.grandMean = shift + 2 * total / (ln * (ln - 1));
        for (int i = 1; i <= n; ++i) {
            LineEffect &line = result.lineEffects[std::size_t(i - 1)];
            line.gca = (ln * lineSums[std::size_t(i - 1)] - 2 * total) / (ln * (ln - 2));
        }
        for (CrossEffect &cross : result.crosses)
            cross.sca = cross.value - shift
                - (lineSums[std::size_t(cross.i - 1)] + lineSums[std::size_t(cross.j - 1)])
                    / (ln - 2)
                + 2 * total / ((ln - 1) * (ln - 2));
        // SS GCA = sum X_i^2 / (n-2) - 4X^2 / (n(n-2)), n - 1 degrees of freedom;
        // SS SCA = sum x_ij^2 - sum X_i^2 / (n-2) + 2X^2 / ((n-1)(n-2)), n(n-3)/2.
        // A sum of squares that rounding leaves a hair below 0 is 0.
        result.gca.sumOfSquares =
            std::max(0.0L, lineSquares / (ln - 2) - 4 * total * total / (ln * (ln - 2)));
        result.gca.degreesOfFreedom = n - 1;
        result.sca.sumOfSquares = std::max(
            0.0L, squares - lineSquares / (ln - 2) + 2 * total * total / ((ln - 1) * (ln - 2)));
        result.sca.degreesOfFreedom = std::int64_t(n) * (n - 3) / 2;
    }

    // The least-squares fit of mu + g_i + g_j to the crosses present: SS GCA is its reduction of
    // the sum of squares about the mean, SS SCA its residual sum of squares.
    void additiveFit(const CrossTable &table, DiallelAnalysis &result)
    {
        const AdditiveFit fit(table.lines, table.values);
        result.gcaEstimable = fit.gcaEstimable();
        result.grandMean = fit.mean();
        if (fit.gcaEstimable())
            for (LineEffect &line : result.lineEffects)
                line.gca = fit.gca(line.line);
        long double mean = 0;
        for (const CrossEffect &cross : result.crosses)
            mean += cross.value;
        mean /= static_cast<long double>(result.crosses.size());
        long double explained = 0;
        long double residual = 0;
        for (CrossEffect &cross : result.crosses) {
            const long double fitted = fit.fitted(cross.i, cross.j);
            cross.sca = cross.value - fitted;
            explained += (fitted - mean) * (fitted - mean);
            residual += cross.sca * cross.sca;
        }
        for (MissingCross &cross : result.missing)
            if (fit.estimable(cross.i, cross.j))
                cross.estimate = fit.fitted(cross.i, cross.j);
        result.gca.sumOfSquares = explained;
        result.gca.degreesOfFreedom = fit.rank() - 1;
        result.sca.sumOfSquares = residual;
        result.sca.degreesOfFreedom = result.presentCrosses - fit.rank();
    }

    StandardErrors standardErrors(int lines, const ErrorTerm &error)
    {
        const long double n = lines;
        const long double s2 = error.crossVariance();
        StandardErrors errors;
        errors.gca = std::sqrt((n - 1) * s2 / (n * (n - 2)));
        errors.gcaDifference = std::sqrt(2 * s2 / (n - 2));
        errors.sca = std::sqrt((n - 3) * s2 / (n - 1));
        errors.scaDifferenceSharingLine = std::sqrt(2 * (n - 3) * s2 / (n - 2));
        errors.scaDifferenceDisjoint = std::sqrt(2 * (n - 4) * s2 / (n - 2));
        errors.t975 = studentTQuantile(0.975L, static_cast<long double>(error.degreesOfFreedom));
        return errors;
    }

} // namespace

void checkErrorTerm(const ErrorTerm &error)
{
    if (!(error.meanSquare > 0) || !std::isfinite(error.meanSquare))
        throw Error("O quadrado m\xE9"
                    "dio do res\xED"
                    "duo (QMR) deve ser maior que zero");
    if (error.degreesOfFreedom < 1)
        throw Error("Os graus de liberdade do res\xED"
                    "duo devem ser pelo menos 1");
    if (error.replications < 1)
        throw Error("O n\xFAmero de repeti\xE7\xF5"
                    "es deve ser pelo menos 1");
}

CrossTable readCrossTable(
    const CellGrid &grid, const LinesField &lines, const FormatSettings &settings)
{
    const std::int32_t n = lines.count();
    if (n < kMinDiallelLines)
        throw Error(tooFewLinesMessage());
    if (n > kMaxDiallelLines)
        throw Error(tooManyLinesMessage(n));
    // Method 4 has no reciprocal effects: a pair is read in either order, whatever the option.
    const SingleCrossIndex either(grid, Reciprocals::Either, settings);
    const SingleCrossIndex distinct(grid, Reciprocals::Distinct, settings);
    CrossTable table;
    table.lines = n;
    table.values.assign(std::size_t(n) * std::size_t(n), 0.0L);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const long double value = either.lookup(i, j).value;
            table.values[std::size_t(i - 1) * std::size_t(n) + std::size_t(j - 1)] = value;
            table.values[std::size_t(j - 1) * std::size_t(n) + std::size_t(i - 1)] = value;
            if (distinct.exists(i, j) && distinct.exists(j, i)
                && distinct.value(i, j) != distinct.value(j, i))
                ++table.differingPairs;
        }
    return table;
}

DiallelAnalysis analyseDiallel(const CrossTable &table, const std::optional<ErrorTerm> &error)
{
    const int n = table.lines;
    if (n < kMinDiallelLines)
        throw Error(tooFewLinesMessage());
    if (n > kMaxDiallelLines)
        throw Error(tooManyLinesMessage(n));
    if (error)
        checkErrorTerm(*error);

    DiallelAnalysis result;
    result.lines = n;
    result.differingPairs = table.differingPairs;
    result.error = error;
    result.lineEffects.resize(std::size_t(n));
    long double total = 0;
    for (int i = 1; i <= n; ++i) {
        LineEffect &line = result.lineEffects[std::size_t(i - 1)];
        line.line = i;
        long double sum = 0;
        for (int j = 1; j <= n; ++j)
            if (j != i && table.value(i, j) != 0) {
                sum += table.value(i, j);
                ++line.crosses;
            }
        if (line.crosses > 0)
            line.crossMean = sum / line.crosses;
        for (int j = i + 1; j <= n; ++j) {
            const long double x = table.value(i, j);
            if (x != 0) {
                result.crosses.push_back({ i, j, x, 0 });
                total += x;
            } else {
                result.missing.push_back({ i, j, std::nullopt });
            }
        }
    }
    result.presentCrosses = int(result.crosses.size());
    result.complete = result.missing.empty();
    if (result.crosses.empty())
        throw Error("Nenhum cruzamento entre as linhagens 1 a " + intToStr(n) + " tem valor");
    if (!std::isfinite(total))
        throw Error(std::string(kFloatingPointOverflow));

    if (result.complete)
        griffing(table, result);
    else
        additiveFit(table, result);

    if (error) {
        result.errorMeanSquare = error->crossVariance();
        completeRow(result.gca, result.errorMeanSquare, error->degreesOfFreedom);
        completeRow(result.sca, result.errorMeanSquare, error->degreesOfFreedom);
        if (result.complete)
            result.standardErrors = standardErrors(n, *error);
    } else {
        completeRow(result.gca, std::nullopt, 0);
        completeRow(result.sca, std::nullopt, 0);
    }
    return result;
}

} // namespace koravel
