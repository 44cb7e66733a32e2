#include "files/native_path.h"

#include "text/cp1251.h"

namespace tarnwell {

std::filesystem::path NativePath(std::string_view path) {
    return std::filesystem::path(Cp1251ToUtf16(path));
}

std::string FromNativePath(const std::filesystem::path& path) {
    return Utf16ToCp1251(path.u16string());
}

}  // namespace tarnwell
