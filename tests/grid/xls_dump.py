"""Reads a file written by the workbook writer with python3-xlrd and prints what a reader sees, for the
C++ tests to compare.

xls_dump.py book FILE
    sheets N
    then for each sheet, numbered from 0:
    sheet S HEX SELECTED            its name in Windows-1251; SELECTED 1 when its tab is selected
    size S ROWS COLUMNS
    dimensions S ROWS COLUMNS       the used range the sheet declares (its DIMENSIONS record)
    cell S ROW COLUMN KIND WRAP HEX one line per non-empty cell; KIND is "text" for a text cell, WRAP 1
                                    when the cell's format wraps its text, HEX the text in Windows-1251
    and at the end:
    index ok|bad                    whether the EXTSST record points at every bucket's first string
    log LINE                        whatever xlrd complained about

xls_dump.py order FILE
    order S TYPE...                 the record types of sheet S's substream in stream order, four hex
                                    digits each, a run of one type written TYPE*COUNT

xls_dump.py stream FILE
    stream SIZE PATTERN LAYOUT      the "Workbook" stream's size; PATTERN "ok" when its bytes hold the
                                    test pattern (each aligned 32-bit word holds its own offset); LAYOUT
                                    "ok" when every sector of the file is used and marked for its use
    log LINE
"""

import array
import io
import struct
import sys

import xlrd
import xlrd.compdoc

TABLE_SECTOR = -3
EXTENSION_SECTOR = -4
FREE_SECTOR = -1
END_OF_CHAIN = -2


def book(path, log):
    workbook = xlrd.open_workbook(path, formatting_info=True, logfile=log)
    print("sheets", workbook.nsheets)
    for s in range(workbook.nsheets):
        sheet = workbook.sheet_by_index(s)
        print("sheet", s, sheet.name.encode("cp1251").hex(), int(sheet.sheet_selected))
        print("size", s, sheet.nrows, sheet.ncols)
        print("dimensions", s, sheet._dimnrows, sheet._dimncols)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                kind = "text" if cell.ctype == xlrd.XL_CELL_TEXT else "other"
                wrap = workbook.xf_list[cell.xf_index].alignment.text_wrapped
                text = cell.value if isinstance(cell.value, str) else str(cell.value)
                print("cell", s, r, c, kind, int(wrap), text.encode("cp1251").hex())
    workbook_stream = xlrd.compdoc.CompDoc(open(path, "rb").read(), logfile=log).get_named_stream("Workbook")
    print("index", "ok" if string_index_ok(workbook_stream) else "bad")


def records(stream, pos=0):
    """The records of the substream that starts at pos, up to its EOF: (type, stream offset, data)."""
    found = []
    while pos + 4 <= len(stream):
        kind, length = struct.unpack_from("<HH", stream, pos)
        found.append((kind, pos, stream[pos + 4 : pos + 4 + length]))
        pos += 4 + length
        if kind == 0x000A:
            break
    return found


def string_index_ok(stream):
    """Walks the SST record and its CONTINUE records string by string and compares where each bucket's
    first string starts with what the EXTSST record says."""
    globals_ = records(stream)
    first = next(i for i, r in enumerate(globals_) if r[0] == 0x00FC)
    parts = [globals_[first]]
    while globals_[first + len(parts)][0] == 0x003C:
        parts.append(globals_[first + len(parts)])
    extsst = globals_[first + len(parts)]
    if extsst[0] != 0x00FF:
        return False
    unique = struct.unpack_from("<i", parts[0][2], 4)[0]
    starts, part, at = [], 0, 8
    for _ in range(unique):
        data = parts[part][2]
        if at == len(data):
            part, at = part + 1, 0
            data = parts[part][2]
        starts.append((parts[part][1] + 4 + at, 4 + at))
        count, flags = struct.unpack_from("<HB", data, at)
        at += 3
        width = 2 if flags & 1 else 1
        while True:
            taken = min(count, (len(data) - at) // width)
            at, count = at + taken * width, count - taken
            if count == 0:
                break
            part, at = part + 1, 1
            data = parts[part][2]
            width = 2 if data[0] & 1 else 1
    ext = extsst[2]
    per_bucket = struct.unpack_from("<H", ext, 0)[0]
    buckets = [struct.unpack_from("<IH", ext, 2 + 8 * k) for k in range((len(ext) - 2) // 8)]
    return (part == len(parts) - 1 and at == len(parts[-1][2]) and per_bucket == max(unique // 128 + 1, 8)
            and buckets == starts[::per_bucket])


def order(path, log):
    content = xlrd.compdoc.CompDoc(open(path, "rb").read(), logfile=log).get_named_stream("Workbook")
    sheet_offsets = [struct.unpack_from("<I", data, 0)[0] for kind, _, data in records(content) if kind == 0x0085]
    for s, offset in enumerate(sheet_offsets):
        runs = []
        for kind, _, _ in records(content, offset):
            if runs and runs[-1][0] == kind:
                runs[-1][1] += 1
            else:
                runs.append([kind, 1])
        print("order", s, " ".join("%04X" % kind + ("*%d" % count if count > 1 else "") for kind, count in runs))


def stream(path, log):
    data = open(path, "rb").read()
    doc = xlrd.compdoc.CompDoc(data, logfile=log)
    content = doc.get_named_stream("Workbook")

    words = len(content) // 4
    pattern = array.array("I", content[: 4 * words]) == array.array("I", range(0, 4 * words, 4))
    pattern = pattern and content[4 * words :] == struct.pack("<I", 4 * words)[: len(content) % 4]

    # xlrd marks each sector it reads: 1 extension of the allocation table, 2 the table itself,
    # 3 the directory, 6 and above a stream. Every sector must be read once, and the table must mark its
    # own sectors and its extension's as such, and leave its entries beyond the file free.
    table_sectors, extension_sectors = struct.unpack("<i", data[44:48])[0], struct.unpack("<i", data[72:76])[0]
    layout = all(doc.seen)
    layout = layout and doc.seen.count(2) == table_sectors and doc.seen.count(1) == extension_sectors
    for sector, use in enumerate(doc.seen):
        if use == 2:
            layout = layout and doc.SAT[sector] == TABLE_SECTOR
        elif use == 1:
            layout = layout and doc.SAT[sector] == EXTENSION_SECTOR
    layout = layout and all(entry == FREE_SECTOR for entry in doc.SAT[len(doc.seen) :])
    # The extension sectors' chain ends with the end-of-chain mark (xlrd would accept a free mark too).
    sector, link = struct.unpack("<i", data[68:72])[0], END_OF_CHAIN
    for _ in range(extension_sectors):
        link = struct.unpack("<i", data[512 + 512 * sector + 508 : 512 + 512 * sector + 512])[0]
        sector = link
    layout = layout and link == END_OF_CHAIN
    print("stream", len(content), "ok" if pattern else "bad", "ok" if layout else "bad")


def main():
    log = io.StringIO()
    {"book": book, "order": order, "stream": stream}[sys.argv[1]](sys.argv[2], log)
    for line in log.getvalue().splitlines():
        print("log", line)


if __name__ == "__main__":
    main()
