#include "cli/convert_inputs.h"

#include <sys/stat.h>

#include <exception>
#include <filesystem>

#include "cli/stored_defaults.h"
#include "conversion/option_fields.h"
#include "conversion/option_files.h"
#include "platform/file_system.h"
#include "platform/installed_fonts.h"

namespace quorlix {

namespace {

void ApplySetting(OptionSet& options, const std::string& setting) {
    const auto equals = setting.find('=');
    if (equals == std::string::npos) {
        throw UsageError("--set needs NAME=VALUE, not '" + setting + "'");
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
        if (font.displayName == name) {
            return {font.displayName, font.fileEntry};
        }
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

void CheckConvertInputs(const OptionSet& options, const DocumentList& documents,
                        const std::string& outputFolder) {
    if (options.watertype == 2 && !FileExists(options.waterimagefile)) {
        throw UsageError("Please select watermark image!");
    }
    if (documents.empty()) {
        throw UsageError("Please select the Excel source file!");
    }
    if (outputFolder.empty() || !FolderExists(outputFolder)) {
        throw UsageError("Please select the EXE output folder!");
    }
    for (const std::string& document : documents.items()) {
        RefuseIfNotRegular(document);
    }
    for (const std::string& path : InputFilesOf(options)) {
        RefuseIfNotRegular(path);
    }
}

}  // namespace quorlix
