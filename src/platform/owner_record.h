#pragma once

#include <string>

#include "platform/file.h"

namespace quorlix {

// A record in the user's temporary folder naming one folder or temporary file that this process
// made, locked for as long as the object lives (the lock goes with the process, however it
// ends). A later run removes what a record names once its lock is free, and never what a
// running copy holds.
class OwnerRecord {
public:
    // Records path, whose file name must hold a GUID in registry form; made before the thing it
    // names. Throws std::system_error or quorlix::Error when it cannot be recorded.
    explicit OwnerRecord(const std::string& path);
    // Removes the record unless Keep was called.
    ~OwnerRecord();
    OwnerRecord(const OwnerRecord&) = delete;
    OwnerRecord& operator=(const OwnerRecord&) = delete;

    // The thing could not be removed: the record stays for a later run to finish the work.
    void Keep() { keep_ = true; }

private:
    std::string recordPath_;
    File file_;
    bool keep_ = false;
};

// Whether a path's file name holds a GUID in registry form, as every recorded thing's does.
bool NameHoldsGuid(const std::string& path);

// The folder of the owner records: TempFolderPath() + "dorvane/owners".
std::string OwnerRecordFolder();

// Removes what processes that are gone left behind: for each record whose lock is free, the
// folder (with everything in it) or file it names, never through a link, then the record. A
// record whose thing cannot be removed stays. Never throws; returns the number removed.
int RemoveLeftoversOfDeadRuns();

}  // namespace quorlix
