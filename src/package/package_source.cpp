#include "package/package_source.h"

#include "platform/file_system.h"

namespace quorlix {

PackageSource PackageSource::FromBytes(std::string name, std::string bytes) {
    PackageSource source(std::move(name));
    source.bytes = std::make_shared<const std::string>(std::move(bytes));
    return source;
}

std::int32_t PackageSource::SizeAsFound() const {
    if (bytes) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes->size()));
    }
    return FileSizeOf(path);
}

}  // namespace quorlix
