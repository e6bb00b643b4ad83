// The least-squares fit of x_ij = mu + g_i + g_j (sum of g = 0) to the single crosses present
// among lines 1 to n: the general combining ability of an incomplete diallel and the estimates
// of its missing crosses.
#pragma once

#include <cstddef>
#include <vector>

namespace koravel {

// The fit solves the n normal equations of h_i = g_i + mu / 2 (the matrix holds each line's
// number of crosses on its diagonal and a 1 for each cross present), so n up to a thousand
// takes a dense Cholesky factorization. A group of lines joined by crosses with no odd cycle
// (two heterotic groups crossed only with each other) leaves one direction of its effects
// undetermined: that direction is fixed at zero, and what depends on it is not estimable.
//   crosses 1x2 = 10, 1x3 = 12, 2x3 = 14, 1x4 = 13, 2x4 = 15 (n = 4; 3x4 missing):
//     fitted(3, 4) -> 17, the additive estimate; residuals of the present crosses all 0
//   crosses 1x3, 1x4, 2x3, 2x4 only: estimable(1, 2) -> false, estimable(3, 4) -> false
class AdditiveFit
{
public:
    // values: n x n, row by row, symmetric; 0 marks a missing cross, the diagonal is not read.
    AdditiveFit(int lines, const std::vector<long double> &values);

    int lines() const { return m_lines; }
    long double mean() const { return m_mean; }
    // 1 <= line <= n; meaningful only when gcaEstimable().
    long double gca(int line) const { return m_h[std::size_t(line - 1)] - m_mean / 2; }
    // The fitted value mu + g_i + g_j, unique when estimable(i, j).
    long double fitted(int i, int j) const
    {
        return m_h[std::size_t(i - 1)] + m_h[std::size_t(j - 1)];
    }
    // Whether mu + g_i + g_j is the same for every least-squares solution: i and j in one group
    // with an odd cycle, or in two such groups, or on the two sides of a group without one.
    bool estimable(int i, int j) const;
    // Every g_i is estimable exactly when no group of lines lacks an odd cycle (a line with no
    // cross is such a group).
    bool gcaEstimable() const { return m_rank == m_lines; }
    // The number of independent parameters the crosses determine: n less one for each group
    // without an odd cycle.
    int rank() const { return m_rank; }
    // The fit is linear in the crosses: when estimable(i, j), fitted(i, j) is the sum over the
    // present crosses a x b of (z_a + z_b) x_ab, with z the vector this returns (one entry a
    // line, index line - 1). On the example above, fitted(3, 4) weighs 1x2 by -1 and 1x3, 1x4,
    // 2x3, 2x4 by 1/2 each.
    std::vector<long double> lineWeights(int i, int j) const;

private:
    int m_lines;
    int m_rank = 0;
    long double m_mean = 0;
    std::vector<long double> m_h;
    std::vector<long double> m_factor; // the Cholesky factor of the normal equations, n x n
    std::vector<int> m_group; // the group of each line, counted from 0
    std::vector<char> m_side; // its side, 0 or 1, in a two-colouring of its group
    std::vector<char> m_groupHasOddCycle;
};

} // namespace koravel
