#include "grid/xls_workbook.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "files/output_file.h"
#include "grid/biff8_record.h"
#include "grid/biff8_shared_strings.h"
#include "grid/compound_file.h"
#include "grid/table_grid_error.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"
#include "text/message.h"
#include "text/save_progress.h"

namespace tarnwell {
namespace {

using namespace literals;

// Excel keeps at most this many characters in a cell.
constexpr std::size_t kMaxCellText = 32767;

// Cell formats (XF records): 15 style formats come first, as Excel expects, then the two cell formats.
constexpr std::uint16_t kStyleXfCount = 15;
constexpr std::uint16_t kCellXf = 15;
constexpr std::uint16_t kWrappedCellXf = 16;  // for texts with line breaks, as Excel sets on such input

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint16_t kWorksheetSubstream = 0x0010;
constexpr std::uint16_t kUtf16CodePage = 1200;

constexpr std::size_t kLabelSstSize = 4 + 10;

std::string ColumnName(std::size_t col) {
    std::string name;
    for (std::size_t n = col + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

ETableGridError TooLarge() {
    return ETableGridError("Table too large for an Excel workbook: more than 2 GB");
}

// One sheet of the workbook: the table rows it shows and what it holds, gathered in one pass over the
// cells before the file is opened, so that a refusal leaves nothing behind and the stream's size is known
// for the container's header.
struct SheetPlan {
    std::size_t header_rows = 0;     // the sheet starts with this many rows from the table's top
    std::size_t first_data_row = 0;  // the table row shown after them
    std::size_t rows = 0;
    std::size_t filled = 0;
    // The used range, in the sheet's own rows; meaningful when filled > 0.
    std::size_t first_row = std::numeric_limits<std::size_t>::max();
    std::size_t last_row = 0;
    std::size_t first_col = std::numeric_limits<std::size_t>::max();
    std::size_t last_col = 0;

    std::size_t TableRow(std::size_t row) const {
        return row < header_rows ? row : first_data_row + (row - header_rows);
    }
};

// The first sheet shows the table's first kXlsMaxRows rows as they are; every further sheet the header rows
// again and as many of the next rows as fit beside them.
std::vector<SheetPlan> PlanSheets(std::size_t rows, std::size_t header_rows) {
    const std::size_t repeated = header_rows < kXlsMaxRows ? header_rows : 0;
    const std::size_t per_sheet = kXlsMaxRows - repeated;
    std::vector<SheetPlan> sheets(1);
    sheets[0].rows = std::min(rows, kXlsMaxRows);
    for (std::size_t next = kXlsMaxRows; next < rows; next += per_sheet) {
        SheetPlan sheet;
        sheet.header_rows = repeated;
        sheet.first_data_row = next;
        sheet.rows = repeated + std::min(per_sheet, rows - next);
        sheets.push_back(sheet);
    }
    return sheets;
}

using CellSource = std::function<std::string_view(std::size_t, std::size_t)>;

// Every text into the shared string table, once per cell that shows it (the repeated header rows count on
// every sheet), and each sheet's used range.
void Gather(BiffSharedStrings& strings, std::vector<SheetPlan>& sheets, std::size_t columns, const CellSource& cell,
            SaveMeter& meter) {
    std::uint64_t filled = 0;
    for (SheetPlan& sheet : sheets) {
        for (std::size_t r = 0; r < sheet.rows; ++r, meter.Advance()) {
            const std::size_t table_row = sheet.TableRow(r);
            for (std::size_t c = 0; c < columns; ++c) {
                std::string_view text = cell(table_row, c);
                if (text.empty()) continue;
                if (text.size() > kMaxCellText) {
                    throw ETableGridError(
                        FormatMsg("Text of cell %s too long for Excel: %s characters (at most 32767)",
                                  {ColumnName(c) + std::to_string(table_row + 1), std::to_string(text.size())}));
                }
                strings.Add(text);
                ++sheet.filled;
                ++filled;
                sheet.first_row = std::min(sheet.first_row, r);
                sheet.last_row = r;
                sheet.first_col = std::min(sheet.first_col, c);
                sheet.last_col = std::max(sheet.last_col, c);
                // Stop before memory runs out on a table that could never be written anyway.
                if (strings.StringBytes() + filled * kLabelSstSize > kCompoundMaxStreamSize) throw TooLarge();
            }
        }
    }
}

std::u16string SheetName(std::size_t index) {
    return Cp1251ToUtf16("Лист"_cp) + Cp1251ToUtf16(std::to_string(index + 1));
}

void Bof(BiffRecordWriter& out, std::uint16_t substream) {
    out.Begin(BiffRecord::kBof);
    out.U16(kBiff8);
    out.U16(substream);
    out.U16(0x0DBB);  // build
    out.U16(0x07CC);  // year
    out.U32(0);       // file history flags
    out.U32(kBiff8);  // lowest version that can read the file
    out.End();
}

void Eof(BiffRecordWriter& out) {
    out.Begin(BiffRecord::kEof);
    out.End();
}

void Window1(BiffRecordWriter& out) {
    out.Begin(BiffRecord::kWindow1);
    out.U16(0);       // left, in twips
    out.U16(0);       // top
    out.U16(0x3000);  // width
    out.U16(0x1E00);  // height
    out.U16(0x0038);  // horizontal and vertical scroll bars, sheet tabs
    out.U16(0);       // active sheet
    out.U16(0);       // first tab shown
    out.U16(1);       // selected tabs
    out.U16(600);     // tab bar width, per mille
    out.End();
}

// Excel expects four fonts before the one numbered 5 (number 4 does not exist); all are Arial 10 here.
void Fonts(BiffRecordWriter& out) {
    const std::u16string name = u"Arial";
    for (int i = 0; i < 5; ++i) {
        out.Begin(BiffRecord::kFont);
        out.U16(200);     // height in twips
        out.U16(0);       // no italic, strike-out, outline
        out.U16(0x7FFF);  // automatic colour
        out.U16(400);     // normal weight
        out.U16(0);       // no super- or subscript
        out.U8(0);        // no underline
        out.U8(0);        // family
        out.U8(204);      // Cyrillic character set
        out.U8(0);
        out.ShortString(name);
        out.End();
    }
}

void Xf(BiffRecordWriter& out, std::uint16_t font, bool style, bool wrap, std::uint16_t attributes) {
    out.Begin(BiffRecord::kXf);
    out.U16(font);
    out.U16(0);  // number format: General
    // Locked; a style format has no parent (0xFFF), a cell format inherits from style 0.
    out.U16(style ? 0xFFF5 : 0x0001);
    out.U16(static_cast<std::uint16_t>(0x0020 | (wrap ? 0x0008 : 0)));  // aligned at the bottom; wrap
    out.U16(attributes);
    out.U32(0);       // no borders
    out.U32(0);       // no fill
    out.U16(0x20C0);  // pattern colours: the window's text and background
    out.End();
}

void Formats(BiffRecordWriter& out) {
    // Style 0 is "Normal" and defines every attribute; styles 1 to 14 (outline levels) leave all but the
    // font to it, two each on fonts 1 and 2 as Excel writes them.
    Xf(out, 0, true, false, 0);
    for (std::uint16_t i = 1; i < kStyleXfCount; ++i) Xf(out, i <= 2 ? 1 : i <= 4 ? 2 : 0, true, false, 0xF400);
    Xf(out, 0, false, false, 0);
    Xf(out, 0, false, true, 0x1000);  // the alignment differs from the style's

    out.Begin(BiffRecord::kStyle);
    out.U16(0x8000);  // built-in style of format 0
    out.U8(0);        // "Normal"
    out.U8(0xFF);
    out.End();
}

// The workbook globals substream; the sheets follow it at the given stream offsets.
void Globals(BiffRecordWriter& out, const BiffSharedStrings& strings, const std::vector<std::uint32_t>& sheet_offsets) {
    Bof(out, kGlobalsSubstream);
    out.Begin(BiffRecord::kCodePage);
    out.U16(kUtf16CodePage);
    out.End();
    Window1(out);
    Fonts(out);
    Formats(out);

    for (std::size_t i = 0; i < sheet_offsets.size(); ++i) {
        out.Begin(BiffRecord::kBoundSheet);
        out.U32(sheet_offsets[i]);
        out.U8(0);  // visible
        out.U8(0);  // worksheet
        out.ShortString(SheetName(i));
        out.End();
    }

    strings.WriteRecords(out);
    Eof(out);
}

void Dimensions(BiffRecordWriter& out, const SheetPlan& sheet) {
    out.Begin(BiffRecord::kDimensions);
    bool any = sheet.filled > 0;
    out.U32(any ? static_cast<std::uint32_t>(sheet.first_row) : 0);
    out.U32(any ? static_cast<std::uint32_t>(sheet.last_row + 1) : 0);
    out.U16(any ? static_cast<std::uint16_t>(sheet.first_col) : 0);
    out.U16(any ? static_cast<std::uint16_t>(sheet.last_col + 1) : 0);
    out.U16(0);
    out.End();
}

// Only the first sheet is selected and shown: several selected sheets would open as a group.
void Window2(BiffRecordWriter& out, bool first_sheet) {
    out.Begin(BiffRecord::kWindow2);
    // Grid lines, headings, zeros, outline symbols; on the first sheet also selected and shown.
    out.U16(first_sheet ? 0x06B6 : 0x00B6);
    out.U16(0);   // top row
    out.U16(0);   // left column
    out.U32(64);  // heading colour: the window's text
    out.U16(0);   // zoom: default
    out.U16(0);
    out.U32(0);
    out.End();
}

// A worksheet substream in the format's order: BOF, DIMENSIONS, the cells in row order, then the window
// settings and EOF. (Readers that follow the format to the letter refuse a WINDOW2 before the cells.)
void Sheet(BiffRecordWriter& out, const BiffSharedStrings& strings, const SheetPlan& sheet, bool first_sheet,
           std::size_t columns, const CellSource& cell, SaveMeter* meter) {
    Bof(out, kWorksheetSubstream);
    Dimensions(out, sheet);
    for (std::size_t r = 0; r < sheet.rows; ++r) {
        if (meter) meter->Advance();
        if (sheet.filled == 0) continue;
        const std::size_t table_row = sheet.TableRow(r);
        for (std::size_t c = 0; c < columns; ++c) {
            std::string_view text = cell(table_row, c);
            if (text.empty()) continue;
            out.Begin(BiffRecord::kLabelSst);
            out.U16(static_cast<std::uint16_t>(r));
            out.U16(static_cast<std::uint16_t>(c));
            out.U16(text.find('\n') != std::string_view::npos ? kWrappedCellXf : kCellXf);
            out.U32(strings.Find(text));
            out.End();
        }
    }
    Window2(out, first_sheet);
    Eof(out);
}

}  // namespace

void WriteXlsWorkbook(const std::string& file_name, std::size_t rows, std::size_t columns, std::size_t header_rows,
                      const std::function<std::string_view(std::size_t row, std::size_t col)>& cell) {
    NoSaveProgress progress;
    WriteXlsWorkbook(file_name, rows, columns, header_rows, cell, progress);
}

void WriteXlsWorkbook(const std::string& file_name, std::size_t rows, std::size_t columns, std::size_t header_rows,
                      const std::function<std::string_view(std::size_t row, std::size_t col)>& cell,
                      SaveProgress& progress) {
    if (columns > kXlsMaxColumns) {
        throw ETableGridError(
            FormatMsg("Too many columns for an Excel sheet: %s (at most 256)", {std::to_string(columns)}));
    }

    BiffSharedStrings strings;
    std::vector<SheetPlan> sheets = PlanSheets(rows, header_rows);
    // Every sheet row is read twice: once to gather the texts, once to write the cells.
    std::uint64_t sheet_rows = 0;
    for (const SheetPlan& sheet : sheets) sheet_rows += sheet.rows;
    SaveMeter meter(progress, 2 * sheet_rows);
    Gather(strings, sheets, columns, cell, meter);

    // The stream's layout: the globals first (their size does not depend on the offsets they hold), then
    // the sheets, each its frame of fixed records and one LABELSST record per filled cell.
    BiffRecordWriter measure([](const void*, std::size_t) {});
    std::vector<std::uint32_t> offsets(sheets.size());
    Globals(measure, strings, offsets);
    const std::uint64_t globals_size = measure.size();
    Sheet(measure, strings, SheetPlan{}, true, 0, cell, nullptr);
    const std::uint64_t frame_size = measure.size() - globals_size;
    std::uint64_t content = globals_size;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (content > kCompoundMaxStreamSize) throw TooLarge();
        offsets[i] = static_cast<std::uint32_t>(content);
        content += frame_size + sheets[i].filled * kLabelSstSize;
    }
    if (content > kCompoundMaxStreamSize) throw TooLarge();
    // Streams under 4096 bytes would go to the container's mini stream; zeros after the last EOF record
    // lift the stream over that size and are never read.
    const std::uint64_t stream_size = std::max<std::uint64_t>(content, kCompoundMinStreamSize);

    try {
        FileReplacement file(file_name);
        CompoundFileWriter writer(
            [&file](const void* data, std::size_t size) {
                file.Write({static_cast<const char*>(data), size});
            },
            u"Workbook", stream_size);
        BiffRecordWriter out([&writer](const void* data, std::size_t size) { writer.Write(data, size); });
        Globals(out, strings, offsets);
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            Sheet(out, strings, sheets[i], i == 0, columns, cell, &meter);
        }
        out.Flush();
        if (out.size() != content) throw std::logic_error("workbook stream size differs from its plan");
        const std::vector<unsigned char> padding(stream_size - content);
        writer.Write(padding.data(), padding.size());
        writer.Finish();
        file.Commit();
    } catch (const EOutputFile& e) {
        throw GridFileError(file_name, e);
    }
}

}  // namespace tarnwell
