#include "stub/presentation.h"

#include "common/player_options.h"
#include "stub/document_window.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"

namespace quorlix {

namespace {

// How long the program that opened the document has to show its window (ms).
constexpr DWORD kWindowWait = 30000;
constexpr UINT kKeepInterval = 500;

// The one presenter whose window is kept; thread timers carry no context of their own.
DocumentPresenter* g_kept = nullptr;
HWND g_keptWindow = nullptr;
const WindowOptions* g_keptOptions = nullptr;

// The package as staged: the reader, the staging folder and which entries were staged whole.
struct Staged {
    const PayloadReader& reader;
    const std::wstring& folder;
    const StagedEntries& entries;

    // The entry of that name when it was staged whole; a damaged one counts as missing.
    std::optional<std::size_t> Find(std::string_view name) const {
        const std::optional<std::size_t> index = FindPackageEntry(reader.layout(), name);
        return index && *index < entries.size() && entries[*index] ? index : std::nullopt;
    }
    const std::string& NameOf(std::size_t index) const {
        return reader.layout().entries[index].name;
    }
};

OptionLines OptionFile(const Staged& staged, const char* name) {
    const std::optional<std::size_t> index = staged.Find(name);
    if (!index || staged.reader.layout().entries[*index].size > kMaxOptionFileSize) {
        return {};
    }
    return SplitOptionLines(staged.reader.EntryBytes(*index));
}

// The staged path of a package entry named in an option file; nothing when the package holds
// no such entry whole (the name is then never used as a path).
std::optional<std::wstring> StagedPath(const Staged& staged, const std::string& name) {
    const std::optional<std::size_t> index = staged.Find(name);
    if (!index) {
        return std::nullopt;
    }
    return staged.folder + AnsiToWide(staged.NameOf(*index));
}

void ReadLogo(const Staged& staged, int which, const OptionLines& switches,
              std::optional<LogoOptions>& logo, std::wstring& path) {
    if (!LogoSwitchedOn(switches, which)) {
        return;
    }
    logo = ParseLogoOptions(OptionFile(staged, which == 1 ? kFirstLogoEntry : kSecondLogoEntry));
    const std::optional<std::wstring> picture =
        logo ? StagedPath(staged, logo->imageEntry) : std::nullopt;
    if (!picture) {
        LogStep(L"logo " + std::to_wstring(which) + L" skipped: no picture in the package");
        logo.reset();
        return;
    }
    path = *picture;
}

std::vector<EmbeddedFont> PackagedFonts(const Staged& staged) {
    std::vector<EmbeddedFont> fonts;
    for (EmbeddedFont& font : ParseEmbeddedFonts(OptionFile(staged, kFontNamesEntry),
                                                 OptionFile(staged, kFontFilesEntry))) {
        bool whole = true;
        for (std::string& entry : font.entries) {
            const std::optional<std::size_t> index = staged.Find(entry);
            whole = whole && index.has_value();
            if (index) {
                entry = staged.NameOf(*index);
            }
        }
        if (whole) {
            fonts.push_back(std::move(font));
        } else {
            LogStep(L"font skipped: missing or damaged " + AnsiToWide(font.displayName));
        }
    }
    return fonts;
}

}  // namespace

Presentation ReadPresentation(const PayloadReader& reader, const std::wstring& folder,
                              const StagedEntries& entries) {
    const Staged staged{reader, folder, entries};
    Presentation presentation;
    const OptionLines switches = OptionFile(staged, kLogoSwitchEntry);
    ReadLogo(staged, 1, switches, presentation.firstLogo, presentation.firstLogoPath);
    ReadLogo(staged, 2, switches, presentation.secondLogo, presentation.secondLogoPath);
    presentation.fonts = PackagedFonts(staged);
    presentation.window = ParseWindowOptions(OptionFile(staged, kWinOptionsEntry));
    presentation.watermark = ParseWatermarkOptions(OptionFile(staged, kWatermarkEntry));
    if (presentation.watermark.kind == WatermarkKind::Image) {
        const std::optional<std::wstring> image = StagedPath(staged, kWatermarkImageEntry);
        if (image) {
            presentation.watermarkImagePath = *image;
        } else {
            presentation.watermark.kind = WatermarkKind::None;
        }
    }
    return presentation;
}

DocumentPresenter::~DocumentPresenter() {
    if (keeper_ != 0) {
        KillTimer(nullptr, keeper_);
        g_kept = nullptr;
    }
}

bool DocumentPresenter::Started(HANDLE process) {
    if (process == nullptr) {
        LogStep(L"window skipped: the document went to a program already running");
        if (locks_.copyPaste || locks_.contextMenu) {
            LogStep(L"locks skipped: the document went to a program already running");
        }
        return false;
    }
    // Locked as soon as the process is known, before its window is looked for.
    lockedProcess_ = std::make_unique<DocumentLocks>(GetProcessId(process), locks_);
    window_ = WaitForMainWindow(process, kWindowWait);
    if (window_ == nullptr) {
        LogStep(L"window skipped: no window appeared");
        return false;
    }
    LogStep(L"window found");
    ApplyWindowOptions(window_, presentation_.window);
    watermark_ =
        WatermarkWindow::Create(presentation_.watermark, presentation_.watermarkImagePath, window_);
    if (g_kept == nullptr) {
        g_kept = this;
        g_keptWindow = window_;
        g_keptOptions = &presentation_.window;
        keeper_ = SetTimer(nullptr, 0, kKeepInterval, Keep);
    }
    return true;
}

void CALLBACK DocumentPresenter::Keep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_kept != nullptr && IsWindow(g_keptWindow)) {
        KeepWindowTitle(g_keptWindow, *g_keptOptions);
    }
}

}  // namespace quorlix
