#include "cli/payload_extraction.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

#include "cli/payload_report.h"
#include "cli/safe_path.h"
#include "cli/trailing_bytes.h"
#include "common/document_name.h"
#include "common/section_document.h"
#include "common/utf16.h"
#include "platform/ansi_code_page.h"
#include "platform/error.h"
#include "platform/file_byte_source.h"
#include "platform/file_system.h"

namespace quorlix {

namespace {

// What one extraction made, removed again unless the extraction completes.
class ExtractionRecord {
public:
    ExtractionRecord() = default;
    ExtractionRecord(const ExtractionRecord&) = delete;
    ExtractionRecord& operator=(const ExtractionRecord&) = delete;
    ~ExtractionRecord() {
        if (complete_) {
            return;
        }
        for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
            ::unlink(it->c_str());
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
            ::rmdir(it->c_str());
        }
    }

    // Makes folder and its missing parents, noting each one made, outermost first.
    void MakeFolder(const std::string& folder) {
        std::vector<std::filesystem::path> missing;
        std::filesystem::path path = std::filesystem::path(folder).lexically_normal();
        if (path.has_relative_path() && path.filename().empty()) {
            path = path.parent_path();
        }
        while (!path.empty() && !FolderExists(path.string())) {
            missing.push_back(path);
            path = path.parent_path();
            if (path == missing.back()) {
                break;
            }
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (::mkdir(it->c_str(), 0777) != 0) {
                throw std::system_error(errno, std::generic_category(), it->string());
            }
            folders_.push_back(it->string());
        }
    }

    // Creates the file for a checked name and notes it and the folders made for it.
    File Create(const std::string& folder, const std::string& name) {
        File file = CreateExtractionFile(folder, name, folders_);
        files_.push_back(file.path());
        return file;
    }
    void Complete() { complete_ = true; }
    const std::vector<std::string>& files() const { return files_; }

private:
    std::vector<std::string> files_;
    std::vector<std::string> folders_;
    bool complete_ = false;
};

// The file name the document is written under: the one the player gives it.
std::string DocumentFileNameOf(const EmbeddedDocument& document) {
    const std::string name =
        Utf16ToUtf8(DocumentFileName(document, Utf8ToUtf16(FromAnsi(document.ansiName))));
    if (EntryNameParts(name).size() != 1) {
        throw Error("The document's name \"" + name + "\" is not a plain file name.");
    }
    return name;
}

// A name as Windows compares it: ASCII letters folded to lower case.
std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// For each name, whether a later one has the same name (the player keeps the last one).
std::vector<bool> OverwrittenNames(const std::vector<std::string>& names) {
    std::vector<bool> overwritten(names.size(), false);
    std::set<std::string> seen;
    for (std::size_t i = names.size(); i-- > 0;) {
        overwritten[i] = !seen.insert(FoldedName(names[i])).second;
    }
    return overwritten;
}

// The free bytes of the file system that holds folder (or its nearest existing parent).
std::uint64_t FreeBytesFor(const std::string& folder) {
    std::filesystem::path path = std::filesystem::absolute(folder).lexically_normal();
    struct statvfs fs {};
    while (::statvfs(path.c_str(), &fs) != 0) {
        if (errno != ENOENT || !path.has_parent_path() || path.parent_path() == path) {
            throw std::system_error(errno, std::generic_category(), folder);
        }
        path = path.parent_path();
    }
    return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

// Refuses an extraction whose files would not fit, before anything is written.
void CheckFreeSpace(const std::string& folder, std::uint64_t total) {
    const std::uint64_t free = FreeBytesFor(folder);
    if (total > free) {
        throw Error("The files take " + std::to_string(total) + " bytes, but " + folder +
                    " has only " + std::to_string(free) + " bytes free.");
    }
}

}  // namespace

std::vector<std::string> ExtractPayload(const std::string& executablePath,
                                        const std::string& folder,
                                        std::vector<std::string>* skippedNames) {
    FileByteSource source(executablePath);
    if (!MayBeAnOutput(source)) {
        throw Error(executablePath + ": " + kNotAnOutput);
    }
    const PayloadReader reader(source);
    const SectionDocument document(source, reader.layout().document);
    const std::string documentName = DocumentFileNameOf(document.Head());
    std::vector<std::string> names;
    for (const PackageEntry& entry : reader.layout().entries) {
        names.push_back(FromAnsi(entry.name));
        EntryNameParts(names.back());
    }
    const std::vector<bool> overwritten = OverwrittenNames(names);
    std::uint64_t total = document.place().size;
    for (std::size_t i = 0; i < names.size(); ++i) {
        total += overwritten[i] ? 0 : reader.layout().entries[i].size;
    }
    CheckFreeSpace(folder, total);

    ExtractionRecord record;
    record.MakeFolder(folder);
    File documentFile = record.Create(folder, documentName);
    document.CopyData([&documentFile](std::span<const std::uint8_t> chunk) {
        documentFile.WriteAll(chunk.data(), chunk.size());
    });
    documentFile.Close();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (overwritten[i]) {
            if (skippedNames != nullptr) {
                skippedNames->push_back(names[i]);
            }
            continue;
        }
        File file = record.Create(folder, names[i]);
        reader.InflateEntry(i, [&file](std::span<const std::uint8_t> chunk) {
            file.WriteAll(chunk.data(), chunk.size());
        });
        file.Close();
    }
    record.Complete();
    return record.files();
}

}  // namespace quorlix
