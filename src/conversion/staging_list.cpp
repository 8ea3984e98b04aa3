#include "conversion/staging_list.h"

namespace quorlix {

void StagingList::Add(const std::string& sourcePath, const std::string& entryName) {
    AddRow(PackageSource(sourcePath), entryName);
}

void StagingList::AddBytes(const std::string& fileName, std::string bytes,
                           const std::string& entryName) {
    AddRow(PackageSource::FromBytes(fileName, std::move(bytes)), entryName);
}

void StagingList::AddRow(PackageSource source, const std::string& entryName) {
    stagedSize_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(stagedSize_) +
                                            static_cast<std::uint32_t>(source.SizeAsFound()));
    sources_.push_back(std::move(source));
    names_.push_back(entryName);
}

}  // namespace quorlix
