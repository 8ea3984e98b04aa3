// The player stub's entry point: limits where libraries load from, removes what killed runs left
// in the temporary folder, reads the payload appended to its own file, stages it, takes the
// original document out and presents it as the author set it up (logos, fonts, locks, window,
// watermark), offers to keep the reader's changes as another executable when allowed, and opens
// the web address afterwards when asked. The reader is told of a failure in one sentence; the
// cause goes to the step log.
#include <windows.h>

#include <new>
#include <optional>
#include <string>

#include "common/compound_file_reader.h"
#include "common/payload_error.h"
#include "common/payload_reader.h"
#include "common/player_options.h"
#include "stub/document_output.h"
#include "stub/document_program.h"
#include "stub/font_session.h"
#include "stub/keep_changes.h"
#include "stub/library_search.h"
#include "stub/logo_window.h"
#include "stub/open_document.h"
#include "stub/own_signature.h"
#include "stub/path_parts.h"
#include "stub/player_log.h"
#include "stub/presentation.h"
#include "stub/reader_message.h"
#include "stub/run_folders.h"
#include "stub/stage_payload.h"
#include "stub/staging_folder.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"
#include "stub/win_handle.h"
#include "stub/word_version.h"

namespace quorlix {

namespace {

// What the reader is told when the payload cannot be read; the cause goes to the step log.
constexpr wchar_t kDamagedMessage[] =
    L"This file is damaged or incomplete; please download it again.";
constexpr wchar_t kNotPreparedMessage[] =
    L"The document could not be prepared on this computer; please try again.";
constexpr wchar_t kNoMemoryMessage[] =
    L"There is not enough memory to open the document; please close other programs and try "
    L"again.";

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            ThrowLastError(L"Cannot find this program's file");
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Tells the reader in one sentence, with what went wrong logged beside it.
int Fail(const std::wstring& text, const std::wstring& fault, int exitCode) {
    if (!fault.empty()) {
        LogStep(L"fault: " + fault);
    }
    ShowReaderMessage(text, MB_ICONERROR);
    LogStep(L"end " + std::to_wstring(exitCode));
    return exitCode;
}

// False (after saying so) when the installed Word is older than the document asks for; a
// computer without Word opens the document with whatever program it has for it.
bool WordIsRecentEnough(const WindowOptions& window) {
    if (!window.wordVersion) {
        return true;
    }
    const std::optional<int> installed = InstalledWordVersion();
    LogStep(L"word version " + (installed ? std::to_wstring(*installed) : L"none") +
            L", required " + std::to_wstring(*window.wordVersion));
    if (!installed || *installed >= *window.wordVersion) {
        return true;
    }
    ShowReaderMessage(WordTooOldMessage(*window.wordVersion, *installed), MB_ICONWARNING);
    return false;
}

// False (after saying so) when no program on this computer opens the document.
bool DocumentCanOpen(const std::wstring& document) {
    const std::wstring extension = ExtensionOfName(FileNameOfPath(document));
    if (HasProgramFor(extension)) {
        return true;
    }
    ShowReaderMessage(NoProgramMessage(extension), MB_ICONWARNING);
    return false;
}

// Opens the document with the embedded fonts added, the program that opens it locked as the
// author asked and its window dressed; false when the user cancelled the opening. The fonts and
// the locks go again once the document is closed.
bool PresentDocument(const std::wstring& document, const Presentation& presentation,
                     const InputLocks& locks, const StagingFolder& folder) {
    const FontSession fonts(presentation.fonts, folder.path());
    DocumentPresenter presenter(presentation, locks);
    LogStep(L"document opening");
    const bool opened = OpenDocumentAndWait(document, presenter);
    LogStep(L"document closed");
    return opened;
}

// Both folders, and everything in them, go when this returns.
int RunPlayer() {
    LogStep(L"start");
    ProbeLibrarySearch();
    RemoveAbandonedRunFolders();
    const std::wstring ownPath = OwnPath();
    WinFileSource file(ownPath);
    const std::optional<ByteRange> signedPart = CheckOwnSignature(file);
    if (!signedPart) {
        return kChangedAfterSigning;
    }
    ByteSourceSlice self(file, signedPart->offset, signedPart->size);
    const ComApartment apartment;
    const PayloadReader reader(self);
    const PlayerOptions options = ReadPlayerOptions(reader);
    const StagingFolder folder;
    const StagedEntries staged = StagePayload(reader, folder);
    const Presentation presentation = ReadPresentation(reader, folder.path(), staged);
    if (!WordIsRecentEnough(presentation.window)) {
        return 5;
    }
    // The document has a folder of its own, so no package entry can take its name.
    const StagingFolder documentFolder;
    const OriginalDocument document =
        WriteOriginalDocument(folder.path() + kStagedDocumentName, documentFolder);
    if (!DocumentCanOpen(document.path)) {
        return 4;
    }
    if (presentation.firstLogo) {
        ShowLogo(*presentation.firstLogo, presentation.firstLogoPath, L"logo 1");
    }
    const InputLocks locks{options.opright(), options.opcopy()};
    if (!PresentDocument(document.path, presentation, locks, folder)) {
        return 0;
    }
    if (options.opsave()) {
        OfferToKeepChanges(reader, self, ownPath, document);
    }
    if (presentation.secondLogo) {
        ShowLogo(*presentation.secondLogo, presentation.secondLogoPath, L"logo 2");
    }
    if (const std::optional<std::string> address = WebAddressToOpen(options)) {
        OpenWebAddress(AnsiToWide(*address));
    }
    return 0;
}

}  // namespace

}  // namespace quorlix

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace quorlix;
    LimitLibrarySearchToSystem();
    try {
        const int status = RunPlayer();
        LogStep(L"end " + std::to_wstring(status));
        return status;
    } catch (const PayloadError& e) {
        return Fail(kDamagedMessage, AnsiToWide(e.what()), 1);
    } catch (const CompoundFileError& e) {
        return Fail(kDamagedMessage, AnsiToWide(e.what()), 3);
    } catch (const DocumentOpenError& e) {
        return Fail(e.message(), {}, 4);
    } catch (const StubError& e) {
        return Fail(kNotPreparedMessage, e.message(), 2);
    } catch (const std::bad_alloc&) {
        return Fail(kNoMemoryMessage, L"out of memory", 2);
    } catch (const std::exception& e) {
        return Fail(kNotPreparedMessage, AnsiToWide(e.what()), 2);
    } catch (...) {
        return Fail(kNotPreparedMessage, L"unknown failure", 2);
    }
}
