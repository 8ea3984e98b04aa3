#include "platform/document_container.h"

#include "common/error.h"
#include "platform/file.h"
#include "platform/package_names.h"

namespace quorlix {

void DocumentContainer::UIActivate() {
    if (HasObject()) {
        uiActive_ = true;
    }
}

void DocumentContainer::UIDeactivate() {
    if (!cannotDeactivate_) {
        uiActive_ = false;
    }
}

void DocumentContainer::CreateObjectFromFile(const std::string& path) {
    DestroyObject();
    // Opening it now reports a missing, unreadable or oversized document when it is embedded.
    File probe = File::Open(path, File::Mode::Read);
    const std::uint64_t size = probe.Size();
    probe.Close();
    if (size > kMaxEmbeddedFileSize) {
        throw Error(TooLargeToEmbedMessage(path, size));
    }
    document_ = path;
}

void DocumentContainer::DestroyObject() {
    document_.reset();
    uiActive_ = false;
}

std::shared_ptr<const StagedCopy> DocumentContainer::Save() const {
    if (!document_) {
        throw Error("The document container holds no object to save");
    }
    return StageDocument(*document_);
}

}  // namespace quorlix
