#include "stub/stub_error.h"

namespace quorlix {

namespace {

std::string Narrow(const std::wstring& text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr,
                            nullptr);
    }
    return narrow;
}

}  // namespace

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

std::string WideToAnsi(const std::wstring& text) {
    return Narrow(text, CP_ACP);
}

std::string WideToUtf8(const std::wstring& text) {
    return Narrow(text, CP_UTF8);
}

}  // namespace quorlix
