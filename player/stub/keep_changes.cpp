#include "stub/keep_changes.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "stub/changed_output.h"
#include "stub/dialog_answer.h"
#include "stub/path_parts.h"
#include "stub/player_log.h"
#include "stub/reader_message.h"
#include "stub/stub_error.h"
#include "stub/win_handle.h"

namespace quorlix {

namespace {

// What the reader is told when the changed document cannot be written; the cause is logged.
constexpr wchar_t kNotSavedMessage[] =
    L"The changes could not be saved there; please choose another place or name.";

// The longest path the Save dialog returns, in UTF-16 units.
constexpr std::size_t kMaxChosenPath = 32768;

// How a test answers the question and the Save dialog: QUORLIX_PLAYER_KEEP_CHANGES is "no",
// "cancel" (yes, then the Save dialog is cancelled) or the path to save to. Only the first Save
// dialog gets the path; any later one is cancelled.
struct Script {
    ScriptedReply question;
    ScriptedReply firstSave;
};

std::optional<Script> ReadScript() {
    const std::optional<std::wstring> value = TestSetting(L"QUORLIX_PLAYER_KEEP_CHANGES");
    if (!value) {
        return std::nullopt;
    }
    if (*value == L"no") {
        return Script{{IDNO, {}}, {}};
    }
    if (*value == L"cancel") {
        return Script{{IDYES, {}}, {IDCANCEL, {}}};
    }
    return Script{{IDYES, {}}, {IDOK, *value}};
}

// "NAME (changed).exe" for this program's file NAME.exe.
std::wstring SuggestedName(const std::wstring& ownPath) {
    std::wstring name = FileNameOfPath(ownPath);
    if (name.size() > 4 &&
        CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".exe", 4, TRUE) == CSTR_EQUAL) {
        name.resize(name.size() - 4);
    }
    return name + L" (changed).exe";
}

bool WantsToKeep(const std::wstring& documentName, const std::optional<Script>& script) {
    const std::wstring question =
        L"The document \"" + documentName +
        L"\" was changed.\n\nDo you want to keep the changes? They are saved as a new program "
        L"that opens the changed document; this program stays as it is.";
    LogStep(L"asking to keep the changes");
    return AskReader(question, MB_YESNO | MB_ICONQUESTION, L"question",
                     script ? std::optional(script->question) : std::nullopt) == IDYES;
}

// The path the reader chose in the Save dialog; nothing when they cancelled.
std::optional<std::wstring> ChooseTarget(const std::wstring& ownPath,
                                         const std::optional<ScriptedReply>& reply) {
    const std::wstring folder = FolderOfPath(ownPath);
    std::vector<wchar_t> file(kMaxChosenPath, L'\0');
    const std::wstring suggested = SuggestedName(ownPath);
    suggested.copy(file.data(), std::min(suggested.size(), file.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.lpstrFilter = L"Programs (*.exe)\0*.exe\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = L"Keep the changed document as";
    dialog.lpstrDefExt = L"exe";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR | OFN_NOREADONLYRETURN;
    std::optional<DialogAnswer> answer;
    if (reply) {
        answer.emplace(L"save-dialog", *reply);
    }
    if (!GetSaveFileNameW(&dialog)) {
        const DWORD error = CommDlgExtendedError();
        LogStep(error == 0 ? L"save dialog cancelled"
                           : L"save dialog failed, error " + std::to_wstring(error));
        return std::nullopt;
    }
    return std::wstring(file.data());
}

// Whether two paths name the same file (this program's own, under whatever name).
bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& path) -> std::optional<BY_HANDLE_FILE_INFORMATION> {
        const UniqueHandle file(
            CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!file || !GetFileInformationByHandle(file.get(), &info)) {
            return std::nullopt;
        }
        return info;
    };
    const auto x = identity(a);
    const auto y = identity(b);
    return x && y && x->dwVolumeSerialNumber == y->dwVolumeSerialNumber &&
           x->nFileIndexHigh == y->nFileIndexHigh && x->nFileIndexLow == y->nFileIndexLow;
}

// Saves until it worked or the reader cancelled; false when nothing was saved.
bool SaveChanges(const PayloadReader& reader, const std::wstring& ownPath,
                 const OriginalDocument& document, const std::optional<Script>& script) {
    std::optional<ScriptedReply> reply = script ? std::optional(script->firstSave) : std::nullopt;
    while (const std::optional<std::wstring> target = ChooseTarget(ownPath, reply)) {
        reply = script ? std::optional(ScriptedReply{IDCANCEL, {}}) : std::nullopt;
        if (SameFile(*target, ownPath)) {
            ShowReaderMessage(
                L"This program cannot be replaced while it runs. Choose another name.",
                MB_ICONWARNING);
            continue;
        }
        try {
            WriteChangedOutput(reader, document, *target);
            return true;
        } catch (const StubError& e) {
            LogStep(L"fault: " + e.message());
        } catch (const std::exception& e) {
            LogStep(L"fault: " + AnsiToWide(e.what()));
        }
        ShowReaderMessage(kNotSavedMessage, MB_ICONERROR);
    }
    return false;
}

}  // namespace

void OfferToKeepChanges(const PayloadReader& reader, ByteSource& self, const std::wstring& ownPath,
                        const OriginalDocument& document) {
    if (!DocumentChanged(reader, self, document.path)) {
        return;
    }
    const std::optional<Script> script = ReadScript();
    if (!WantsToKeep(FileNameOfPath(document.path), script) ||
        !SaveChanges(reader, ownPath, document, script)) {
        LogStep(L"changes discarded");
    }
}

}  // namespace quorlix
