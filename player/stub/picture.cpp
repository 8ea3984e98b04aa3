#include "stub/picture.h"

#include <objbase.h>
#include <wincodec.h>

#include <vector>

#include "stub/win_file.h"

namespace quorlix {

namespace {

// Pictures larger than this in either direction, or in pixels, are refused.
constexpr UINT kMaxSide = 16384;
constexpr unsigned long long kMaxPixels = 64ull << 20;
constexpr int kMaxMetafileSide = 4096;

constexpr CLSID kWicFactory = {
    0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr GUID kPbgra32 = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

// A COM interface pointer released when the object goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

std::unique_ptr<Picture> DecodeWithWic(const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(kWicFactory, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IWICImagingFactory),
                                reinterpret_cast<void**>(factory.out())))) {
        return nullptr;
    }
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.get(), kPbgra32, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height))) {
        return nullptr;
    }
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        1ull * width * height > kMaxPixels) {
        return nullptr;
    }
    std::unique_ptr<Picture> picture =
        Picture::Create(static_cast<int>(width), static_cast<int>(height));
    const UINT stride = width * 4;
    if (!picture || FAILED(converter->CopyPixels(nullptr, stride, stride * height,
                                                 reinterpret_cast<BYTE*>(picture->pixels())))) {
        return nullptr;
    }
    return picture;
}

std::vector<std::uint8_t> ReadSmallFile(const std::wstring& path) {
    WinFileSource file(path);
    if (file.Size() > (64u << 20)) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    file.ReadAt(0, bytes.data(), bytes.size());
    return bytes;
}

// An enhanced metafile from an EMF file or a Windows metafile (with or without the placeable
// header).
HENHMETAFILE OpenMetafile(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadSmallFile(path);
    } catch (...) {
        return nullptr;
    }
    if (bytes.size() >= 44 && bytes[40] == ' ' && bytes[41] == 'E' && bytes[42] == 'M' &&
        bytes[43] == 'F') {
        return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
    }
    std::size_t skip = 0;
    if (bytes.size() >= 22 && (bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                               static_cast<std::uint32_t>(bytes[3]) << 24) == kPlaceableKey) {
        skip = 22;
    }
    // A Windows metafile header: type 1 (memory) or 2 (disk), header size 9 words.
    if (bytes.size() <= skip + 18 || (bytes[skip] != 1 && bytes[skip] != 2) ||
        bytes[skip + 1] != 0 || bytes[skip + 2] != 9 || bytes[skip + 3] != 0) {
        return nullptr;
    }
    return SetWinMetaFileBits(static_cast<UINT>(bytes.size() - skip), bytes.data() + skip, nullptr,
                              nullptr);
}

std::unique_ptr<Picture> DrawMetafile(const std::wstring& path) {
    HENHMETAFILE metafile = OpenMetafile(path);
    if (metafile == nullptr) {
        return nullptr;
    }
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof(header), &header);
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const long width = MulDiv(header.rclFrame.right - header.rclFrame.left, dpiX, 2540);
    const long height = MulDiv(header.rclFrame.bottom - header.rclFrame.top, dpiY, 2540);
    std::unique_ptr<Picture> picture;
    if (width > 0 && height > 0 && width <= kMaxMetafileSide && height <= kMaxMetafileSide) {
        picture = Picture::Create(width, height);
    }
    if (picture) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, picture->bitmap());
        RECT area = {0, 0, width, height};
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc, metafile, &area);
        GdiFlush();
        SelectObject(dc, old);
        DeleteDC(dc);
        picture->MakeOpaque();
    }
    DeleteEnhMetaFile(metafile);
    return picture;
}

}  // namespace

std::unique_ptr<Picture> Picture::Create(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<Picture>(
        new Picture(bitmap, static_cast<std::uint32_t*>(bits), width, height));
}

Picture::~Picture() {
    DeleteObject(bitmap_);
}

void Picture::FillTransparentWith(COLORREF key) {
    const std::uint32_t pixel =
        0xFF000000u | GetRValue(key) << 16 | GetGValue(key) << 8 | GetBValue(key);
    const std::size_t count = static_cast<std::size_t>(width_) * height_;
    for (std::size_t i = 0; i < count; ++i) {
        if ((pixels_[i] >> 24) != 0xFF) {
            pixels_[i] = pixel;
        }
    }
}

void Picture::MakeOpaque() {
    const std::size_t count = static_cast<std::size_t>(width_) * height_;
    for (std::size_t i = 0; i < count; ++i) {
        pixels_[i] |= 0xFF000000u;
    }
}

std::unique_ptr<Picture> Picture::Load(const std::wstring& path, PictureKind kind) {
    if (kind == PictureKind::Metafile) {
        return DrawMetafile(path);
    }
    std::unique_ptr<Picture> picture = DecodeWithWic(path);
    return picture ? std::move(picture) : DrawMetafile(path);
}

}  // namespace quorlix
