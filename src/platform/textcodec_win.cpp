#include "platform/textcodec.h"

#include <windows.h>

namespace platform {

bool DecodeGb18030(std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.empty())
        return true;
    constexpr UINT kGb18030 = 54936;
    const int length = ::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, bytes.data(),
                                             int(bytes.size()), nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring wide(std::size_t(length), L'\0');
    if (::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                              wide.data(), length) != length)
        return false;
    text.assign(wide.begin(), wide.end());
    return true;
}

} // namespace platform
