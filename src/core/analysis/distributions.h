// The two distributions the diallel analysis needs: the upper tail of F, for the p value of a
// mean square, and the quantile of Student's t, for a least significant difference.
#pragma once

namespace koravel {

// I_x(a, b), the regularized incomplete beta function, for a, b > 0 and 0 <= x <= 1:
//   regularizedIncompleteBeta(1, 1, 0.3)   -> 0.3
//   regularizedIncompleteBeta(2, 3, 0)     -> 0
long double regularizedIncompleteBeta(long double a, long double b, long double x);

// P(F > f) for F with df1 and df2 degrees of freedom; 1 for f <= 0:
//   fUpperTail(3, 2, 10)           -> 0.095367431640625 = (10 / 16)^5
//   fUpperTail(3.708265, 3, 10)    -> 0.05 (the 5 % point of the tables)
long double fUpperTail(long double f, long double df1, long double df2);

// t with P(T <= t) = probability, for 0.5 <= probability < 1 and df > 0:
//   studentTQuantile(0.975, 10)    -> 2.228139
//   studentTQuantile(0.975, 1)     -> 12.706205
long double studentTQuantile(long double probability, long double df);

} // namespace koravel
