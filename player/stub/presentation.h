#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/input_lock_rules.h"
#include "common/payload_reader.h"
#include "common/presentation_options.h"
#include "stub/document_locks.h"
#include "stub/open_document.h"
#include "stub/stage_payload.h"
#include "stub/watermark_window.h"

namespace quorlix {

// How the author set the document to be presented, from the package's option files; staged
// files are named by their paths in the staging folder. A missing or damaged option file, picture
// or font leaves its part out.
struct Presentation {
    std::optional<LogoOptions> firstLogo;
    std::wstring firstLogoPath;
    std::optional<LogoOptions> secondLogo;
    std::wstring secondLogoPath;
    std::vector<EmbeddedFont> fonts;
    WindowOptions window;
    WatermarkOptions watermark;
    std::wstring watermarkImagePath;
};

// `folder` is the staging folder (trailing '\') into which the package was written; `staged`
// tells which entries were written whole.
Presentation ReadPresentation(const PayloadReader& reader, const std::wstring& folder,
                              const StagedEntries& staged);

// Locks the program that opened the document as the author asked, and dresses its window:
// title, size, frame, watermark. Skipped when the shell started no process of its own for the
// document.
class DocumentPresenter final : public DocumentWatcher {
public:
    DocumentPresenter(const Presentation& presentation, const InputLocks& locks)
        : presentation_(presentation), locks_(locks) {}
    ~DocumentPresenter() override;

    bool Started(HANDLE process) override;

private:
    static void CALLBACK Keep(HWND, UINT, UINT_PTR, DWORD);

    const Presentation& presentation_;
    InputLocks locks_;
    std::unique_ptr<DocumentLocks> lockedProcess_;
    HWND window_ = nullptr;
    UINT_PTR keeper_ = 0;
    std::unique_ptr<WatermarkWindow> watermark_;
};

}  // namespace quorlix
