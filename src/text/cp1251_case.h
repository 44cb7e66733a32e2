#pragma once

namespace tarnwell {

// The byte a Windows-1251 byte is compared as when letter case does not matter: Latin A-Z as a-z,
// Cyrillic А-Я as а-я, and Ё and ё as е (a Russian text writes е for ё as often as not). Every other
// byte stands for itself.
unsigned char FoldCp1251(unsigned char c);

}  // namespace tarnwell
