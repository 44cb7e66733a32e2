#include "report/report_page.h"

#include <cstdint>
#include <cstring>

#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

namespace {

// The position of the first CR or LF at or after pos, or the text's size; eight bytes at a time, since
// the fragment runs to megabytes.
std::size_t FindLineBreak(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    auto has_byte = [](std::uint64_t word, std::uint64_t pattern) {
        const std::uint64_t x = word ^ pattern;
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    while (pos + 8 <= text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        if (has_byte(word, kOnes * '\r') || has_byte(word, kOnes * '\n')) break;
        pos += 8;
    }
    while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
    return pos;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::string ReportPage(std::string_view fragment) {
    static constexpr std::string_view kHead =
        "<html><head><title>Статистика наработанного трафика</title><meta http-equiv=Content-Type "
        "content=text/html; charset=windows-1251></head><body>"_cp;
    static constexpr std::string_view kTail = "</body></html>";
    std::string page;
    page.reserve(kHead.size() + fragment.size() + kTail.size() + 8);
    page.append(kHead).append("\r\n");
    // One pass over the fragment: the bytes are copied in runs, and only a line end that is not CR LF
    // already (a lone CR or LF) ends a run and is written as CR LF; a last line without an end gets one.
    const std::size_t n = fragment.size();
    std::size_t run = 0;
    std::size_t pos = 0;
    while ((pos = FindLineBreak(fragment, pos)) < n) {
        if (fragment[pos] == '\r' && pos + 1 < n && fragment[pos + 1] == '\n') {
            pos += 2;
            continue;
        }
        page.append(fragment.substr(run, pos - run)).append("\r\n");
        run = ++pos;
    }
    page.append(fragment.substr(run));
    if (n > 0 && fragment.back() != '\n' && fragment.back() != '\r') page.append("\r\n");
    page.append(kTail).append("\r\n");
    return page;
}

}  // namespace tarnwell
