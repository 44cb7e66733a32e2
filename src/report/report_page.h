#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// The lines of a text: a line ends at CR LF, CR or LF; a last line without an end counts, an empty text
// has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// The report page around a table fragment, in Windows-1251: the head line, every line of the fragment
// unchanged and in order, and the closing line, each followed by CR LF.
std::string ReportPage(std::string_view fragment);

// The same page made from a fragment given piece by piece, for fragments too large to hold: the bytes go
// to `sink` as they are made, the head line at construction, the closing line at Finish(). Pieces may split
// the fragment anywhere, a CR LF included.
//
//     ReportPageWriter page(sink);
//     page.Write(piece);  // as often as needed
//     page.Finish();
class ReportPageWriter {
public:
    using Sink = std::function<void(std::string_view)>;

    explicit ReportPageWriter(Sink sink);
    void Write(std::string_view piece);
    void Finish();

private:
    Sink sink_;
    bool cr_pending_ = false;  // the last piece ended in a CR: the next one may bring its LF
    char last_ = '\n';         // the fragment's last byte so far; a line end before anything is written
};

}  // namespace tarnwell
