#include "platform/textcodec.h"

#include <iconv.h>
#include <vector>

namespace platform {

DecodeResult DecodeGb18030(std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.empty())
        return DecodeResult::Decoded;
    iconv_t converter = ::iconv_open("UTF-16LE", "GB18030");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return DecodeResult::Unavailable;
    // At most two UTF-16 units (four bytes) per input byte, for a four-byte sequence
    // that becomes a surrogate pair; less for every other sequence.
    std::vector<char> out(bytes.size() * 4 + 4);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outNext = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = ::iconv(converter, &in, &inLeft, &outNext, &outLeft);
    ::iconv_close(converter);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0)
        return DecodeResult::Invalid;
    const std::size_t units = std::size_t(outNext - out.data()) / 2;
    text.resize(units);
    for (std::size_t i = 0; i < units; ++i)
        text[i] = char16_t(static_cast<unsigned char>(out[2 * i]) |
                           static_cast<unsigned char>(out[2 * i + 1]) << 8);
    return DecodeResult::Decoded;
}

} // namespace platform
