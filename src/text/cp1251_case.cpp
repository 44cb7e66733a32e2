#include "text/cp1251_case.h"

#include <array>

namespace tarnwell {
namespace {

constexpr unsigned char kCyrillicCapitalA = 0xC0;   // А; Я is 0xDF, а to я are 0xE0 to 0xFF
constexpr unsigned char kCyrillicCapitalIo = 0xA8;  // Ё
constexpr unsigned char kCyrillicSmallIo = 0xB8;    // ё
constexpr unsigned char kCyrillicSmallIe = 0xE5;    // е

constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 'A' + 'a');
    for (int c = kCyrillicCapitalA; c < kCyrillicCapitalA + 32; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
    }
    table[kCyrillicCapitalIo] = kCyrillicSmallIe;
    table[kCyrillicSmallIo] = kCyrillicSmallIe;
    return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

}  // namespace

unsigned char FoldCp1251(unsigned char c) {
    return kFold[c];
}

}  // namespace tarnwell
