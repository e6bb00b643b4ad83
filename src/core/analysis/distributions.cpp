// The incomplete beta function by its continued fraction, and the F and t distributions from it.
#include "analysis/distributions.h"

#include <cfloat>
#include <cmath>

namespace koravel {

namespace {

    // The continued fraction of I_x(a, b), evaluated by the modified Lentz method; it converges
    // fast for x < (a + 1) / (a + b + 2), which the caller sees to.
    long double betaContinuedFraction(long double a, long double b, long double x)
    {
        constexpr long double tiny = LDBL_MIN / LDBL_EPSILON;
        constexpr int maxIterations = 100000;
        const long double sum = a + b;
        long double c = 1;
        long double d = 1 - sum * x / (a + 1);
        if (std::fabs(d) < tiny)
            d = tiny;
        d = 1 / d;
        long double h = d;
        for (int m = 1; m <= maxIterations; ++m) {
            const long double twice = 2.0L * m;
            // The even step, then the odd one.
            long double term = m * (b - m) * x / ((a - 1 + twice) * (a + twice));
            d = 1 + term * d;
            d = std::fabs(d) < tiny ? 1 / tiny : 1 / d;
            c = 1 + term / c;
            if (std::fabs(c) < tiny)
                c = tiny;
            h *= d * c;
            term = -(a + m) * (sum + m) * x / ((a + twice) * (a + 1 + twice));
            d = 1 + term * d;
            d = std::fabs(d) < tiny ? 1 / tiny : 1 / d;
            c = 1 + term / c;
            if (std::fabs(c) < tiny)
                c = tiny;
            const long double step = d * c;
            h *= step;
            if (std::fabs(step - 1) < 4 * LDBL_EPSILON)
                break;
        }
        return h;
    }

} // namespace

long double regularizedIncompleteBeta(long double a, long double b, long double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    // x^a (1 - x)^b / B(a, b), in logarithms so that large degrees of freedom do not overflow.
    const long double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b)
        + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2))
        return front * betaContinuedFraction(a, b, x) / a;
    return 1 - front * betaContinuedFraction(b, a, 1 - x) / b;
}

long double fUpperTail(long double f, long double df1, long double df2)
{
    if (!(f > 0))
        return 1;
    // P(F > f) = I_{df2 / (df2 + df1 f)}(df2 / 2, df1 / 2)
    return regularizedIncompleteBeta(df2 / 2, df1 / 2, df2 / (df2 + df1 * f));
}

long double studentTQuantile(long double probability, long double df)
{
    // P(|T| > t) = I_{df / (df + t^2)}(df / 2, 1 / 2), which falls as t grows: bisection.
    const long double twoSided = 2 * (1 - probability);
    const auto tail = [df](long double t) {
        return regularizedIncompleteBeta(df / 2, 0.5L, df / (df + t * t));
    };
    if (!(twoSided < 1))
        return 0;
    long double low = 0;
    long double high = 1;
    while (tail(high) > twoSided && high < LDBL_MAX / 4)
        high *= 2;
    for (int i = 0; i < 200 && high - low > 4 * LDBL_EPSILON * high; ++i) {
        const long double middle = (low + high) / 2;
        (tail(middle) > twoSided ? low : high) = middle;
    }
    return (low + high) / 2;
}

} // namespace koravel
