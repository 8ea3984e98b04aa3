#pragma once

#include <string>
#include <vector>

namespace quorlix {

// The ordered list of Word documents to convert; paths are unique as exact strings.
class DocumentList {
public:
    // True when some item is exactly this path (letter case counts).
    bool IsListed(const std::string& path) const;

    // Adds a chosen file unless it is listed already; returns whether it was added.
    bool AddFile(const std::string& path);

    // Adds the Word documents directly in a folder (not its subfolders), in the order the file
    // system lists them: paths holding "~$" anywhere, names without an extension or with one
    // other than .doc/.docx (any letter case) and listed paths are skipped. Returns the count
    // added.
    int AddFolder(const std::string& folder);

    void Remove(std::size_t index);
    void Clear() { items_.clear(); }

    const std::vector<std::string>& items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

private:
    std::vector<std::string> items_;
};

// True for a path whose extension is .doc or .docx in any letter case.
bool IsWordDocumentName(const std::string& path);

}  // namespace quorlix
