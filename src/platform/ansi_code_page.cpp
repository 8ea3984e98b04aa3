#include "platform/ansi_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/error.h"
#include "platform/utf8.h"

namespace quorlix {

namespace {

// An iconv conversion descriptor, closed when the object goes.
class IconvHandle {
public:
    IconvHandle(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str())) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            // The system says EINVAL both when it has no such converter and when it could not
            // load the one it has (its files could not be read).
            const int error = errno;
            throw std::system_error(
                error, std::generic_category(),
                "the converter from " + from + " to " + to + " cannot be opened" +
                    (error == EINVAL ? " (the system has none, or could not load it)" : ""));
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    ~IconvHandle() { iconv_close(handle_); }

    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

struct LanguagePage {
    std::string_view language;
    int codePage;
};

constexpr LanguagePage kLanguagePages[] = {
    {"ja", 932},   {"ko", 949},  {"th", 874},  {"vi", 1258}, {"el", 1253},  {"tr", 1254},
    {"az", 1254},  {"uz", 1254}, {"he", 1255}, {"iw", 1255}, {"yi", 1255},  {"ar", 1256},
    {"fa", 1256},  {"ur", 1256}, {"ug", 1256}, {"ps", 1256}, {"ckb", 1256}, {"lt", 1257},
    {"lv", 1257},  {"et", 1257}, {"pl", 1250}, {"cs", 1250}, {"sk", 1250},  {"hu", 1250},
    {"sl", 1250},  {"hr", 1250}, {"bs", 1250}, {"ro", 1250}, {"sq", 1250},  {"ru", 1251},
    {"uk", 1251},  {"be", 1251}, {"bg", 1251}, {"mk", 1251}, {"sr", 1251},  {"kk", 1251},
    {"ky", 1251},  {"tt", 1251}, {"mn", 1251}, {"ba", 1251}, {"tg", 1251},  {"cv", 1251},
    {"sah", 1251}, {"os", 1251}, {"ce", 1251},
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

int ChineseCodePage(std::string_view territory) {
    return territory == "tw" || territory == "hk" || territory == "mo" ? 950 : 936;
}

std::string IconvName(int codePage) {
    return "CP" + std::to_string(codePage);
}

// Runs the conversion; at each character the target cannot take, or malformed input, writes
// '?' and skips skipLength(input, pos) bytes.
template <typename SkipLength>
std::string Convert(std::string_view input, const std::string& to, const std::string& from,
                    SkipLength skipLength) {
    IconvHandle cd(to, from);
    std::string out;
    char buffer[1024];
    std::size_t pos = 0;
    while (true) {
        char* in = const_cast<char*>(input.data()) + pos;
        std::size_t inLeft = input.size() - pos;
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const bool flushing = inLeft == 0;
        const std::size_t result = iconv(cd.get(), flushing ? nullptr : &in,
                                         flushing ? nullptr : &inLeft, &outPtr, &outLeft);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        pos = input.size() - inLeft;
        if (error == E2BIG) {
            continue;
        }
        if (error == EILSEQ || error == EINVAL) {
            out += '?';
            pos += std::max<std::size_t>(1, skipLength(input, pos));
            continue;
        }
        if (error != 0) {
            throw std::system_error(error, std::generic_category(),
                                    "converting text from " + from + " to " + to);
        }
        if (flushing) {
            return out;
        }
    }
}

}  // namespace

int AnsiCodePageOfLocale(std::string_view locale) {
    const std::string name = Lower(locale.substr(0, locale.find_first_of(".@")));
    const std::string_view modifier =
        locale.find('@') == std::string_view::npos ? "" : locale.substr(locale.find('@') + 1);
    const std::size_t underscore = name.find('_');
    const std::string language = name.substr(0, underscore);
    const std::string territory =
        underscore == std::string::npos ? "" : name.substr(underscore + 1);
    if (language == "zh") {
        return ChineseCodePage(territory);
    }
    if ((language == "sr" || language == "bs") && Lower(modifier) == "latin") {
        return 1250;
    }
    if ((language == "az" || language == "uz") && Lower(modifier) == "cyrillic") {
        return 1251;
    }
    for (const LanguagePage& entry : kLanguagePages) {
        if (entry.language == language) {
            return entry.codePage;
        }
    }
    return 1252;
}

int AnsiCodePage() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return AnsiCodePageOfLocale(value);
        }
    }
    return 1252;
}

std::string ToAnsi(std::string_view utf8) {
    return ToAnsi(utf8, AnsiCodePage());
}

std::string ToAnsi(std::string_view utf8, int codePage) {
    return Convert(utf8, IconvName(codePage), "UTF-8", Utf8SequenceLength);
}

std::string FromAnsi(std::string_view ansi) {
    return FromAnsi(ansi, AnsiCodePage());
}

std::string FromAnsi(std::string_view ansi, int codePage) {
    return Convert(ansi, "UTF-8", IconvName(codePage),
                   [](std::string_view, std::size_t) -> std::size_t { return 1; });
}

}  // namespace quorlix
