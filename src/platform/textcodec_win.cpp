#include "platform/textcodec.h"

#include <windows.h>

namespace platform {

DecodeResult DecodeGb18030(std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.empty())
        return DecodeResult::Decoded;
    constexpr UINT kGb18030 = 54936;
    if (!::IsValidCodePage(kGb18030))
        return DecodeResult::Unavailable;
    const int length = ::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, bytes.data(),
                                             int(bytes.size()), nullptr, 0);
    if (length <= 0)
        return ::GetLastError() == ERROR_NO_UNICODE_TRANSLATION ? DecodeResult::Invalid
                                                                : DecodeResult::Unavailable;
    std::wstring wide(std::size_t(length), L'\0');
    if (::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                              wide.data(), length) != length)
        return DecodeResult::Invalid;
    text.assign(wide.begin(), wide.end());
    return DecodeResult::Decoded;
}

} // namespace platform
