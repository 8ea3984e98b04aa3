#pragma once

#include <fontconfig/fontconfig.h>

#include <memory>

#include "platform/function_deleter.h"

namespace quorlix {

using FcConfigPtr = std::unique_ptr<FcConfig, FunctionDeleter<FcConfigDestroy>>;
using FcPatternPtr = std::unique_ptr<FcPattern, FunctionDeleter<FcPatternDestroy>>;
using FcObjectSetPtr = std::unique_ptr<FcObjectSet, FunctionDeleter<FcObjectSetDestroy>>;
using FcFontSetPtr = std::unique_ptr<FcFontSet, FunctionDeleter<FcFontSetDestroy>>;

}  // namespace quorlix
