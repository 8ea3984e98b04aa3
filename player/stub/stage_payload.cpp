#include "stub/stage_payload.h"

#include <windows.h>

#include "common/entry_name.h"
#include "common/payload_error.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"

namespace quorlix {

namespace {

std::vector<std::wstring> EntryParts(const PackageEntry& entry) {
    std::optional<std::vector<std::wstring>> parts = SplitEntryName(AnsiToWide(entry.name));
    if (!parts) {
        throw PayloadError(entry.offset,
                           "entry name \"" + entry.name + "\" is not a plain relative file name");
    }
    if (parts->size() == 1 && lstrcmpiW(parts->front().c_str(), kStagedDocumentName) == 0) {
        throw PayloadError(entry.offset, "entry name \"" + entry.name + "\" is the document's");
    }
    return *std::move(parts);
}

// Writes one entry to `path`; false (with nothing left there) when its data is damaged.
bool StageEntry(const PayloadReader& reader, std::size_t index, const std::wstring& path) {
    try {
        WinOutputFile file(path);
        reader.InflateEntry(index, [&](std::span<const std::uint8_t> chunk) { file.Write(chunk); });
        file.Close();
        return true;
    } catch (const PayloadError& e) {
        DeleteFileW(path.c_str());
        LogStep(L"entry skipped: " + AnsiToWide(e.what()));
        return false;
    }
}

}  // namespace

StagedEntries StagePayload(const PayloadReader& reader, const StagingFolder& folder) {
    // Every name is checked before anything is written.
    const std::vector<PackageEntry>& entries = reader.layout().entries;
    std::vector<std::vector<std::wstring>> names;
    for (const PackageEntry& entry : entries) {
        names.push_back(EntryParts(entry));
    }
    WinOutputFile document(folder.path() + kStagedDocumentName);
    reader.CopyDocument(PayloadReader::DocumentForm::Unscrambled,
                        [&](std::span<const std::uint8_t> chunk) { document.Write(chunk); });
    document.Close();
    StagedEntries staged(entries.size(), false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        staged[i] = StageEntry(reader, i, folder.PrepareFile(names[i]));
    }
    return staged;
}

}  // namespace quorlix
