#include "bgx_irr.h"

#include <cfenv>
#include <cmath>

namespace fmx {

namespace {

constexpr double kGuess = 0.1;
constexpr double kTolerance = 1e-12;
constexpr int kNewtonIterations = 60;
constexpr int kBisectionIterations = 200;

double npvAt(std::span<const double> flows, double r) {
    double v = 0;
    double discount = 1;
    const double step = 1 / (1 + r);
    for (double cf : flows) {
        v += cf * discount;
        discount *= step;
    }
    return v;
}

// The derivative of npvAt with respect to the rate.
double npvDerivativeAt(std::span<const double> flows, double r) {
    double d = 0;
    const double step = 1 / (1 + r);
    double discount = step; // (1 + r)^-(t + 1) for t = 0
    for (size_t t = 0; t < flows.size(); ++t) {
        d -= static_cast<double>(t) * flows[t] * discount;
        discount *= step;
    }
    return d;
}

std::optional<double> newton(std::span<const double> flows) {
    double r = kGuess;
    for (int i = 0; i < kNewtonIterations; ++i) {
        const double f = npvAt(flows, r);
        const double d = npvDerivativeAt(flows, r);
        if (!std::isfinite(f) || !std::isfinite(d) || d == 0) return std::nullopt;
        const double next = r - f / d;
        if (!std::isfinite(next) || next <= -1) return std::nullopt;
        if (std::fabs(next - r) < kTolerance) return next;
        r = next;
    }
    return std::nullopt;
}

// Bisection on the bracketing interval closest to the guess.
std::optional<double> bisection(std::span<const double> flows) {
    static constexpr double grid[] = {-0.999, -0.9, -0.75, -0.5, -0.3,  -0.2,  -0.1, -0.05,
                                      0.0,    0.05, 0.1,   0.15, 0.2,   0.3,   0.5,  0.75,
                                      1.0,    2.0,  5.0,   10.0, 100.0, 1000.0};
    constexpr int count = sizeof grid / sizeof grid[0];
    int best = -1;
    double bestDistance = 0;
    for (int k = 0; k + 1 < count; ++k) {
        const double fa = npvAt(flows, grid[k]);
        const double fb = npvAt(flows, grid[k + 1]);
        if (!std::isfinite(fa) || !std::isfinite(fb)) continue;
        if ((fa <= 0 && fb >= 0) || (fa >= 0 && fb <= 0)) {
            const double distance = std::fabs((grid[k] + grid[k + 1]) / 2 - kGuess);
            if (best < 0 || distance < bestDistance) {
                best = k;
                bestDistance = distance;
            }
        }
    }
    if (best < 0) return std::nullopt;
    double lo = grid[best], hi = grid[best + 1];
    double flo = npvAt(flows, lo);
    if (flo == 0) return lo;
    for (int i = 0; i < kBisectionIterations && hi - lo > kTolerance; ++i) {
        const double mid = (lo + hi) / 2;
        const double fm = npvAt(flows, mid);
        if (fm == 0) return mid;
        if ((fm < 0) == (flo < 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return (lo + hi) / 2;
}

} // namespace

std::optional<double> internalRateOfReturn(std::span<const double> cashflows) {
    bool positive = false, negative = false;
    for (double cf : cashflows) {
        if (!std::isfinite(cf)) return std::nullopt;
        positive = positive || cf > 0;
        negative = negative || cf < 0;
    }
    // Without a change of sign there is no rate at which the flows balance.
    if (!positive || !negative) return std::nullopt;

    std::fexcept_t saved;
    std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
    std::optional<double> r = newton(cashflows);
    if (!r) r = bisection(cashflows);
    std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
    return r;
}

} // namespace fmx
