#pragma once

#include <string>
#include <vector>

#include "common/presentation_options.h"

namespace quorlix {

// The fonts that travel with the document, added to the system's font table (visible to every
// program, so the one that opens the document sees them) for as long as the object lives.
// Fonts already installed are left alone; a font the system refuses is skipped.
class FontSession {
public:
    // `folder` is the staging folder holding the package's myfont\ files (trailing '\').
    FontSession(const std::vector<EmbeddedFont>& fonts, const std::wstring& folder);
    ~FontSession();
    FontSession(const FontSession&) = delete;
    FontSession& operator=(const FontSession&) = delete;

private:
    struct Added {
        std::wstring name;
        std::wstring resource;  // the path, or "metrics|outline"
    };
    std::vector<Added> added_;
};

}  // namespace quorlix
