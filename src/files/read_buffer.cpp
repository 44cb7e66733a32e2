#include "files/read_buffer.h"

#include <new>
#include <stdexcept>

#include "text/error.h"
#include "text/message.h"

namespace tarnwell {

std::string ReserveReadBuffer(unsigned long long size, const std::string& file_name) {
    auto no_memory = [&] { return Error(FormatMsg("Not enough memory to read file %s", {file_name})); };
    std::string text;
    if (size > text.max_size()) throw no_memory();
    try {
        text.reserve(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        throw no_memory();
    } catch (const std::length_error&) {
        throw no_memory();
    }
    return text;
}

}  // namespace tarnwell
