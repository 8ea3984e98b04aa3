// The player stub's entry point: reads the payload appended to its own file, stages it, takes
// the original document out and opens it, and opens the web address afterwards when asked.
#include <windows.h>

#include <new>
#include <optional>
#include <string>

#include "common/compound_file_reader.h"
#include "common/payload_error.h"
#include "common/payload_reader.h"
#include "common/player_options.h"
#include "stub/document_output.h"
#include "stub/open_document.h"
#include "stub/stage_payload.h"
#include "stub/staging_folder.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"

namespace quorlix {

namespace {

constexpr wchar_t kTitle[] = L"Dorvane Quorlix";

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

int Show(const std::wstring& text, UINT icon, int exitCode) {
    MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | icon);
    return exitCode;
}

// Both folders, and everything in them, go when this returns.
int RunPlayer() {
    WinFileSource self(OwnPath());
    const PayloadReader reader(self);
    const PlayerOptions options = ReadPlayerOptions(reader);
    const StagingFolder folder;
    StagePayload(reader, folder);
    // The document has a folder of its own, so no package entry can take its name.
    const StagingFolder documentFolder;
    const std::wstring document =
        WriteOriginalDocument(folder.path() + kStagedDocumentName, documentFolder);
    if (!OpenDocumentAndWait(document)) {
        return 0;
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
    try {
        return RunPlayer();
    } catch (const PayloadError& e) {
        return Show(
            L"This program does not carry a valid document: the file is damaged or "
            L"incomplete.\n\n" +
                AnsiToWide(e.what()),
            MB_ICONERROR, 1);
    } catch (const CompoundFileError& e) {
        return Show(
            L"The document cannot be taken out of this program: its data is damaged or of a kind "
            L"this player does not know.\n\n" +
                AnsiToWide(e.what()),
            MB_ICONERROR, 3);
    } catch (const DocumentOpenError& e) {
        return Show(e.message(), MB_ICONERROR, 4);
    } catch (const StubError& e) {
        return Show(L"The document could not be prepared.\n\n" + e.message(), MB_ICONERROR, 2);
    } catch (const std::bad_alloc&) {
        return Show(L"The document could not be prepared: not enough memory.", MB_ICONERROR, 2);
    } catch (const std::exception& e) {
        return Show(L"The document could not be prepared.\n\n" + AnsiToWide(e.what()), MB_ICONERROR,
                    2);
    } catch (...) {
        return Show(L"The document could not be prepared.", MB_ICONERROR, 2);
    }
}
