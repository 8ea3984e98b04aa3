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
#include "common/payload_error.h"
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

// Refuses a package in which two entries, or an entry and the document, share one name (as the
// player's folder compares names): one file would silently replace the other. The output is
// damaged; the second of the two entries is named.
void RefuseRepeatedNames(const std::vector<std::string>& names, const std::string& documentName,
                         const std::vector<PackageEntry>& entries) {
    const std::string document = FoldedName(documentName);
    std::set<std::string> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = FoldedName(names[i]);
        if (name == document) {
            throw PayloadError(
                entries[i].offset,
                "the package holds an entry with the document's name, \"" + names[i] + "\"");
        }
        if (!seen.insert(name).second) {
            throw PayloadError(entries[i].offset,
                               "the package holds a second entry named \"" + names[i] + "\"");
        }
    }
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
                                        const std::string& folder) {
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
    RefuseRepeatedNames(names, documentName, reader.layout().entries);
    std::uint64_t total = document.place().size;
    for (const PackageEntry& entry : reader.layout().entries) {
        total += entry.size;
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
