#pragma once

#include <optional>
#include <string>

namespace quorlix {

// The document container: holds at most one embedded document, as an OLE Package object, and
// saves itself as a container stream (the staged copy).
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
    // A file that is missing or cannot be read throws std::system_error with the system's text;
    // the container holds no object then.
    void CreateObjectFromFile(const std::string& path);
    // Gives up the object without saving it.
    void DestroyObject();
    bool HasObject() const { return document_.has_value(); }

    // Writes the container stream to path, replacing the file there. It is written under a
    // temporary name in the same folder and renamed, so a failure (std::system_error,
    // quorlix::Error) leaves whatever was at path untouched and nothing half-written behind.
    void SaveToFile(const std::string& path) const;

private:
    bool cannotDeactivate_ = false;
    bool uiActive_ = false;
    // The embedded document's path; its bytes are read when the container is saved.
    std::optional<std::string> document_;
};

}  // namespace quorlix
