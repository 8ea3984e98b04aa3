// The player stub's entry point: reads the payload appended to its own file and stages it.
#include <windows.h>

#include <new>
#include <string>

#include "common/payload_error.h"
#include "common/payload_reader.h"
#include "common/payload_summary.h"
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

int RunPlayer() {
    WinFileSource self(OwnPath());
    const PayloadReader reader(self);
    const StagingFolder folder;
    StagePayload(reader, folder);
    return Show(AnsiToWide(DescribePayload(reader.layout())), MB_ICONINFORMATION, 0);
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
