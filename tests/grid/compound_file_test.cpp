#include "grid/compound_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "xls_read_back.h"

namespace tarnwell {
namespace {

using ::testing::ElementsAre;

// Stream sizes around the container's layout changes: the smallest stream, a stream one byte into a
// further sector, the largest stream whose allocation table is listed in the header alone (109 table
// sectors), one byte more (one extension sector), and the first size that needs two extension sectors.
constexpr std::uint64_t kSizes[] = {4096, 4097, 7087104, 7087105, 15345152};

class CompoundFile : public xls_test::ScratchFolder, public ::testing::WithParamInterface<std::uint64_t> {};

// The stream holds a counting pattern (each aligned 32-bit word its own offset), so a sector out of order,
// lost or doubled shows; xlrd reads it back through the container's tables.
TEST_P(CompoundFile, StreamReadsBackThroughTheAllocationTable) {
    if (!xls_test::HavePython()) GTEST_SKIP() << "no Python in this build";
    const std::uint64_t size = GetParam();
    std::string file = PathOf("stream.bin");
    {
        std::ofstream out(file, std::ios::binary);
        CompoundFileWriter writer(
            [&out](const void* data, std::size_t n) { out.write(static_cast<const char*>(data), n); }, u"Workbook",
            size);
        std::vector<unsigned char> chunk;
        for (std::uint64_t offset = 0; offset < size; offset += chunk.size()) {
            chunk.clear();
            for (std::uint64_t i = offset; i < size && chunk.size() < 100000; ++i)
                chunk.push_back(static_cast<unsigned char>((i & ~std::uint64_t{3}) >> (8 * (i & 3))));
            writer.Write(chunk.data(), chunk.size());
        }
        writer.Finish();
        ASSERT_TRUE(out.good());
    }
    EXPECT_THAT(xls_test::RunXlsDump("stream", file), ElementsAre("stream " + std::to_string(size) + " ok ok"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompoundFile, ::testing::ValuesIn(kSizes));

}  // namespace
}  // namespace tarnwell
