#include "report/save_as.h"

namespace tarnwell {

std::string_view FileExtension(std::string_view file_name) {
    const std::size_t dot = file_name.rfind('.');
    if (dot == std::string_view::npos) return {};
    const std::size_t separator = file_name.find_last_of("\\/:");
    if (separator != std::string_view::npos && separator > dot) return {};
    return file_name.substr(dot);
}

std::string AddExt(std::string_view file_name, std::string_view default_ext) {
    const std::string_view wanted = default_ext == kXlsExt ? ".xls" : ".htm";
    std::string name(file_name);
    if (FileExtension(file_name) != wanted) name.append(wanted);
    return name;
}

std::string_view ExtForFileType(int file_type) {
    return file_type == 1 ? kHtmlExt : kXlsExt;
}

}  // namespace tarnwell
