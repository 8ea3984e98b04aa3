#include "platform/file_byte_source.h"

#include <cerrno>
#include <system_error>

namespace quorlix {

FileByteSource::FileByteSource(const std::string& path)
    : owned_(File::Open(path, File::Mode::Read)), file_(&*owned_), size_(file_->Size()) {}

FileByteSource::FileByteSource(File& open) : file_(&open), size_(open.Size()) {}

void FileByteSource::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    if (offset > size_ || count > size_ - offset) {
        throw std::system_error(EINVAL, std::generic_category(),
                                file_->path() + ": read past the end of the file");
    }
    file_->Seek(offset);
    file_->ReadExactly(buffer, count);
}

}  // namespace quorlix
