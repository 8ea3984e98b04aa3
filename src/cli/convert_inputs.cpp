#include "cli/convert_inputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>

#include "cli/nearest_names.h"
#include "cli/stored_defaults.h"
#include "conversion/option_fields.h"
#include "conversion/option_files.h"
#include "platform/file_system.h"
#include "platform/installed_fonts.h"

namespace quorlix {

namespace {

// An unknown field name, with the nearest field names when some are near.
[[noreturn]] void RefuseFieldName(std::string_view name) {
    const std::vector<std::string> nearest = NearestNames(name, OptionFieldNames());
    std::string hint;
    for (const std::string& candidate : nearest) {
        hint += (hint.empty() ? " (did you mean " : " or ") + candidate;
    }
    hint += nearest.empty() ? "; 'quorlix-cli convert --help' lists the fields" : "?)";
    throw UsageError("Unknown option field \"" + std::string(name) + "\"" + hint);
}

void ApplySetting(OptionSet& options, const std::string& setting) {
    const auto equals = setting.find('=');
    if (equals == std::string::npos) {
        throw UsageError("--set needs NAME=VALUE, not '" + setting + "'");
    }
    const std::string_view name = std::string_view(setting).substr(0, equals);
    const auto& names = OptionFieldNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        RefuseFieldName(name);
    }
    try {
        SetOptionField(options, std::string_view(setting).substr(0, equals),
                       std::string_view(setting).substr(equals + 1));
    } catch (const UsageError&) {
        throw;
    } catch (const Error& e) {
        throw UsageError(e.what());
    }
}

FontEntry InstalledFont(const std::vector<FontListEntry>& fonts, const std::string& name) {
    for (const FontListEntry& font : fonts) {
        if (font.displayName != name) {
            continue;
        }
        if (font.fileEntry.empty()) {
            throw UsageError("the font '" + name +
                             "' cannot be embedded: it has no font file that can travel (a Type 1 "
                             "font needs its metrics file, .pfm or .afm, beside its outline)");
        }
        return {font.displayName, font.fileEntry};
    }
    throw UsageError("no installed font is called '" + name +
                     "' (see 'quorlix-cli fonts' for the names)");
}

void AddEmbeddedFonts(OptionSet& options, const std::vector<std::string>& names) {
    if (names.empty()) {
        return;
    }
    const std::vector<FontListEntry> fonts = ListInstalledFonts();
    for (const std::string& name : names) {
        options.embedfontlist.push_back(InstalledFont(fonts, name));
    }
    options.embedfonts = true;
}

}  // namespace

OptionSet ConvertOptionsFrom(const ParsedArguments& args, std::ostream& err) {
    OptionSet options;
    if (args.Has("defaults")) {
        LoadStoredDefaults(options, err);
    }
    for (const std::string& setting : args.Values("set")) {
        ApplySetting(options, setting);
    }
    if (args.Has("autorun")) {
        options.autorun = true;
    }
    AddEmbeddedFonts(options, args.Values("embed-font"));
    return options;
}

namespace {

// A FIFO, device, socket or folder where a file is read would block the run or read as
// nothing; it is refused before anything is written.
void RefuseIfNotRegular(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw UsageError("'" + path + "' is not a regular file");
    }
}

// The pictures, icon and font files the options ask for.
std::vector<std::string> InputFilesOf(const OptionSet& options) {
    std::vector<std::string> paths;
    if (options.showfirstimage) {
        paths.push_back(options.firstimage);
    }
    if (options.showsecondimage) {
        paths.push_back(options.secondimage);
    }
    if (options.watertype == 2) {
        paths.push_back(options.waterimagefile);
    }
    if (options.changeicon) {
        paths.push_back(options.iconfilename);
    }
    if (options.embedfonts) {
        for (const FontEntry& entry : options.embedfontlist) {
            for (const std::string& file : FontEntryFiles(entry)) {
                paths.push_back(
                    file.find('/') == std::string::npos ? SystemFontsFolder() + "/" + file : file);
            }
        }
    }
    return paths;
}

}  // namespace

DocumentList ConvertDocumentsFrom(const ParsedArguments& args) {
    DocumentList documents;
    for (const std::string& path : args.positional()) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            throw UsageError("'" + path + "' does not exist");
        }
        // The same document named two ways ("a.doc", "./a.doc") is listed once.
        const std::string normal = std::filesystem::absolute(path).lexically_normal().string();
        if (S_ISDIR(st.st_mode)) {
            documents.AddFolder(normal);
        } else if (IsWordDocumentName(path)) {
            documents.AddFile(normal);
        } else {
            throw UsageError("'" + path + "' is not a Word document (.doc or .docx)");
        }
    }
    return documents;
}

std::string OutputFolderText(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') {
        return folder;
    }
    return folder + "/";
}

namespace {

// The output folder must exist, be a folder, and take new files; the system's text says why not.
void CheckOutputFolder(const std::string& outputFolder) {
    if (outputFolder.empty()) {
        throw UsageError("no output folder given (--output-folder DIR)");
    }
    struct stat st {};
    int error = 0;
    if (::stat(outputFolder.c_str(), &st) != 0) {
        error = errno;
    } else if (!S_ISDIR(st.st_mode)) {
        error = ENOTDIR;
    } else if (::access(outputFolder.c_str(), W_OK | X_OK) != 0) {
        error = errno;
    }
    if (error != 0) {
        throw UsageError("output folder '" + outputFolder + "': " + std::strerror(error));
    }
}

}  // namespace

void CheckConvertInputs(const OptionSet& options, const DocumentList& documents,
                        const std::string& outputFolder, bool documentsGiven) {
    if (options.watertype == 2 && !FileExists(options.waterimagefile)) {
        throw UsageError("the watermark image '" + options.waterimagefile +
                         "' does not exist (watertype=2 needs waterimagefile)");
    }
    if (documents.empty()) {
        throw UsageError(documentsGiven
                             ? "no Word documents (.doc, .docx) in the folders given"
                             : "no documents given (name .doc or .docx files, or folders)");
    }
    CheckOutputFolder(outputFolder);
    for (const std::string& document : documents.items()) {
        RefuseIfNotRegular(document);
    }
    for (const std::string& path : InputFilesOf(options)) {
        RefuseIfNotRegular(path);
    }
}

}  // namespace quorlix
