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

OptionLines OptionFile(const PayloadReader& reader, const char* name) {
    const std::optional<std::size_t> index = FindPackageEntry(reader.layout(), name);
    if (!index || reader.layout().entries[*index].size > kMaxOptionFileSize) {
        return {};
    }
    return SplitOptionLines(reader.EntryBytes(*index));
}

// The staged path of a package entry named in an option file; nothing when the package holds
// no such entry (the name is then never used as a path).
std::optional<std::wstring> StagedPath(const PayloadReader& reader, const std::wstring& folder,
                                       const std::string& name) {
    const std::optional<std::size_t> index = FindPackageEntry(reader.layout(), name);
    if (!index) {
        return std::nullopt;
    }
    return folder + AnsiToWide(reader.layout().entries[*index].name);
}

void ReadLogo(const PayloadReader& reader, const std::wstring& folder, int which,
              const OptionLines& switches, std::optional<LogoOptions>& logo, std::wstring& path) {
    if (!LogoSwitchedOn(switches, which)) {
        return;
    }
    logo = ParseLogoOptions(OptionFile(reader, which == 1 ? kFirstLogoEntry : kSecondLogoEntry));
    const std::optional<std::wstring> staged =
        logo ? StagedPath(reader, folder, logo->imageEntry) : std::nullopt;
    if (!staged) {
        LogStep(L"logo " + std::to_wstring(which) + L" skipped: no picture in the package");
        logo.reset();
        return;
    }
    path = *staged;
}

std::vector<EmbeddedFont> PackagedFonts(const PayloadReader& reader) {
    std::vector<EmbeddedFont> fonts;
    for (EmbeddedFont& font : ParseEmbeddedFonts(OptionFile(reader, kFontNamesEntry),
                                                 OptionFile(reader, kFontFilesEntry))) {
        bool whole = true;
        for (std::string& entry : font.entries) {
            const std::optional<std::size_t> index = FindPackageEntry(reader.layout(), entry);
            whole = whole && index.has_value();
            if (index) {
                entry = reader.layout().entries[*index].name;
            }
        }
        if (whole) {
            fonts.push_back(std::move(font));
        } else {
            LogStep(L"font skipped: not in the package " + AnsiToWide(font.displayName));
        }
    }
    return fonts;
}

}  // namespace

Presentation ReadPresentation(const PayloadReader& reader, const std::wstring& folder) {
    Presentation presentation;
    const OptionLines switches = OptionFile(reader, kLogoSwitchEntry);
    ReadLogo(reader, folder, 1, switches, presentation.firstLogo, presentation.firstLogoPath);
    ReadLogo(reader, folder, 2, switches, presentation.secondLogo, presentation.secondLogoPath);
    presentation.fonts = PackagedFonts(reader);
    presentation.window = ParseWindowOptions(OptionFile(reader, kWinOptionsEntry));
    presentation.watermark = ParseWatermarkOptions(OptionFile(reader, kWatermarkEntry));
    if (presentation.watermark.kind == WatermarkKind::Image) {
        const std::optional<std::wstring> image = StagedPath(reader, folder, kWatermarkImageEntry);
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

void DocumentPresenter::Started(HANDLE process) {
    if (process == nullptr) {
        LogStep(L"window skipped: the document went to a program already running");
        if (locks_.copyPaste || locks_.contextMenu) {
            LogStep(L"locks skipped: the document went to a program already running");
        }
        return;
    }
    // Locked as soon as the process is known, before its window is looked for.
    lockedProcess_ = std::make_unique<DocumentLocks>(GetProcessId(process), locks_);
    window_ = WaitForMainWindow(process, kWindowWait);
    if (window_ == nullptr) {
        LogStep(L"window skipped: no window appeared");
        return;
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
}

void CALLBACK DocumentPresenter::Keep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_kept != nullptr && IsWindow(g_keptWindow)) {
        KeepWindowTitle(g_keptWindow, *g_keptOptions);
    }
}

}  // namespace quorlix
