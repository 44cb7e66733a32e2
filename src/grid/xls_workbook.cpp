#include "grid/xls_workbook.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "grid/biff8_record.h"
#include "grid/biff8_shared_strings.h"
#include "grid/compound_file.h"
#include "grid/table_grid_error.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"
#include "text/message.h"

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

// A cell's entry in the table gathered before writing: its string index, with the top bit set when the
// text holds a line feed; or kBlank.
constexpr std::uint32_t kBlank = 0xFFFFFFFF;
constexpr std::uint32_t kWrapBit = 0x80000000;

std::string ColumnName(std::size_t col) {
    std::string name;
    for (std::size_t n = col + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

ETableGridError TooLarge() {
    return ETableGridError("Table too large for an Excel workbook: more than 2 GB");
}

// Everything the sheet needs, gathered in one pass over the cells before the file is opened, so that a
// refusal leaves nothing behind and the stream's size is known for the container's header.
struct SheetContent {
    BiffSharedStrings strings;
    std::vector<std::uint32_t> cells;  // row by row
    std::size_t filled = 0;
    std::size_t first_row = std::numeric_limits<std::size_t>::max();
    std::size_t last_row = 0;
    std::size_t first_col = std::numeric_limits<std::size_t>::max();
    std::size_t last_col = 0;
};

void Gather(SheetContent& sheet, std::size_t rows, std::size_t columns,
            const std::function<std::string_view(std::size_t, std::size_t)>& cell) {
    sheet.cells.assign(rows * columns, kBlank);
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            std::string_view text = cell(r, c);
            if (text.empty()) continue;
            if (text.size() > kMaxCellText) {
                throw ETableGridError(FormatMsg("Text of cell %s too long for Excel: %s characters (at most 32767)",
                                                {ColumnName(c) + std::to_string(r + 1), std::to_string(text.size())}));
            }
            std::uint32_t index = sheet.strings.Add(text);
            if (text.find('\n') != std::string_view::npos) index |= kWrapBit;
            sheet.cells[r * columns + c] = index;
            ++sheet.filled;
            sheet.first_row = std::min(sheet.first_row, r);
            sheet.last_row = r;
            sheet.first_col = std::min(sheet.first_col, c);
            sheet.last_col = std::max(sheet.last_col, c);
            // Stop before memory runs out on a table that could never be written anyway.
            if (sheet.strings.StringBytes() + sheet.filled * kLabelSstSize > kCompoundMaxStreamSize) throw TooLarge();
        }
    }
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

// The workbook globals substream, followed by the sheet at `sheet_offset` in the stream.
void Globals(BiffRecordWriter& out, const BiffSharedStrings& strings, std::uint32_t sheet_offset) {
    Bof(out, kGlobalsSubstream);
    out.Begin(BiffRecord::kCodePage);
    out.U16(kUtf16CodePage);
    out.End();
    Window1(out);
    Fonts(out);
    Formats(out);

    out.Begin(BiffRecord::kBoundSheet);
    out.U32(sheet_offset);
    out.U8(0);  // visible
    out.U8(0);  // worksheet
    out.ShortString(Cp1251ToUtf16("Лист1"_cp));
    out.End();

    strings.WriteRecords(out);
    Eof(out);
}

void SheetHead(BiffRecordWriter& out, const SheetContent& sheet) {
    Bof(out, kWorksheetSubstream);
    out.Begin(BiffRecord::kDimensions);
    bool any = sheet.filled > 0;
    out.U32(any ? static_cast<std::uint32_t>(sheet.first_row) : 0);
    out.U32(any ? static_cast<std::uint32_t>(sheet.last_row + 1) : 0);
    out.U16(any ? static_cast<std::uint16_t>(sheet.first_col) : 0);
    out.U16(any ? static_cast<std::uint16_t>(sheet.last_col + 1) : 0);
    out.U16(0);
    out.End();

    out.Begin(BiffRecord::kWindow2);
    out.U16(0x06B6);  // grid lines, headings, zeros, outline symbols; sheet selected and shown
    out.U16(0);       // top row
    out.U16(0);       // left column
    out.U32(64);      // heading colour: the window's text
    out.U16(0);       // zoom: default
    out.U16(0);
    out.U32(0);
    out.End();
}

// The worksheet substream, its cells in row order.
void Sheet(BiffRecordWriter& out, const SheetContent& sheet, std::size_t columns) {
    SheetHead(out, sheet);
    for (std::size_t i = 0; i < sheet.cells.size(); ++i) {
        std::uint32_t entry = sheet.cells[i];
        if (entry == kBlank) continue;
        out.Begin(BiffRecord::kLabelSst);
        out.U16(static_cast<std::uint16_t>(i / columns));
        out.U16(static_cast<std::uint16_t>(i % columns));
        out.U16((entry & kWrapBit) != 0 ? kWrappedCellXf : kCellXf);
        out.U32(entry & ~kWrapBit);
        out.End();
    }
    Eof(out);
}

std::filesystem::path NativePath(const std::string& name) {
#ifdef _WIN32
    return std::filesystem::path(Cp1251ToUtf16(name));
#else
    return std::filesystem::path(name);
#endif
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The workbook is written to a temporary file beside the target, which replaces the target only once it
// is complete; on any failure the temporary file is removed and the target stays as it was.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) : target_(target) {
        if (target.empty() || target.find('\0') != std::string::npos) throw CannotCreate();
        std::error_code ec;
        path_ = NativePath(target + ".tmp");
        for (int n = 1; std::filesystem::exists(path_, ec); ++n) {
            path_ = NativePath(target + "." + std::to_string(n) + ".tmp");
        }
#ifdef _WIN32
        file_.reset(_wfopen(path_.c_str(), L"wb"));
#else
        file_.reset(std::fopen(path_.c_str(), "wb"));
#endif
        if (!file_) throw CannotCreate();
    }
    ~TemporaryFile() {
        file_.reset();
        if (!path_.empty()) {
            std::error_code ec;
            std::filesystem::remove(path_, ec);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Write(const void* data, std::size_t size) {
        if (size > 0 && std::fwrite(data, 1, size, file_.get()) != size) throw CannotWrite(errno);
    }
    // Closes the file (where a full disk often shows) and renames it over the target.
    void Commit() {
        if (std::fclose(file_.release()) != 0) throw CannotWrite(errno);
        std::error_code ec;
        std::filesystem::rename(path_, NativePath(target_), ec);
        if (ec) throw CannotCreate();
        path_.clear();
    }

private:
    ETableGridError CannotCreate() const {
        return ETableGridError("Cannot Create file " + target_);
    }
    ETableGridError CannotWrite(int error) const {
        return ETableGridError("Cannot write file " + target_ + ": " + std::strerror(error));
    }

    std::string target_;
    std::filesystem::path path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
};

}  // namespace

void WriteXlsWorkbook(const std::string& file_name, std::size_t rows, std::size_t columns,
                      const std::function<std::string_view(std::size_t row, std::size_t col)>& cell) {
    if (rows > kXlsMaxRows) {
        throw ETableGridError(
            FormatMsg("Too many rows for an Excel sheet: %s (at most 65536)", {std::to_string(rows)}));
    }
    if (columns > kXlsMaxColumns) {
        throw ETableGridError(
            FormatMsg("Too many columns for an Excel sheet: %s (at most 256)", {std::to_string(columns)}));
    }

    SheetContent sheet;
    Gather(sheet, rows, columns, cell);
    // The globals are measured first: the sheet's offset comes in them, and the stream's size in the
    // container's header.
    BiffRecordWriter measure([](const void*, std::size_t) {});
    Globals(measure, sheet.strings, 0);
    const std::uint64_t globals_size = measure.size();
    Sheet(measure, sheet, columns);
    measure.Flush();
    const std::uint64_t content = measure.size();
    if (content > kCompoundMaxStreamSize) throw TooLarge();
    // Streams under 4096 bytes would go to the container's mini stream; zeros after the last EOF record
    // lift the stream over that size and are never read.
    const std::uint64_t stream_size = std::max<std::uint64_t>(content, kCompoundMinStreamSize);

    TemporaryFile file(file_name);
    CompoundFileWriter writer([&file](const void* data, std::size_t size) { file.Write(data, size); }, u"Workbook",
                              stream_size);
    BiffRecordWriter out([&writer](const void* data, std::size_t size) { writer.Write(data, size); });
    Globals(out, sheet.strings, static_cast<std::uint32_t>(globals_size));
    Sheet(out, sheet, columns);
    out.Flush();
    const std::vector<unsigned char> padding(stream_size - content);
    writer.Write(padding.data(), padding.size());
    writer.Finish();
    file.Commit();
}

}  // namespace tarnwell
