#include "viewer/folded_match.h"

#include "text/cp1251_case.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tarnwell {
namespace {

unsigned char Fold(char c) {
    return FoldCp1251(static_cast<unsigned char>(c));
}

}  // namespace

FoldedText::FoldedText(std::string_view text) {
    folded_.reserve(text.size());
    for (char c : text) folded_.push_back(static_cast<char>(Fold(c)));
    if (folded_.empty()) return;
    for (int byte = 0; byte < 256; ++byte) {
        if (FoldCp1251(static_cast<unsigned char>(byte)) == static_cast<unsigned char>(folded_[0])) {
            first_[static_cast<std::size_t>(first_count_++)] = static_cast<unsigned char>(byte);
        }
    }
    // Every byte folds to one of at most four: fill the rest with the first, which changes nothing.
    for (int i = first_count_; i < 4; ++i) first_[static_cast<std::size_t>(i)] = first_[0];
}

bool FoldedText::RestMatches(const char* at) const {
    for (std::size_t i = 1; i < folded_.size(); ++i) {
        if (Fold(at[i]) != static_cast<unsigned char>(folded_[i])) return false;
    }
    return true;
}

bool FoldedText::Equals(std::string_view cell) const {
    return !folded_.empty() && cell.size() == folded_.size() &&
           Fold(cell[0]) == static_cast<unsigned char>(folded_[0]) && RestMatches(cell.data());
}

bool FoldedText::FoundIn(std::string_view cell) const {
    if (folded_.empty() || cell.size() < folded_.size()) return false;
    const char* p = cell.data();
    const char* const cell_end = p + cell.size();
    // The last place the text can start.
    const char* const last = cell_end - folded_.size();
#ifdef __SSE2__
    // The places of the first byte, 16 at a time; each is then checked whole.
    const __m128i a = _mm_set1_epi8(static_cast<char>(first_[0]));
    const __m128i b = _mm_set1_epi8(static_cast<char>(first_[1]));
    const __m128i c = _mm_set1_epi8(static_cast<char>(first_[2]));
    const __m128i d = _mm_set1_epi8(static_cast<char>(first_[3]));
    for (; cell_end - p >= 16 && p <= last; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, a), _mm_cmpeq_epi8(bytes, b)),
                                          _mm_or_si128(_mm_cmpeq_epi8(bytes, c), _mm_cmpeq_epi8(bytes, d)));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            const char* at = p + __builtin_ctz(mask);
            if (at > last) return false;
            if (RestMatches(at)) return true;
        }
    }
#endif
    const unsigned char first = static_cast<unsigned char>(folded_[0]);
    for (; p <= last; ++p) {
        if (Fold(*p) == first && RestMatches(p)) return true;
    }
    return false;
}

}  // namespace tarnwell
