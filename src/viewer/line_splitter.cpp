#include "viewer/line_splitter.h"

#include <algorithm>
#include <cstring>

namespace tarnwell {

LineSplitter::LineSplitter(std::string_view text) : text_(text), next_cr_(Find('\r', 0)), next_lf_(Find('\n', 0)) {}

std::size_t LineSplitter::Find(char c, std::size_t from) const {
    if (from >= text_.size()) return text_.size();
    const void* hit = std::memchr(text_.data() + from, c, text_.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) : text_.size();
}

bool LineSplitter::Next(std::size_t& begin, std::size_t& end) {
    if (pos_ >= text_.size()) return false;
    if (next_cr_ < pos_) next_cr_ = Find('\r', pos_);
    if (next_lf_ < pos_) next_lf_ = Find('\n', pos_);
    begin = pos_;
    end = std::min(next_cr_, next_lf_);
    if (end == text_.size()) {
        pos_ = end;
    } else if (end == next_cr_ && next_lf_ == end + 1) {
        pos_ = end + 2;  // CR LF
    } else {
        pos_ = end + 1;  // lone CR or lone LF
    }
    return true;
}

std::size_t CountLines(std::string_view text) {
    LineSplitter lines(text);
    std::size_t count = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    while (lines.Next(begin, end)) ++count;
    return count;
}

}  // namespace tarnwell
