#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace quorlix {

// A Windows call of the player that failed, with a message for the user.
class StubError : public std::exception {
public:
    explicit StubError(std::wstring message) : message_(std::move(message)) {}

    const char* what() const noexcept override { return "player stub error"; }
    const std::wstring& message() const { return message_; }

private:
    std::wstring message_;
};

// Throws a StubError for `what` with the code of the last failed Windows call.
[[noreturn]] void ThrowLastError(const std::wstring& what);

// ANSI (system code page) text as UTF-16.
std::wstring AnsiToWide(const std::string& text);
// UTF-16 text in the ANSI code page (characters it lacks become its default character), or in
// UTF-8.
std::string WideToAnsi(const std::wstring& text);
std::string WideToUtf8(const std::wstring& text);

}  // namespace quorlix
