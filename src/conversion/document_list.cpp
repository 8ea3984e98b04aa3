#include "conversion/document_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/file_system.h"

namespace quorlix {

namespace {

std::string Lower(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

bool IsWordDocumentName(const std::string& path) {
    const std::string ext = Lower(ExtensionOf(path));
    return ext == ".doc" || ext == ".docx";
}

bool DocumentList::IsListed(const std::string& path) const {
    return std::ranges::find(items_, path) != items_.end();
}

bool DocumentList::AddFile(const std::string& path) {
    if (IsListed(path)) {
        return false;
    }
    items_.push_back(path);
    return true;
}

int DocumentList::AddFolder(const std::string& folder) {
    std::string base = folder;
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    int added = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const std::string path =
            (base == "/" ? std::string() : base) + "/" + it->path().filename().string();
        if (path.find("~$") != std::string::npos || !IsWordDocumentName(path)) {
            continue;
        }
        if (AddFile(path)) {
            ++added;
        }
    }
    return added;
}

void DocumentList::Remove(std::size_t index) {
    if (index < items_.size()) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

}  // namespace quorlix
