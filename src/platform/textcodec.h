#pragma once
#include <string>
#include <string_view>

namespace platform {

enum class DecodeResult {
    Decoded,
    Invalid,     // a sequence that is not GB18030, an incomplete one at the end included
    Unavailable, // the system has no GB18030 converter (Wine, for one, lacks code page 54936)
};

// Decodes GB18030 bytes (the encoding Chinese Windows and its spreadsheets write) into
// UTF-16; text is unspecified unless Decoded. The system's own converter does the work
// (iconv, or Windows' code page 54936), so no table of our own is needed.
DecodeResult DecodeGb18030(std::string_view bytes, std::u16string& text);

} // namespace platform
