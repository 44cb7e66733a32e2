#include "report/report_page.h"

#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

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
    // One pass over the fragment: each line copied as it stands, its end (CR LF, CR or LF) written as
    // CR LF, and a last line without an end given one.
    std::size_t start = 0;
    while (start < fragment.size()) {
        const std::size_t end = fragment.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            page.append(fragment.substr(start)).append("\r\n");
            break;
        }
        page.append(fragment.substr(start, end - start)).append("\r\n");
        start = end + 1;
        if (fragment[end] == '\r' && start < fragment.size() && fragment[start] == '\n') ++start;
    }
    page.append(kTail).append("\r\n");
    return page;
}

}  // namespace tarnwell
