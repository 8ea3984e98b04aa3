#include "package/player_names.h"

#include "common/entry_name.h"
#include "platform/ansi_code_page.h"

namespace quorlix {

namespace {

// The name the player gives the staged document, which no entry may take.
constexpr std::string_view kStagedDocumentName = "~~~.txt";

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string EntryNameProblem(std::string_view ansiName) {
    const std::string quoted = "\"" + FromAnsi(ansiName) + "\"";
    if (ansiName.find_first_of("|\r\n") != std::string_view::npos) {
        return "the entry name " + quoted + " holds a \"|\", CR or LF byte in its code page";
    }
    const auto parts = SplitEntryName(FromAnsi(ansiName));
    if (!parts) {
        return "the entry name " + quoted + " is not a plain relative file name";
    }
    if (parts->size() == 1 && EqualsIgnoringAsciiCase(parts->front(), kStagedDocumentName)) {
        return "the entry name " + quoted + " is the document's";
    }
    return {};
}

std::string Utf8EntryNameProblem(std::string_view utf8Name) {
    const std::string ansi = ToAnsi(utf8Name);
    if (FromAnsi(ansi) != utf8Name) {
        return "the entry name \"" + std::string(utf8Name) +
               "\" has characters its code page cannot hold";
    }
    return EntryNameProblem(ansi);
}

}  // namespace quorlix
