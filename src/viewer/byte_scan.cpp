#include "viewer/byte_scan.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#define TARNWELL_SSE2 1
#endif

namespace tarnwell {
namespace {

#ifdef TARNWELL_SSE2
inline __m128i Load16(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Bit i set when byte i of `bytes` is all ones.
inline unsigned Mask(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}

inline unsigned LowestBit(unsigned mask) {
    return static_cast<unsigned>(__builtin_ctz(mask));
}
#endif

}  // namespace

const char* FindLineBreak(const char* p, const char* end) {
#ifdef TARNWELL_SSE2
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load16(p);
        const unsigned mask = Mask(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (mask != 0) return p + LowestBit(mask);
    }
#endif
    while (p < end && *p != '\r' && *p != '\n') ++p;
    return p;
}

const char* FindFieldEnd(const char* p, const char* end) {
#ifdef TARNWELL_SSE2
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load16(p);
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        const unsigned mask = Mask(_mm_or_si128(breaks, _mm_cmpeq_epi8(bytes, tab)));
        if (mask != 0) return p + LowestBit(mask);
    }
#endif
    while (p < end && *p != '\t' && *p != '\r' && *p != '\n') ++p;
    return p;
}

LineBreaks CountLineBreaks(const char* p, const char* const end) {
    LineBreaks counted;
#ifdef TARNWELL_SSE2
    // Every CR and every LF ends a line, except an LF right after a CR: CR LF is one break. Each step
    // compares 16 bytes and the 16 after them by one; per-byte tallies are summed before they overflow.
    // A step that holds a NUL is left to the byte loop below.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    bool nul_ahead = false;
    while (end - p > 16 && !nul_ahead) {
        __m128i ends = zero;   // per byte position: CRs and LFs seen, mod 256
        __m128i pairs = zero;  // per byte position: CR LF pairs seen
        for (int step = 0; step < 255 && end - p > 16; ++step, p += 16) {
            const __m128i bytes = Load16(p);
            if (Mask(_mm_cmpeq_epi8(bytes, zero)) != 0) {
                nul_ahead = true;
                break;
            }
            const __m128i next = Load16(p + 1);
            const __m128i is_cr = _mm_cmpeq_epi8(bytes, cr);
            // A match is all ones, -1: subtracting it counts one.
            ends = _mm_sub_epi8(ends, _mm_or_si128(is_cr, _mm_cmpeq_epi8(bytes, lf)));
            pairs = _mm_sub_epi8(pairs, _mm_and_si128(is_cr, _mm_cmpeq_epi8(next, lf)));
        }
        __m128i sums = _mm_sub_epi64(_mm_sad_epu8(ends, zero), _mm_sad_epu8(pairs, zero));
        counted.breaks += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
                          static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    // The rest the same way: a CR LF pair is taken off where its CR is, as above.
    for (; p < end && *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') ++counted.breaks;
        if (*p == '\r' && end - p > 1 && p[1] == '\n') --counted.breaks;
    }
    counted.nul = p;
    return counted;
}

std::size_t CountLines(std::string_view text) {
    const char* const end = text.data() + text.size();
    const LineBreaks counted = CountLineBreaks(text.data(), end);
    if (counted.nul == text.data()) return 0;
    const char last = counted.nul[-1];
    return counted.breaks + (last != '\r' && last != '\n' ? 1 : 0);
}

std::size_t NextLineStart(std::string_view text, std::size_t from) {
    if (from == 0 || from >= text.size()) return std::min(from, text.size());
    const char before = text[from - 1];
    if (before == '\n' || (before == '\r' && text[from] != '\n')) return from;
    const char* const end = text.data() + text.size();
    const char* p = FindLineBreak(text.data() + from, end);
    if (p == end) return text.size();
    p += *p == '\r' && end - p > 1 && p[1] == '\n' ? 2 : 1;
    return static_cast<std::size_t>(p - text.data());
}

}  // namespace tarnwell
