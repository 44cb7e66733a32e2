#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "smtp/stream.h"

namespace tarnwell {

// A fixed underlying type: any value but uuCode encodes as MIME, without undefined behaviour.
enum UUMethod : int { uuMime = 0, uuCode = 1 };

// Encodes a stream as text lines of 45 bytes each: Base64 (uuMime, with "=" padding) or the
// uuencode alphabet (uuCode: value 0 is "`", 1 to 63 are "!" to "_", each line led by the character of
// its byte count, the data closed by a line holding only "`"; no begin and end lines).
class TUUProcessor {
public:
    UUMethod Method = uuMime;
    std::function<void(TUUProcessor&)> OnBeginEncode;
    std::function<void(TUUProcessor&)> OnEndEncode;
    TStream* InputStream = nullptr;
    TStream* OutputStream = nullptr;

    // Encodes InputStream from its start into OutputStream, every line ended by CR LF. At the end, also
    // after a failure, sets the output's position to 0 and calls OnEndEncode.
    void Encode();
};

// The bytes in Base64 with "=" padding, as one run of characters without line ends.
std::string MimeBase64(std::string_view bytes);

}  // namespace tarnwell
