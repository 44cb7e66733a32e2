#include "text/cp1251_case.h"

namespace tarnwell {

namespace {

constexpr unsigned char kCyrillicCapitalA = 0xC0;  // А; Я is 0xDF, а to я follow at 0xE0
constexpr unsigned char kCyrillicCapitalYa = 0xDF;
constexpr unsigned char kCyrillicCaseDistance = 0x20;
constexpr unsigned char kCapitalYo = 0xA8;  // Ё
constexpr unsigned char kSmallYo = 0xB8;    // ё
constexpr unsigned char kSmallYe = 0xE5;    // е

}  // namespace

unsigned char FoldCp1251(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c - 'A' + 'a');
    if (c >= kCyrillicCapitalA && c <= kCyrillicCapitalYa) return static_cast<unsigned char>(c + kCyrillicCaseDistance);
    if (c == kCapitalYo || c == kSmallYo) return kSmallYe;
    return c;
}

}  // namespace tarnwell
