#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/staged_copy.h"

namespace quorlix {

// The document container: holds at most one embedded document, as an OLE Package object, and
// saves itself as its staged copy, a container stream produced when it is written.
class DocumentContainer {
public:
    // While true, the request to leave the UI-active state is ignored.
    bool CannotDeactivate() const { return cannotDeactivate_; }
    void SetCannotDeactivate(bool value) { cannotDeactivate_ = value; }

    bool UIActive() const { return uiActive_; }
    // Makes the object UI-active; without an object nothing happens.
    void UIActivate();
    // The notification that asks the container to leave the UI-active state.
    void UIDeactivate();

    // Embeds the file as a new object, giving up the previous one first (closed, not saved).
    // A file that is missing or cannot be read throws std::system_error with the system's text,
    // one larger than kMaxEmbeddedFileSize quorlix::Error naming it and the limit; the container
    // holds no object then.
    void CreateObjectFromFile(const std::string& path);
    // Gives up the object without saving it.
    void DestroyObject();
    bool HasObject() const { return document_.has_value(); }

    // The staged copy of the object (StageDocument): nothing is written until it is. A document
    // gone or unreadable since it was embedded throws std::system_error, one too large to embed
    // quorlix::Error.
    std::shared_ptr<const StagedCopy> Save() const;

private:
    bool cannotDeactivate_ = false;
    bool uiActive_ = false;
    // The embedded document's path; its bytes are read when the container is saved.
    std::optional<std::string> document_;
};

}  // namespace quorlix
