#include "smtp/header_text.h"

#include <algorithm>

#include "smtp/uu_processor.h"

namespace tarnwell {
namespace {

constexpr std::string_view kWordStart = "=?windows-1251?B?";
constexpr std::string_view kWordEnd = "?=";
constexpr std::size_t kWordOverhead = kWordStart.size() + kWordEnd.size();
// A fold: the line ends, and the next begins with the blank that the reader takes as the one between.
constexpr std::string_view kFold = "\r\n ";

// Text that may stand in a header as it is: printable ASCII, blanks and tabs, and nothing that a reader
// would take for the start of an encoded word.
bool IsPlain(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte >= 0x7f) return false;
    }
    return text.find("=?") == std::string_view::npos;
}

// How many characters the last line of a header being built holds.
std::size_t Column(const std::string& line) {
    std::size_t lf = line.rfind('\n');
    return lf == std::string::npos ? line.size() : line.size() - lf - 1;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Appends the text as encoded words: the first where the line stands (unless too little room is left
// there), each further one on a folded line of its own, each as long as the line allows. A word ends
// after a blank of the text where one lies in its second half: the reader joins the words without the
// fold's blank, as the standard says, and a reader that keeps it (Python's email package does in
// display names) then shows at worst a doubled blank, not a word torn in two.
void AppendEncodedWords(std::string& line, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (pos > 0 || Column(line) + kWordOverhead + 4 > kMaxEncodedLine) line += kFold;
        const std::size_t room = kMaxEncodedLine - Column(line) - kWordOverhead;
        std::size_t bytes = std::min(text.size() - pos, room / 4 * 3);
        if (pos + bytes < text.size()) {
            std::size_t blank = text.substr(pos, bytes).find_last_of(" \t");
            if (blank != std::string_view::npos && blank + 1 > bytes / 2) bytes = blank + 1;
        }
        line += kWordStart;
        line += MimeBase64(text.substr(pos, bytes));
        line += kWordEnd;
        pos += bytes;
    }
}

// Appends plain text, folding before a blank of it where the next word would pass the limit. The fold
// takes the place of that blank, so the unfolded text is the text itself.
void AppendPlain(std::string& line, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t word = text.find_first_not_of(' ', pos);
        if (word == std::string_view::npos) {
            line += text.substr(pos);  // "Hi   " keeps its trailing blanks
            break;
        }
        const std::size_t end = std::min(text.find(' ', word), text.size());
        const std::string_view blanks = text.substr(pos, word - pos);
        if (!blanks.empty() && Column(line) + blanks.size() + (end - word) > kMaxHeaderLine) {
            line += blanks.substr(1);
            line += "\r\n ";
        } else {
            line += blanks;
        }
        line += text.substr(word, end - word);
        pos = end;
    }
}

// Appends a token after a blank, or on a folded line when it would pass the limit.
void AppendAfterBlank(std::string& line, std::string_view token) {
    line += Column(line) + 1 + token.size() > kMaxHeaderLine ? kFold : " ";
    line += token;
}

std::string Start(std::string_view name) {
    std::string line(name);
    line += ": ";
    return line;
}

}  // namespace

std::string TextHeader(std::string_view name, std::string_view text) {
    std::string line = Start(name);
    if (IsPlain(text)) {
        AppendPlain(line, text);
    } else {
        AppendEncodedWords(line, text);
    }
    return line;
}

std::string MailboxHeader(std::string_view name, std::string_view display_name, std::string_view address) {
    std::string line = Start(name);
    const std::string bracketed = "<" + std::string(address) + ">";
    if (IsPlain(display_name)) {
        AppendPlain(line, display_name);
        line += bracketed;
    } else {
        // An encoded word must be followed by a blank, even before "<".
        AppendEncodedWords(line, TrimBlanks(display_name));
        AppendAfterBlank(line, bracketed);
    }
    return line;
}

std::string AddressListHeader(std::string_view name, const std::vector<std::string>& entries) {
    std::string line = Start(name);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view entry = entries[i];
        if (i > 0) line += ',';
        const std::size_t bracket = entry.find('<');
        const std::string_view display_name = entry.substr(0, bracket == std::string_view::npos ? 0 : bracket);
        if (IsPlain(display_name)) {
            if (i > 0 && Column(line) + entry.size() > kMaxHeaderLine) line += kFold;
            line += entry;
        } else {
            AppendEncodedWords(line, TrimBlanks(display_name));
            AppendAfterBlank(line, entry.substr(bracket));
        }
    }
    return line;
}

}  // namespace tarnwell
