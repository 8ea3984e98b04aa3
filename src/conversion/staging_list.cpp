#include "conversion/staging_list.h"

#include "platform/file_system.h"

namespace quorlix {

void StagingList::Add(const std::string& sourcePath, const std::string& entryName) {
    sources_.push_back(sourcePath);
    names_.push_back(entryName);
    stagedSize_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(stagedSize_) +
                                            static_cast<std::uint32_t>(FileSizeOf(sourcePath)));
}

}  // namespace quorlix
