#include "grid/html_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "files/output_file.h"
#include "grid/row_bands.h"
#include "grid/table_grid_error.h"

namespace tarnwell {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// "#RRGGBB", upper-case hex digits, red first.
std::string HexColor(ColorValue color, const ColorScheme& colors) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::uint32_t rgb = color.ToRgb(colors);
    std::string hex = "#";
    for (int shift = 20; shift >= 0; shift -= 4) hex.push_back(kDigits[(rgb >> shift) & 0xF]);
    return hex;
}

// Cell text is text, never markup: "&", "<" and ">" go out as entities, so that a log line holding a
// requested address with a script in it cannot become a script in the page. Then every CR becomes a
// line break. Texts without these bytes are copied as they are.
void AppendCellText(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += "<br>";
        return;
    }
    // A byte test instead of find_first_of, which looks every byte up in the set: the report's tables
    // run to tens of thousands of rows.
    auto special = [](char c) { return c == '&' || c == '<' || c == '>' || c == '\r'; };
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!special(text[at])) continue;
        out.append(text, start, at - start);
        switch (text[at]) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += "<br>";
                break;
        }
        start = at + 1;
    }
    out.append(text, start);
}

}  // namespace

std::string BuildHtmlTable(const TTableGrid& grid, const ColorScheme& colors) {
    const std::vector<int> visible = grid.VisibleRealColumns();
    return BuildHtmlTable(grid, visible, colors);
}

std::string BuildHtmlTable(const TTableGrid& grid, std::span<const int> real, const ColorScheme& colors) {
    // The fragment runs to megabytes: its size is reserved once (exact but for escapes and the start tags,
    // which are a few bytes each), so that it is not copied into ever larger fresh buffers as it grows.
    std::size_t estimate = 256;
    for (int r = 0; r < grid.RowCount(); ++r) {
        estimate += 16;  // <tr>, </tr> and their line ends
        for (int col : real) estimate += 80 + std::max<std::size_t>(grid.SaveCell(col, r).size(), 4);
    }
    std::string out;
    out.reserve(estimate);
    WriteHtmlTable(grid, real, colors, out, nullptr);
    return out;
}

void WriteHtmlTable(const TTableGrid& grid, std::span<const int> real, const ColorScheme& colors, std::string& out,
                    const HtmlFlush& flush, SaveMeter* meter) {
    const HtmlSettings& html = grid.HTMLSettings;
    const int fixed_rows = grid.FixedRows();
    // Hiding columns lowers the fixed count below the count shown; a given list is held to the same bound.
    const int fixed_cols = std::min(grid.FixedCols(), static_cast<int>(real.size()) - 1);

    // The start of a data cell line for each of its four looks: fixed cell, band primary, band
    // secondary, plain.
    auto data_cell_start = [&colors](ColorValue background, ColorValue text) {
        return "<td nowrap bgcolor=\"" + HexColor(background, colors) + "\"><font color=\"" + HexColor(text, colors) +
               "\">";
    };
    enum Look { kFixed, kPrimary, kSecondary, kPlain };
    const std::array<std::string, 4> starts = {
        data_cell_start(grid.FixedColor, grid.FixedFontColor),
        data_cell_start(grid.Bands.PrimaryColor, grid.FontColor),
        data_cell_start(grid.Bands.SecondaryColor, grid.FontColor),
        data_cell_start(grid.Color, grid.FontColor),
    };
    const std::string header_cell_start = "<td nowrap bgcolor=\"" + HexColor(grid.FixedColor, colors) + "\"><b>";
    // Hands the bytes on once a chunk has gathered; a row never waits for more than one chunk.
    auto row_done = [&] {
        if (flush && out.size() >= kHtmlChunk) flush(out);
        if (meter) meter->Advance();
    };

    out += "<table border=\"" + std::to_string(html.BorderSize) + "\" cellspacing=\"" +
           std::to_string(html.CellSpacing) + "\" cellpadding=\"" + std::to_string(html.CellPadding) + "\" width=\"" +
           std::to_string(html.Width) + "%\">";
    out += kLineEnd;

    int row = 0;
    if (fixed_rows > 0) {
        out += "<tr>";
        out += kLineEnd;
        for (int col : real) {
            out += header_cell_start;
            AppendCellText(out, grid.SaveCell(col, 0));
            out += "</b></td>";
            out += kLineEnd;
        }
        out += "</tr>";
        out += kLineEnd;
        row = 1;
        row_done();
    }
    for (; row < grid.RowCount(); ++row) {
        Look row_look = kPlain;
        if (row < fixed_rows) {
            row_look = kFixed;
        } else if (const RowBand band = BandOf(grid, row); band != RowBand::kNone) {
            row_look = band == RowBand::kPrimary ? kPrimary : kSecondary;
        }
        out += "<tr>";
        out += kLineEnd;
        for (std::size_t d = 0; d < real.size(); ++d) {
            out += starts[static_cast<int>(d) < fixed_cols ? kFixed : row_look];
            AppendCellText(out, grid.SaveCell(real[d], row));
            out += "</font></td>";
            out += kLineEnd;
        }
        out += "</tr>";
        out += kLineEnd;
        row_done();
    }
    out += "</table>";
    out += kLineEnd;
}

void TTableGrid::SaveToHTML(const std::string& file_name, const ColorScheme& colors) const {
    // The file is made first, so that a name that cannot be created fails before any work; the fragment
    // then goes to it chunk by chunk and replaces the old file only once complete.
    try {
        FileReplacement file(file_name);
        const std::vector<int> visible = VisibleRealColumns();
        std::string chunk;
        chunk.reserve(2 * kHtmlChunk);
        auto write = [&file](std::string& out) {
            file.Write(out);
            out.clear();
        };
        WriteHtmlTable(*this, visible, colors, chunk, write);
        write(chunk);
        file.Commit();
    } catch (const EOutputFile& e) {
        throw GridFileError(file_name, e);
    }
}

}  // namespace tarnwell
