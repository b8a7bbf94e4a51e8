#pragma once
#include <string>
#include <string_view>

namespace platform {

// Decodes GB18030 bytes (the encoding Chinese Windows and its spreadsheets write) into
// UTF-16. False when the bytes hold a sequence that is not GB18030, an incomplete one at
// the end included; text is then unspecified. The system's own converter does the work
// (iconv, or Windows' code page 54936), so no table of our own is needed.
bool DecodeGb18030(std::string_view bytes, std::u16string& text);

} // namespace platform
