// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SDecimalText.h"

#include <QString>

#include <charconv>
#include <cmath>

namespace {

// Fixed notation of every finite double up to 1e308 with a few decimals.
constexpr int kBufferSize = 400;

// An exact half at the last decimal: value * 10^decimals ends in .5 exactly, which a binary
// double can only hold as an odd multiple of 2^-(decimals + 1).
bool isExactHalf(double value, int decimals)
{
    const double scaled = std::ldexp(value, decimals + 1);
    return scaled == std::floor(scaled) && std::fmod(scaled, 2.0) != 0.0;
}

} // namespace

void appendFixed(std::string &out, double value, int decimals)
{
    // std::to_chars rounds an exact half to even where Qt rounds it away from zero, and keeps the
    // sign of a negative zero that Qt leaves out: those rare values, and the non-finite ones, go
    // through Qt itself.
    char buffer[kBufferSize];
    if (value != 0.0 && std::isfinite(value) && !isExactHalf(value, decimals)) {
        const std::to_chars_result r =
            std::to_chars(buffer, buffer + kBufferSize, value, std::chars_format::fixed, decimals);
        if (r.ec == std::errc()) {
            out.append(buffer, r.ptr);
            return;
        }
    }
    out += QString::number(value, 'f', decimals).toStdString();
}

void appendInteger(std::string &out, qint64 value)
{
    char buffer[24];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}
