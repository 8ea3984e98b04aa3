#include <ostream>
#include <string>

#include "cli/cli.h"
#include "cli/cli_help.h"
#include "cli/commands.h"
#include "cli/json_text.h"
#include "cli/payload_report.h"
#include "cli/terminal_text.h"
#include "cli/trailing_bytes.h"
#include "common/payload_error.h"
#include "platform/file_byte_source.h"

namespace quorlix {

namespace {

// "option file", "picture (JPEG)", "font" or "other".
std::string EntryKindText(const EntryReport& entry) {
    switch (entry.kind) {
        case EntryKind::OptionFile:
            return "option file";
        case EntryKind::Picture:
            return "picture (" + entry.pictureFormat + ")";
        case EntryKind::Font:
        case EntryKind::Other:
            break;
    }
    return EntryKindName(entry.kind);
}

std::string RangeText(const ByteRange& range) {
    return "offset " + std::to_string(range.offset) + ", " + std::to_string(range.size) + " bytes";
}

void WriteText(const PayloadReport& report, std::ostream& out) {
    const PayloadLayout& layout = report.layout;
    out << "file size: " << layout.fileSize << "\n"
        << "stub: " << RangeText(layout.stub) << "\n"
        << "document section: " << RangeText(layout.document) << "\n"
        << "document: " << TerminalText(report.documentName) << " (" << report.documentKind << ", "
        << report.documentSize << " bytes)\n"
        << "package: " << RangeText(layout.package) << "\n"
        << "directory: " << RangeText(layout.directory) << "\n"
        << "end marker: offset " << layout.endMarker << "\n";
    if (report.trailing.range.size > 0) {
        out << "after end marker: " << RangeText(report.trailing.range)
            << (report.trailing.codeSignature ? " (a code signature)\n"
                                              : " (not read by the player)\n");
    }
    if (report.trailing.codeSignature) {
        out << "signer: " << (report.signer.empty() ? "unreadable" : TerminalText(report.signer))
            << "\n";
    }
    out << "entries: " << report.entries.size() << "\n";
    for (const EntryReport& entry : report.entries) {
        out << "  " << TerminalText(entry.name) << "  record " << entry.recordLength
            << " bytes, size " << entry.size << " bytes, " << EntryKindText(entry) << "\n";
    }
    // Only option files are shown line by line; no other entry's bytes reach the terminal.
    for (const OptionFileReport& file : report.optionFiles) {
        const std::string shortName = TerminalText(file.name.substr(file.name.find('\\') + 1));
        for (std::size_t i = 0; i < file.lines.size(); ++i) {
            out << shortName << " line " << i + 1
                << (file.fields[i].empty() ? "" : " " + file.fields[i]) << ": "
                << TerminalText(file.lines[i]) << "\n";
        }
    }
}

std::string JsonRange(const ByteRange& range) {
    return "{\"offset\": " + std::to_string(range.offset) +
           ", \"size\": " + std::to_string(range.size) + "}";
}

void WriteJsonEntries(const PayloadReport& report, std::ostream& out) {
    out << "  \"entries\": [";
    const char* separator = "\n";
    for (const EntryReport& entry : report.entries) {
        out << separator << "    {\"name\": " << JsonQuoted(entry.name)
            << ", \"offset\": " << entry.offset << ", \"recordLength\": " << entry.recordLength
            << ", \"size\": " << entry.size
            << ", \"kind\": " << JsonQuoted(EntryKindName(entry.kind));
        if (entry.kind == EntryKind::Picture) {
            out << ", \"format\": " << JsonQuoted(entry.pictureFormat);
        }
        out << "}";
        separator = ",\n";
    }
    out << (report.entries.empty() ? "],\n" : "\n  ],\n");
}

std::string JsonList(const std::vector<std::string>& texts) {
    std::string list = "[";
    for (const std::string& text : texts) {
        list += (list.size() > 1 ? ", " : "") + JsonQuoted(text);
    }
    return list + "]";
}

void WriteJsonOptionFiles(const PayloadReport& report, std::ostream& out) {
    out << "  \"optionFiles\": [";
    const char* separator = "\n";
    for (const OptionFileReport& file : report.optionFiles) {
        out << separator << "    {\"name\": " << JsonQuoted(file.name)
            << ", \"lines\": " << JsonList(file.lines) << ", \"fields\": " << JsonList(file.fields)
            << "}";
        separator = ",\n";
    }
    out << (report.optionFiles.empty() ? "]\n" : "\n  ]\n");
}

void WriteJson(const std::string& path, const PayloadReport& report, std::ostream& out) {
    const PayloadLayout& layout = report.layout;
    out << "{\n  \"file\": " << JsonQuoted(path) << ",\n  \"ok\": true,\n"
        << "  \"fileSize\": " << layout.fileSize << ",\n"
        << "  \"stub\": " << JsonRange(layout.stub) << ",\n"
        << "  \"documentSection\": " << JsonRange(layout.document) << ",\n"
        << "  \"document\": {\"name\": " << JsonQuoted(report.documentName)
        << ", \"kind\": " << JsonQuoted(report.documentKind)
        << ", \"size\": " << report.documentSize << "},\n"
        << "  \"package\": " << JsonRange(layout.package) << ",\n"
        << "  \"directory\": " << JsonRange(layout.directory) << ",\n"
        << "  \"endMarker\": " << layout.endMarker << ",\n"
        << "  \"afterEndMarker\": {\"offset\": " << report.trailing.range.offset
        << ", \"size\": " << report.trailing.range.size
        << ", \"codeSignature\": " << (report.trailing.codeSignature ? "true" : "false") << "},\n"
        << "  \"signer\": " << (report.signer.empty() ? "null" : JsonQuoted(report.signer))
        << ",\n";
    WriteJsonEntries(report, out);
    WriteJsonOptionFiles(report, out);
    out << "}\n";
}

void WriteJsonFailure(const std::string& path, const std::string& reason,
                      const std::string& position, std::ostream& out) {
    out << "{\n  \"file\": " << JsonQuoted(path) << ",\n  \"ok\": false,\n"
        << "  \"error\": {\"reason\": " << JsonQuoted(reason) << ", \"position\": " << position
        << "}\n}\n";
}

void WriteJsonDamage(const std::string& path, const PayloadError& error, std::ostream& out) {
    WriteJsonFailure(path, error.reason(), std::to_string(error.position()), out);
}

}  // namespace

int RunInspectCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.positional().front();
    const bool json = args.Has("json");
    try {
        FileByteSource source(path);
        if (!MayBeAnOutput(source)) {
            if (json) {
                WriteJsonFailure(path, kNotAnOutput, "null", out);
            }
            err << kProgramName << " inspect: " << path << ": " << kNotAnOutput << "\n";
            return kExitFailure;
        }
        const PayloadReport report = InspectPayload(source);
        if (json) {
            WriteJson(path, report, out);
        } else {
            WriteText(report, out);
        }
    } catch (const PayloadError& e) {
        if (json) {
            WriteJsonDamage(path, e, out);
        }
        err << kProgramName << " inspect: " << path << ": damaged: " << e.what() << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        if (!json) {
            throw;
        }
        WriteJsonFailure(path, e.what(), "null", out);
        err << kProgramName << " inspect: " << path << ": " << e.what() << "\n";
        return kExitFailure;
    }
    return out ? kExitSuccess : kExitFailure;
}

}  // namespace quorlix
