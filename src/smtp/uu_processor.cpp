#include "smtp/uu_processor.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace tarnwell {
namespace {

constexpr char kMimeAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kUUAlphabet[] = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
static_assert(sizeof kMimeAlphabet == 65 && sizeof kUUAlphabet == 65);

constexpr std::size_t kBytesPerLine = 45;

void EncodeLine(const unsigned char* in, std::size_t n, UUMethod method, const char* alphabet, std::string& line) {
    line.clear();
    if (method == uuCode) line += alphabet[n];
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        line += alphabet[in[i] >> 2];
        line += alphabet[((in[i] & 0x03) << 4) | (in[i + 1] >> 4)];
        line += alphabet[((in[i + 1] & 0x0f) << 2) | (in[i + 2] >> 6)];
        line += alphabet[in[i + 2] & 0x3f];
    }
    if (n - i == 1) {
        line += alphabet[in[i] >> 2];
        line += alphabet[(in[i] & 0x03) << 4];
        if (method == uuMime) line += "==";
    } else if (n - i == 2) {
        line += alphabet[in[i] >> 2];
        line += alphabet[((in[i] & 0x03) << 4) | (in[i + 1] >> 4)];
        line += alphabet[(in[i + 1] & 0x0f) << 2];
        if (method == uuMime) line += '=';
    }
    line += "\r\n";
}

}  // namespace

std::string MimeBase64(std::string_view bytes) {
    std::string text;
    std::string line;
    // Whole lines of 45 bytes leave no padding inside, so the lines joined without their ends are one
    // valid run.
    for (std::size_t at = 0; at < bytes.size(); at += kBytesPerLine) {
        const std::size_t n = std::min(kBytesPerLine, bytes.size() - at);
        EncodeLine(reinterpret_cast<const unsigned char*>(bytes.data() + at), n, uuMime, kMimeAlphabet, line);
        text.append(line, 0, line.size() - 2);
    }
    return text;
}

void TUUProcessor::Encode() {
    // Setting the output's position to 0 also writes out a buffered output.
    auto end_encode = [this] {
        if (OutputStream) OutputStream->SetPosition(0);
        if (OnEndEncode) OnEndEncode(*this);
    };
    try {
        InputStream->SetPosition(0);
        if (OnBeginEncode) OnBeginEncode(*this);
        const char* alphabet = Method == uuCode ? kUUAlphabet : kMimeAlphabet;
        unsigned char chunk[kBytesPerLine];
        std::string line;
        for (;;) {
            std::size_t n = InputStream->Read(chunk, kBytesPerLine);
            if (n == 0) break;
            EncodeLine(chunk, n, Method, alphabet, line);
            OutputStream->WriteBuffer(line);
        }
        if (Method == uuCode) OutputStream->WriteBuffer(std::string{alphabet[0]} + "\r\n");
    } catch (...) {
        try {
            end_encode();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    end_encode();
}

}  // namespace tarnwell
