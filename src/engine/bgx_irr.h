// Internal rate of return of a series of yearly cash flows (the first at time 0).
#pragma once

#include <optional>
#include <span>

namespace fmx {

// The rate r (as a ratio) at which the cash flows have a net present value of 0: Newton's method
// from 0.1, with a bisection on a bracketing interval when Newton fails. Tolerance 1e-12 on the rate.
// Returns nothing when no root is found. Leaves the floating-point exception flags as it found them.
std::optional<double> internalRateOfReturn(std::span<const double> cashflows);

} // namespace fmx
