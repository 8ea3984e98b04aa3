// Enhanced metafiles, turned into an SVG document by libemf2svg and drawn by librsvg.
#include <cstdlib>
#include <memory>
#include <string>

#include <emf2svg.h>

#include "imaging/decoders.h"
#include "platform/error.h"

namespace quorlix {

namespace {

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

}  // namespace

RgbaImage DecodeEmf(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    char svgNamespace[] = "svg";
    generatorOptions options{};
    options.nameSpace = svgNamespace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    std::size_t length = 0;
    // libemf2svg reads the bytes without changing them, through a non-const pointer.
    auto* contents = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
    const int ok = emf2svg(contents, bytes.size(), &out, &length, &options);
    const std::unique_ptr<char, FreeDeleter> svg(out);
    if (ok == 0 || svg == nullptr) {
        throw Error("Damaged EMF picture: the records could not be read");
    }
    return RasteriseSvg(std::string_view(svg.get(), length), maxPixels);
}

}  // namespace quorlix
