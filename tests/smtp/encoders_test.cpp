#include <gtest/gtest.h>

#include "smtp/buffer_stream.h"
#include "smtp/uu_processor.h"

namespace tarnwell {
namespace {

std::string Encoded(UUMethod method, const std::string& bytes) {
    MemoryStream input;
    input.WriteBuffer(bytes);
    MemoryStream target;
    TBufferStream output(target);
    TUUProcessor processor;
    processor.Method = method;
    processor.InputStream = &input;
    processor.OutputStream = &output;
    int begins = 0, ends = 0;
    processor.OnBeginEncode = [&](TUUProcessor&) { ++begins; };
    processor.OnEndEncode = [&](TUUProcessor&) { ++ends; };
    processor.Encode();
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    return target.Data();  // complete: the encoder's last step wrote the buffer out
}

std::string Hundred() {
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += static_cast<char>(i * 7);
    return bytes;
}

TEST(TUUProcessor, EncodesInLinesOf45Bytes) {
    struct Case {
        UUMethod method;
        std::string input;
        std::string output;
    } cases[] = {
        {uuCode, "abc", "#86)C\r\n`\r\n"},  {uuCode, "a", "!80\r\n`\r\n"},
        {uuCode, "ab", "\"86(\r\n`\r\n"},   {uuCode, "", "`\r\n"},
        {uuMime, "abc", "YWJj\r\n"},        {uuMime, "a", "YQ==\r\n"},
        {uuMime, "ab", "YWI=\r\n"},         {uuMime, "", ""},
        {uuMime, "foobar", "Zm9vYmFy\r\n"}, {uuMime, std::string("\0\xff\xfe", 3), "AP/+\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Encoded(c.method, c.input), c.output) << c.method << " " << c.input;
}

TEST(TUUProcessor, AHundredBytesMakeTwoFullLinesAndAShortOne) {
    std::string mime = Encoded(uuMime, Hundred());
    std::string uu = Encoded(uuCode, Hundred());
    auto line_lengths = [](const std::string& text) {
        std::vector<std::size_t> lengths;
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lengths.push_back(end - start);
        return lengths;
    };
    EXPECT_EQ(line_lengths(mime), (std::vector<std::size_t>{60, 60, 16}));
    EXPECT_EQ(line_lengths(uu), (std::vector<std::size_t>{61, 61, 15, 1}));
    EXPECT_EQ(uu[0], 'M');
    EXPECT_EQ(uu[63], 'M');
    EXPECT_EQ(uu[126], '*');  // 10 bytes
    EXPECT_EQ(mime.substr(124, 16), "dn2Ei5KZoKeutQ==");
}

// A stream that takes only part of what it is given.
struct ShortWriter : MemoryStream {
    std::size_t Write(const void* buffer, std::size_t count) override { return MemoryStream::Write(buffer, count / 2); }
};

TEST(TBufferStream, CollectsWritesUntilFullOrSeekAndReportsItsFailures) {
    MemoryStream target;
    {
        TBufferStream buffered(target);
        buffered.WriteBuffer(std::string(1000, 'a'));
        EXPECT_EQ(target.Data().size(), 0u);
        buffered.WriteBuffer(std::string(TBufferStream::kBufferSize, 'b'));
        EXPECT_EQ(target.Data().size(), TBufferStream::kBufferSize) << "a full buffer goes out";
        buffered.SetPosition(0);
        EXPECT_EQ(target.Data().size(), 1000 + TBufferStream::kBufferSize);
        char first[3] = {};
        EXPECT_EQ(buffered.Read(first, 3), 3u);
        buffered.PutBack('z');
        EXPECT_EQ(buffered.Read(first, 2), 2u);
        EXPECT_EQ(std::string(first, 2), "za");
        buffered.SetPosition(target.Size());
        buffered.WriteBuffer("tail");
    }
    EXPECT_EQ(target.Data().substr(target.Data().size() - 4), "tail") << "destruction writes out the rest";

    TBufferStream fresh(target);
    EXPECT_THROW(fresh.PutBack('x'), EStreamError);
    try {
        fresh.Seek(0, 7);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Invalid seek origin = 7");
    }

    ShortWriter short_target;
    TBufferStream failing(short_target);
    failing.WriteBuffer("0123456789");
    try {
        failing.SetPosition(0);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Seek error");
    }
}

}  // namespace
}  // namespace tarnwell
