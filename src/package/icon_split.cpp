#include "package/icon_split.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/byte_order.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace quorlix {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kSingleHeaderSize = kHeaderSize + kEntrySize;
constexpr std::size_t kCopyChunk = 65536;

// Removes a file being written when it goes, unless it was finished.
class PartialFileGuard {
public:
    explicit PartialFileGuard(std::string path) : path_(std::move(path)) {}
    ~PartialFileGuard() {
        if (!done_) {
            DeleteFile(path_);
        }
    }
    PartialFileGuard(const PartialFileGuard&) = delete;
    PartialFileGuard& operator=(const PartialFileGuard&) = delete;
    void Done() { done_ = true; }

private:
    std::string path_;
    bool done_ = false;
};

void WriteSingleImage(File& source, const std::uint8_t* header, const std::uint8_t* entry,
                      const std::string& path) {
    std::uint8_t single[kSingleHeaderSize];
    std::copy(header, header + 4, single);
    SetLE16(single + 4, 1);
    std::copy(entry, entry + 12, single + kHeaderSize);
    SetLE32(single + kHeaderSize + 12, kSingleHeaderSize);

    File out = File::Open(path, File::Mode::CreateTruncate);
    PartialFileGuard guard(path);
    out.WriteAll(single, sizeof single);
    std::uint64_t left = GetLE32(entry + 8);
    source.Seek(GetLE32(entry + 12));
    std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(left, kCopyChunk));
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kCopyChunk));
        source.ReadExactly(chunk.data(), n);
        out.WriteAll(chunk.data(), n);
        left -= n;
    }
    out.Close();
    guard.Done();
}

}  // namespace

int SplitIconImages(const std::string& iconPath, const std::string& previewFolder) {
    File source = File::Open(iconPath, File::Mode::Read);
    std::uint8_t first[kSingleHeaderSize];
    source.ReadExactly(first, sizeof first);
    const std::uint16_t count = GetLE16(first + 4);
    std::vector<std::uint8_t> directory(kHeaderSize + kEntrySize * count);
    source.Seek(0);
    source.ReadExactly(directory.data(), directory.size());
    const std::string prefix =
        previewFolder.empty() || previewFolder.back() == '/' ? previewFolder : previewFolder + "/";
    for (std::size_t n = 0; n < count; ++n) {
        WriteSingleImage(source, directory.data(), directory.data() + kHeaderSize + kEntrySize * n,
                         prefix + std::to_string(n) + "i.ico");
    }
    source.Close();
    return count;
}

}  // namespace quorlix
