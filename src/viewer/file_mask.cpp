#include "viewer/file_mask.h"

namespace tarnwell {
namespace {

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// One mask without ';'. The last '*' seen is the only place to back up to: a later '*' can always take
// over what an earlier one would have matched, so the walk stays linear in practice and never explodes.
bool MatchesGlob(std::string_view name, std::string_view glob) {
    std::size_t n = 0;
    std::size_t g = 0;
    std::size_t star = std::string_view::npos;
    std::size_t star_n = 0;
    while (n < name.size()) {
        if (g < glob.size() && glob[g] == '*') {
            star = g++;
            star_n = n;
        } else if (g < glob.size() && (glob[g] == '?' || FoldCase(glob[g]) == FoldCase(name[n]))) {
            ++g;
            ++n;
        } else if (star != std::string_view::npos) {
            g = star + 1;
            n = ++star_n;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') ++g;
    return g == glob.size();
}

bool MatchesOne(std::string_view name, std::string_view glob) {
    if (MatchesGlob(name, glob)) return true;
    // "readme.*" takes "readme", "*.*" takes "notes".
    return glob.size() >= 2 && glob.substr(glob.size() - 2) == ".*" &&
           MatchesGlob(name, glob.substr(0, glob.size() - 2));
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    for (;;) {
        std::size_t semicolon = mask.find(';');
        std::string_view one = mask.substr(0, semicolon);
        if (!one.empty() && MatchesOne(name, one)) return true;
        if (semicolon == std::string_view::npos) return false;
        mask.remove_prefix(semicolon + 1);
    }
}

}  // namespace tarnwell
