#pragma once

#include <string>

namespace tarnwell {

// The wording of a socket error number: "10061:Connection refused" (number, colon, text, no blank),
// "Unknown Error No. <n>" for a number the table lacks, and the empty text for 0.
std::string SocketErrorText(int error_no);

}  // namespace tarnwell
