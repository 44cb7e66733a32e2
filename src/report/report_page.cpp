#include "report/report_page.h"

#include <cstdint>
#include <cstring>
#include <utility>

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

ReportPageWriter::ReportPageWriter(Sink sink) : sink_(std::move(sink)) {
    static constexpr std::string_view kHead =
        "<html><head><title>Статистика наработанного трафика</title><meta http-equiv=Content-Type "
        "content=text/html; charset=windows-1251></head><body>\r\n"_cp;
    sink_(kHead);
}

// The bytes are handed on in runs, and only a line end that is not CR LF already (a lone CR or LF) ends a
// run and is written as CR LF.
void ReportPageWriter::Write(std::string_view piece) {
    if (piece.empty()) return;
    const std::size_t n = piece.size();
    std::size_t run = 0;
    std::size_t pos = 0;
    if (cr_pending_) {
        // The CR that ended the last piece has gone out; its line end is complete with an LF either way.
        cr_pending_ = false;
        sink_("\n");
        if (piece[0] == '\n') run = pos = 1;
    }
    while ((pos = FindLineBreak(piece, pos)) < n) {
        if (piece[pos] == '\r') {
            if (pos + 1 == n) {
                cr_pending_ = true;
                break;
            }
            if (piece[pos + 1] == '\n') {
                pos += 2;
                continue;
            }
            sink_(piece.substr(run, pos + 1 - run));
            sink_("\n");
        } else {
            sink_(piece.substr(run, pos - run));
            sink_("\r\n");
        }
        run = ++pos;
    }
    if (run < n) sink_(piece.substr(run));
    last_ = piece.back();
}

void ReportPageWriter::Finish() {
    if (cr_pending_) {
        cr_pending_ = false;
        sink_("\n");
    } else if (last_ != '\n') {
        sink_("\r\n");  // a last line without an end gets one
    }
    sink_("</body></html>\r\n");
}

std::string ReportPage(std::string_view fragment) {
    std::string page;
    page.reserve(fragment.size() + 256);
    ReportPageWriter writer([&page](std::string_view bytes) { page.append(bytes); });
    writer.Write(fragment);
    writer.Finish();
    return page;
}

}  // namespace tarnwell
