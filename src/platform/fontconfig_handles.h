#pragma once

#include <fontconfig/fontconfig.h>

#include <memory>

namespace quorlix {

// Releases a fontconfig object through its destroy function.
template <auto destroy>
struct FontconfigDeleter {
    template <typename T>
    void operator()(T* object) const {
        destroy(object);
    }
};

using FcConfigPtr = std::unique_ptr<FcConfig, FontconfigDeleter<FcConfigDestroy>>;
using FcPatternPtr = std::unique_ptr<FcPattern, FontconfigDeleter<FcPatternDestroy>>;
using FcObjectSetPtr = std::unique_ptr<FcObjectSet, FontconfigDeleter<FcObjectSetDestroy>>;
using FcFontSetPtr = std::unique_ptr<FcFontSet, FontconfigDeleter<FcFontSetDestroy>>;

}  // namespace quorlix
