#pragma once

namespace tarnwell {

// The letter case of Windows-1251 text set aside: Latin A-Z become a-z, Cyrillic А-Я become а-я, Ё and ё
// become е; every other byte stays as it is. Texts compared byte by byte after folding then differ only
// where their letters do.
unsigned char FoldCp1251(unsigned char c);

}  // namespace tarnwell
