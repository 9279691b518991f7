// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPngFilter.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Mx {

namespace {

constexpr qsizetype kBytesPerPixel = 4;

// A filtered byte's weight in the choice: its magnitude read as a signed byte.
inline unsigned magnitude(uchar v) { return v < 128 ? v : 256u - v; }

inline int paethPredictor(int a, int b, int c)
{
    const int p = b - c;
    const int q = a - c;
    const int pa = std::abs(p);
    const int pb = std::abs(q);
    const int pc = std::abs(p + q);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc) ? b : c;
}

// Bytes [from, to) of the four candidates, one byte at a time.
void filterBytes(const uchar *raw, const uchar *prev, qsizetype from, qsizetype to, uchar *const out[4],
                 std::array<quint64, 5> &sums)
{
    for (qsizetype i = from; i < to; ++i) {
        const int x = raw[i];
        const int a = raw[i - kBytesPerPixel];
        const int b = prev[i];
        const int c = prev[i - kBytesPerPixel];
        const uchar f[4] = {uchar(x - a), uchar(x - b), uchar(x - ((a + b) >> 1)), uchar(x - paethPredictor(a, b, c))};
        sums[0] += magnitude(uchar(x));
        for (int k = 0; k < 4; ++k) {
            out[k][i] = f[k];
            sums[k + 1] += magnitude(f[k]);
        }
    }
}

#if defined(__SSE2__)
inline __m128i magnitudes(__m128i v) { return _mm_min_epu8(v, _mm_sub_epi8(_mm_setzero_si128(), v)); }

inline __m128i abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

// The Paeth predictor of eight pixels' bytes widened to 16 bits.
inline __m128i paeth16(__m128i a, __m128i b, __m128i c)
{
    const __m128i p = _mm_sub_epi16(b, c);
    const __m128i q = _mm_sub_epi16(a, c);
    const __m128i pa = abs16(p);
    const __m128i pb = abs16(q);
    const __m128i pc = abs16(_mm_add_epi16(p, q));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i notB = _mm_cmpgt_epi16(pb, pc);
    const __m128i bOrC = _mm_or_si128(_mm_and_si128(notB, c), _mm_andnot_si128(notB, b));
    return _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
}

// Sixteen bytes at a time up to the last whole vector; returns where the byte loop goes on.
qsizetype filterVectors(const uchar *raw, const uchar *prev, qsizetype rowBytes, uchar *const out[4],
                        std::array<quint64, 5> &sums)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    __m128i acc[5] = {zero, zero, zero, zero, zero};
    qsizetype i = 0;
    for (; i + 16 <= rowBytes; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(raw + i));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(raw + i - kBytesPerPixel));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(prev + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(prev + i - kBytesPerPixel));
        const __m128i average = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        const __m128i predictor = _mm_packus_epi16(
            paeth16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero)),
            paeth16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero)));
        const __m128i f[4] = {_mm_sub_epi8(x, a), _mm_sub_epi8(x, b), _mm_sub_epi8(x, average),
                              _mm_sub_epi8(x, predictor)};
        acc[0] = _mm_add_epi64(acc[0], _mm_sad_epu8(magnitudes(x), zero));
        for (int k = 0; k < 4; ++k) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out[k] + i), f[k]);
            acc[k + 1] = _mm_add_epi64(acc[k + 1], _mm_sad_epu8(magnitudes(f[k]), zero));
        }
    }
    for (int k = 0; k < 5; ++k)
        sums[k] += quint64(_mm_cvtsi128_si64(acc[k])) + quint64(_mm_cvtsi128_si64(_mm_unpackhi_epi64(acc[k], acc[k])));
    return i;
}
#endif

} // namespace

PngRowFilter::PngRowFilter(qsizetype rowBytes) : mRowBytes(rowBytes)
{
    for (auto &row : mRows)
        row.assign(kPad + rowBytes, 0);
    for (auto &candidate : mCandidates)
        candidate.resize(rowBytes);
    mCurrent = mRows[0].data();
    mPrevious = mRows[1].data();
}

void PngRowFilter::filterCandidates(std::array<quint64, 5> &sums)
{
    const uchar *raw = mCurrent + kPad;
    const uchar *prev = mPrevious + kPad;
    uchar *const out[4] = {mCandidates[0].data(), mCandidates[1].data(), mCandidates[2].data(), mCandidates[3].data()};
    qsizetype done = 0;
#if defined(__SSE2__)
    done = filterVectors(raw, prev, mRowBytes, out, sums);
#endif
    filterBytes(raw, prev, done, mRowBytes, out, sums);
}

void PngRowFilter::filter(unsigned allowed, uchar *out)
{
    std::array<quint64, 5> sums{};
    filterCandidates(sums);
    int best = -1;
    for (int type = PngFilterNone; type <= PngFilterPaeth; ++type) {
        if ((allowed & (1u << type)) && (best < 0 || sums[type] < sums[best]))
            best = type;
    }
    out[0] = uchar(best);
    const uchar *chosen = best == PngFilterNone ? mCurrent + kPad : mCandidates[best - 1].data();
    std::memcpy(out + 1, chosen, size_t(mRowBytes));
    std::swap(mCurrent, mPrevious);
}

} // namespace Mx
