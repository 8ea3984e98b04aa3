#include "stub/stub_error.h"

namespace quorlix {

void ThrowLastError(const std::wstring& what) {
    const DWORD code = GetLastError();
    throw StubError(what + L" (Windows error " + std::to_wstring(code) + L")");
}

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

}  // namespace quorlix
