// The additive fit of an incomplete diallel: groups of lines, their two-colouring, and the
// normal equations solved by Cholesky factorization.
#include "analysis/additive_fit.h"

#include <cmath>

#include "numtext/error.h"

namespace koravel {

AdditiveFit::AdditiveFit(int lines, const std::vector<long double> &values)
    : m_lines(lines)
    , m_h(std::size_t(lines), 0.0L)
    , m_group(std::size_t(lines), -1)
    , m_side(std::size_t(lines), 0)
{
    const std::size_t n = std::size_t(lines);
    const auto present = [&](std::size_t i, std::size_t j) {
        return i != j && values[i * n + j] != 0;
    };

    // The groups of lines joined by crosses, each two-coloured; a cross between two lines of
    // one colour closes an odd cycle.
    std::vector<std::size_t> queue;
    for (std::size_t start = 0; start < n; ++start) {
        if (m_group[start] >= 0)
            continue;
        const int group = int(m_groupHasOddCycle.size());
        m_groupHasOddCycle.push_back(0);
        m_group[start] = group;
        queue.assign(1, start);
        for (std::size_t next = 0; next < queue.size(); ++next) {
            const std::size_t i = queue[next];
            for (std::size_t j = 0; j < n; ++j) {
                if (!present(i, j))
                    continue;
                if (m_group[j] < 0) {
                    m_group[j] = group;
                    m_side[j] = char(1 - m_side[i]);
                    queue.push_back(j);
                } else if (m_side[j] == m_side[i]) {
                    m_groupHasOddCycle[std::size_t(group)] = 1;
                }
            }
        }
    }
    m_rank = lines;
    for (const char odd : m_groupHasOddCycle)
        m_rank -= odd ? 0 : 1;

    // The normal equations N h = b: N_ii the crosses of line i, N_ij 1 for a cross present,
    // b_i the sum of line i's crosses. A group without an odd cycle makes N singular along
    // v = (+1 on one side, -1 on the other); adding v v' fixes v'h = 0 and leaves N h = b, as
    // v'b = 0 (each cross adds to one side and the other).
    // The crosses are taken about their mean c, which the fit gives back as h_i = c / 2 + ...,
    // so that large values with small differences lose no digits.
    long double shift = 0;
    long double crosses = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            if (present(i, j)) {
                shift += values[i * n + j];
                crosses += 1;
            }
    shift = crosses > 0 ? shift / crosses : 0;
    std::vector<long double> matrix(n * n, 0.0L);
    std::vector<long double> &h = m_h;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            if (present(i, j)) {
                matrix[i * n + j] = 1;
                matrix[i * n + i] += 1;
                h[i] += values[i * n + j] - shift;
            }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            if (m_group[i] == m_group[j] && !m_groupHasOddCycle[std::size_t(m_group[i])])
                matrix[i * n + j] += m_side[i] == m_side[j] ? 1 : -1;

    // Cholesky factorization in place (lower triangle), then the two triangular solves.
    for (std::size_t k = 0; k < n; ++k) {
        long double pivot = matrix[k * n + k];
        for (std::size_t p = 0; p < k; ++p)
            pivot -= matrix[k * n + p] * matrix[k * n + p];
        if (!(pivot > 0))
            throw Error(std::string(kInvalidFloatingPointOperation));
        pivot = std::sqrt(pivot);
        matrix[k * n + k] = pivot;
        for (std::size_t i = k + 1; i < n; ++i) {
            long double sum = matrix[i * n + k];
            const long double *rowI = &matrix[i * n];
            const long double *rowK = &matrix[k * n];
            for (std::size_t p = 0; p < k; ++p)
                sum -= rowI[p] * rowK[p];
            matrix[i * n + k] = sum / pivot;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t p = 0; p < i; ++p)
            h[i] -= matrix[i * n + p] * h[p];
        h[i] /= matrix[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t p = i + 1; p < n; ++p)
            h[i] -= matrix[p * n + i] * h[p];
        h[i] /= matrix[i * n + i];
    }

    m_factor = std::move(matrix);
    long double sum = 0;
    for (long double &value : h) {
        value += shift / 2;
        sum += value;
    }
    // h_i = g_i + mu / 2 with the g summing to 0.
    m_mean = n > 0 ? 2 * sum / static_cast<long double>(n) : 0;
}

// z = M^-1 (e_i + e_j) for the matrix M that was factored. For an estimable pair e_i + e_j is
// orthogonal to every direction M adds to the normal equations, so z'b is the fitted value.
std::vector<long double> AdditiveFit::lineWeights(int i, int j) const
{
    const std::size_t n = std::size_t(m_lines);
    std::vector<long double> z(n, 0.0L);
    z[std::size_t(i - 1)] += 1;
    z[std::size_t(j - 1)] += 1;
    for (std::size_t r = 0; r < n; ++r) {
        for (std::size_t p = 0; p < r; ++p)
            z[r] -= m_factor[r * n + p] * z[p];
        z[r] /= m_factor[r * n + r];
    }
    for (std::size_t r = n; r-- > 0;) {
        for (std::size_t p = r + 1; p < n; ++p)
            z[r] -= m_factor[p * n + r] * z[p];
        z[r] /= m_factor[r * n + r];
    }
    return z;
}

bool AdditiveFit::estimable(int i, int j) const
{
    const int a = m_group[std::size_t(i - 1)];
    const int b = m_group[std::size_t(j - 1)];
    const bool oddA = m_groupHasOddCycle[std::size_t(a)];
    const bool oddB = m_groupHasOddCycle[std::size_t(b)];
    if (a == b)
        return oddA || m_side[std::size_t(i - 1)] != m_side[std::size_t(j - 1)];
    return oddA && oddB;
}

} // namespace koravel
