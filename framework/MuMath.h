// SPDX-License-Identifier: GPL-3.0-or-later
// Mathematical constants and helpers of the framework.
#pragma once

#include <cfloat>
#include <climits>
#include <cmath>

namespace Mu::Math {

inline constexpr double HALF_PI = 1.57079632679489661923;
inline constexpr double TWO_PI = 6.28318530717958647692;
inline constexpr float MAX_FLT = FLT_MAX;
inline constexpr float MIN_FLT = -FLT_MAX; // below every real value, as extents need
inline constexpr int MAX_INT = INT_MAX;

template <typename T> inline T abs(T v) { return v < T(0) ? -v : v; }
inline double sqrt(double v) { return std::sqrt(v); }
inline float sqrt(float v) { return std::sqrt(v); }

} // namespace Mu::Math
