#pragma once

#include <string_view>

namespace tarnwell {

// Orders Windows-1251 texts as a Russian reader looks them up: letters in the order of the alphabet with
// their case ignored, Ё beside Е (ёж after еж, before ез), Latin letters before Cyrillic ones, digits and
// signs before both; a text before every longer text that begins with it. Texts that differ only in case
// or in Ё against Е then go е before ё, capital before small, so that no two different texts compare
// equal and a sort gives the same order whatever order the rows came in. The same on every platform:
// the machine's locale plays no part.
//
// Less than zero when `a` goes first, zero when the texts are equal, more than zero when `b` goes first.
int CollateCp1251(std::string_view a, std::string_view b);

}  // namespace tarnwell
