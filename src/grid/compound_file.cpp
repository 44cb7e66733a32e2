#include "grid/compound_file.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tarnwell {
namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kIdsPerSector = kSectorSize / 4;
constexpr std::uint32_t kHeaderTableIds = 109;              // table sectors listed in the header
constexpr std::uint32_t kExtensionIds = kIdsPerSector - 1;  // the last slot links the next sector
constexpr std::uint32_t kDirectoryEntrySize = 128;
constexpr std::size_t kMaxNameLength = 31;

// Special sector numbers of the allocation table.
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kTableSector = 0xFFFFFFFD;
constexpr std::uint32_t kExtensionSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;  // directory: no sibling or child

using Sector = std::array<unsigned char, kSectorSize>;

void Put16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t CeilDiv(std::uint64_t a, std::uint64_t b) {
    return static_cast<std::uint32_t>((a + b - 1) / b);
}

// Fills one 128-byte directory entry. Unused entries keep a zero name and type and no links.
void PutDirectoryEntry(unsigned char* at, std::u16string_view name, unsigned char type, std::uint32_t child,
                       std::uint32_t start, std::uint32_t size) {
    for (std::size_t i = 0; i < name.size(); ++i) Put16(at + 2 * i, static_cast<std::uint16_t>(name[i]));
    Put16(at + 64, static_cast<std::uint16_t>(name.empty() ? 0 : 2 * (name.size() + 1)));
    at[66] = type;
    at[67] = type == 0 ? 0 : 1;  // black: the tree has a single node on each level
    Put32(at + 68, kNoEntry);    // left sibling
    Put32(at + 72, kNoEntry);    // right sibling
    Put32(at + 76, child);
    Put32(at + 116, start);
    Put32(at + 120, size);
}

}  // namespace

CompoundFileWriter::CompoundFileWriter(Sink sink, std::u16string_view stream_name, std::uint64_t stream_size)
    : sink_(std::move(sink)), name_(stream_name), size_(stream_size) {
    if (stream_size < kCompoundMinStreamSize || stream_size > kCompoundMaxStreamSize)
        throw std::invalid_argument("compound file stream size out of range");
    if (stream_name.empty() || stream_name.size() > kMaxNameLength)
        throw std::invalid_argument("compound file stream name must have 1 to 31 characters");

    // The table covers every sector including its own and its extension's, so its size is found by
    // growing it until it covers itself.
    stream_sectors_ = CeilDiv(size_, kSectorSize);
    for (;;) {
        std::uint64_t sectors = std::uint64_t{stream_sectors_} + 1 + table_sectors_ + extension_sectors_;
        std::uint32_t table = CeilDiv(sectors, kIdsPerSector);
        std::uint32_t extension = table > kHeaderTableIds ? CeilDiv(table - kHeaderTableIds, kExtensionIds) : 0;
        if (table == table_sectors_ && extension == extension_sectors_) break;
        table_sectors_ = table;
        extension_sectors_ = extension;
    }

    const std::uint32_t directory = stream_sectors_;
    const std::uint32_t first_table = directory + 1;
    const std::uint32_t first_extension = first_table + table_sectors_;

    Sector header{};
    static constexpr unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(kSignature), std::end(kSignature), header.begin());
    Put16(&header[24], 0x003E);  // minor version
    Put16(&header[26], 0x0003);  // major version: 512-byte sectors
    Put16(&header[28], 0xFFFE);  // byte order mark: little-endian
    Put16(&header[30], 9);       // sector size 2^9
    Put16(&header[32], 6);       // mini sector size 2^6
    Put32(&header[44], table_sectors_);
    Put32(&header[48], directory);
    Put32(&header[56], static_cast<std::uint32_t>(kCompoundMinStreamSize));
    Put32(&header[60], kEndOfChain);  // no mini stream allocation table
    Put32(&header[68], extension_sectors_ > 0 ? first_extension : kEndOfChain);
    Put32(&header[72], extension_sectors_);
    for (std::uint32_t i = 0; i < kHeaderTableIds; ++i)
        Put32(&header[76 + 4 * i], i < table_sectors_ ? first_table + i : kFreeSector);
    sink_(header.data(), header.size());
}

void CompoundFileWriter::Write(const void* data, std::size_t size) {
    if (size > size_ - written_) throw std::logic_error("compound file stream longer than declared");
    sink_(data, size);
    written_ += size;
}

void CompoundFileWriter::Finish() {
    if (written_ != size_) throw std::logic_error("compound file stream shorter than declared");
    static constexpr char kZeros[kSectorSize] = {};
    sink_(kZeros, static_cast<std::size_t>(std::uint64_t{stream_sectors_} * kSectorSize - size_));
    WriteDirectory();
    WriteAllocationTable();
    WriteTableExtension();
}

void CompoundFileWriter::WriteDirectory() {
    // The root storage, its one stream, and two unused entries to fill the sector. The root owns no mini
    // stream.
    Sector sector{};
    PutDirectoryEntry(&sector[0], u"Root Entry", 5, 1, kEndOfChain, 0);
    PutDirectoryEntry(&sector[kDirectoryEntrySize], name_, 2, kNoEntry, 0, static_cast<std::uint32_t>(size_));
    for (std::uint32_t i = 2; i < kSectorSize / kDirectoryEntrySize; ++i)
        PutDirectoryEntry(&sector[i * kDirectoryEntrySize], u"", 0, kNoEntry, 0, 0);
    sink_(sector.data(), sector.size());
}

void CompoundFileWriter::WriteAllocationTable() {
    const std::uint32_t directory = stream_sectors_;
    const std::uint32_t first_table = directory + 1;
    const std::uint32_t first_extension = first_table + table_sectors_;
    const std::uint32_t end = first_extension + extension_sectors_;
    auto entry = [&](std::uint32_t id) -> std::uint32_t {
        if (id + 1 < stream_sectors_) return id + 1;  // the stream's sectors run in order
        if (id < first_table) return kEndOfChain;     // the stream's last sector and the directory
        if (id < first_extension) return kTableSector;
        if (id < end) return kExtensionSector;
        return kFreeSector;
    };
    Sector sector{};
    for (std::uint32_t s = 0; s < table_sectors_; ++s) {
        for (std::uint32_t i = 0; i < kIdsPerSector; ++i) Put32(&sector[4 * i], entry(s * kIdsPerSector + i));
        sink_(sector.data(), sector.size());
    }
}

void CompoundFileWriter::WriteTableExtension() {
    const std::uint32_t first_table = stream_sectors_ + 1;
    const std::uint32_t first_extension = first_table + table_sectors_;
    Sector sector{};
    for (std::uint32_t s = 0; s < extension_sectors_; ++s) {
        for (std::uint32_t i = 0; i < kExtensionIds; ++i) {
            std::uint32_t listed = kHeaderTableIds + s * kExtensionIds + i;
            Put32(&sector[4 * i], listed < table_sectors_ ? first_table + listed : kFreeSector);
        }
        Put32(&sector[4 * kExtensionIds], s + 1 < extension_sectors_ ? first_extension + s + 1 : kEndOfChain);
        sink_(sector.data(), sector.size());
    }
}

}  // namespace tarnwell
