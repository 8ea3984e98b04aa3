#pragma once

#include <locale>
#include <string>

namespace quorlix {

// Case-insensitive sort keys for UTF-8 text in the collation order of a locale.
class CaseInsensitiveCollation {
public:
    // The user's locale (from the environment); "C" order when that locale is not installed.
    CaseInsensitiveCollation();
    // The named locale; "C" order when it is not installed.
    explicit CaseInsensitiveCollation(const std::string& localeName);

    // A key that compares below another key exactly when its text sorts first.
    std::wstring Key(const std::string& utf8) const;

private:
    std::locale locale_;
};

// UTF-8 text as wide characters; a byte that is not part of a valid sequence becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);

}  // namespace quorlix
