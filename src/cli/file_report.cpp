#include "file_report.h"

#include "romid/country.h"
#include "romid/text_encoding.h"

#include <algorithm>
#include <cstdio>

namespace quillmark::cli {

namespace {

// The length of the well-formed UTF-8 sequence at `at`; 0 for a byte that
// starts none.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char second = byte(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

bool isC1(std::string_view text, std::size_t at, std::size_t length) {
    return length == 2 && static_cast<unsigned char>(text[at]) == 0xC2 &&
           static_cast<unsigned char>(text[at + 1]) < 0xA0;
}

void appendHex(std::string& out, const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    out += text;
}

// A JSON string. File names are bytes: one that is not UTF-8 keeps each
// stray byte as the escape of a lone surrogate U+DC80 + byte, as Python's
// "surrogateescape" writes it, so the name can be found again.
void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        const std::size_t length = sequenceLength(text, at);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            appendHex(out, "\\u%04x", c);
        } else if (length == 0) {
            appendHex(out, "\\udc%02x", c);
            ++at;
            continue;
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    out += '"';
}

void appendJsonField(std::string& out, std::string_view key, std::string_view value) {
    out += ",\"";
    out += key;
    out += "\":";
    appendJsonString(out, value);
}

void appendJsonNull(std::string& out, std::string_view key) {
    out += ",\"";
    out += key;
    out += "\":null";
}

// What the user sees of an internal name: its characters, without the NULs
// and spaces that pad it.
std::string internalNameText(const RomHeader& rom, bool keepSpaces) {
    std::string_view name = rom.internalName;
    while (!name.empty() && (name.back() == '\0' || (!keepSpaces && name.back() == ' '))) {
        name.remove_suffix(1);
    }
    return windows1252ToUtf8(name);
}

std::string_view formatName(const std::optional<RomHeader>& rom) {
    if (!rom) {
        return "none";
    }
    switch (rom->order) {
    case ByteOrder::Z64:
        return "z64";
    case ByteOrder::N64:
        return "n64";
    case ByteOrder::V64:
        break;
    }
    return "v64";
}

std::string_view sourceName(TitleSource source) {
    switch (source) {
    case TitleSource::DumpRecord:
        return "dump";
    case TitleSource::DemoTable:
        return "demo";
    case TitleSource::NameRecord:
        return "name";
    case TitleSource::None:
        break;
    }
    return "";
}

std::string hex(const char* format, unsigned value) {
    std::string text;
    appendHex(text, format, value);
    return text;
}

std::string quoted(std::string_view name) {
    std::string text;
    text += '"';
    text += name;
    text += '"';
    return text;
}

std::string conflictText(const Plan& plan, const PlannedFile& file) {
    const std::string_view other = plan.conflictName(file);
    const std::string alike = " (names that differ only in letter case or Unicode normalisation "
                              "are one name on Windows, macOS and FAT/exFAT)";
    switch (file.conflict) {
    case ConflictKind::NameTaken:
        return quoted(other) + " exists already" + (other != file.newName ? alike : "");
    case ConflictKind::SharedName: {
        const std::string& theirs = plan.files[file.conflictWith].newName;
        return quoted(other) + " is to get " +
               (theirs == file.newName ? "the same name" : quoted(theirs) + alike);
    }
    case ConflictKind::Cycle:
        return "the name is that of " + quoted(other) +
               ", whose new name waits for this file's name (a swap or ring of names)";
    case ConflictKind::Blocked:
        return "the name is that of " + quoted(other) + ", which is not renamed";
    case ConflictKind::None:
        break;
    }
    return {};
}

enum class Colour { None, Green, Yellow, Red };

std::string coloured(std::string_view word, Colour colour, bool on) {
    std::string padded(word);
    padded.resize(11, ' ');
    if (!on || colour == Colour::None) {
        return padded;
    }
    const char* code = colour == Colour::Green    ? "\033[32m"
                       : colour == Colour::Yellow ? "\033[33m"
                                                  : "\033[31m";
    return code + padded.substr(0, word.size()) + "\033[0m" + padded.substr(word.size());
}

} // namespace

std::string_view actionName(const FileRecord& record) {
    if (record.outcome == Outcome::Failed) {
        return "error";
    }
    switch (record.file.action) {
    case PlanAction::Rename:
        return "rename";
    case PlanAction::Unchanged:
        return "unchanged";
    case PlanAction::Unknown:
        return "unknown";
    case PlanAction::NoInternalName:
        return "no-internal-name";
    case PlanAction::NotRom:
        return "not-rom";
    case PlanAction::Conflict:
        return "conflict";
    case PlanAction::Error:
        break;
    }
    return "error";
}

std::string reasonText(const FileRecord& record) {
    const PlannedFile& file = record.file;
    if (record.outcome == Outcome::Failed && record.failure != nullptr) {
        return record.failure->description();
    }
    if (record.outcome == Outcome::NotReached) {
        return std::string(record.note);
    }
    switch (file.action) {
    case PlanAction::Rename:
    case PlanAction::Unchanged:
        return {};
    case PlanAction::Unknown:
        return "unknown";
    case PlanAction::NoInternalName:
        return "no internal name";
    case PlanAction::NotRom:
        return file.kind == EntryKind::Link      ? "a symbolic link, never followed"
               : file.kind == EntryKind::Special ? "a special file, never read"
               : file.kind == EntryKind::Folder  ? "a folder"
               : file.archiveRefusal != ArchiveRefusal::None
                   ? "not an N64 ROM image: " + std::string(archiveRefusalText(file.archiveRefusal))
               : file.archive ? "not an N64 ROM image: the archive's member is no N64 ROM image"
                              : "not an N64 ROM image";
    case PlanAction::Conflict:
        return conflictText(record.plan, file);
    case PlanAction::Error:
        break;
    }
    return file.failure ? file.failure->description() : std::string();
}

std::string jsonLine(const FileRecord& record) {
    const PlannedFile& file = record.file;
    const std::optional<RomHeader> rom = file.rom();
    std::string line = "{\"type\":\"file\"";
    appendJsonField(line, "path", record.plan.path(file));
    appendJsonField(line, "oldName", file.name);
    if (file.newName.empty()) {
        appendJsonNull(line, "newName");
    } else {
        appendJsonField(line, "newName", file.newName);
    }
    appendJsonField(line, "action", actionName(record));
    const std::string reason = reasonText(record);
    if (reason.empty()) {
        appendJsonNull(line, "reason");
    } else {
        appendJsonField(line, "reason", reason);
    }
    line += record.outcome == Outcome::Renamed ? ",\"done\":true" : ",\"done\":false";
    appendJsonField(line, "format", formatName(rom));
    if (rom) {
        appendJsonField(line, "internalName", internalNameText(*rom, true));
        appendJsonField(line, "crc1", hex("%08X", rom->crc1));
        appendJsonField(line, "crc2", hex("%08X", rom->crc2));
        appendJsonField(line, "country", hex("%02X", rom->country));
    } else {
        for (const char* key : {"internalName", "crc1", "crc2", "country"}) {
            appendJsonNull(line, key);
        }
    }
    if (file.title.source == TitleSource::None) {
        appendJsonNull(line, "title");
        appendJsonNull(line, "titleSource");
    } else {
        appendJsonField(line, "title", file.title.title);
        appendJsonField(line, "titleSource", sourceName(file.title.source));
    }
    line += "}\n";
    return line;
}

std::string tableLine(const FileRecord& record, bool colour) {
    const PlannedFile& file = record.file;
    std::string word;
    Colour tint = Colour::None;
    bool showReason = true;
    switch (record.outcome) {
    case Outcome::Renamed:
        word = "renamed";
        tint = Colour::Green;
        break;
    case Outcome::Failed:
        word = "error";
        tint = Colour::Red;
        break;
    case Outcome::NotReached:
        word = "skipped";
        tint = Colour::Yellow;
        break;
    case Outcome::Planned:
        switch (file.action) {
        case PlanAction::Rename:
            word = "rename";
            tint = Colour::Green;
            break;
        case PlanAction::Unchanged:
            word = "unchanged";
            break;
        case PlanAction::Unknown:
            word = "unknown";
            tint = Colour::Yellow;
            showReason = false;
            break;
        case PlanAction::NoInternalName:
            word = "no name";
            tint = Colour::Yellow;
            showReason = false;
            break;
        case PlanAction::NotRom:
            word = "not a ROM";
            showReason = file.kind != EntryKind::File;
            break;
        case PlanAction::Conflict:
            word = "conflict";
            tint = Colour::Red;
            break;
        case PlanAction::Error:
            word = "error";
            tint = Colour::Red;
            break;
        }
    }
    std::string line = coloured(word, tint, colour);
    line += shownText(record.shownPath);
    const bool renames = file.action == PlanAction::Rename || file.action == PlanAction::Conflict;
    if (renames && !file.newName.empty()) {
        line += " -> ";
        line += shownText(file.newName);
    }
    if (const std::string reason = reasonText(record); showReason && !reason.empty()) {
        line += ": ";
        line += shownText(reason);
    }
    line += '\n';
    return line;
}

std::string identifyBlock(const FileRecord& record, bool colour) {
    const PlannedFile& file = record.file;
    std::string block = shownText(record.shownPath) + "\n";
    const auto field = [&block](std::string_view label, std::string_view value) {
        block += "  ";
        block += label;
        block.append(15 - label.size(), ' ');
        block += shownText(value);
        block += '\n';
    };
    const std::optional<RomHeader> rom = file.rom();
    if (!rom) {
        block += "  ";
        block += shownText(reasonText(record));
        block += "\n";
        return block;
    }
    std::string order = rom->order == ByteOrder::Z64   ? "Z64 (not byteswapped)"
                        : rom->order == ByteOrder::N64 ? "N64 (32-bit words reversed)"
                                                       : "V64 (byteswapped)";
    if (file.archive) {
        order += *file.archive == ArchiveKind::Zip ? ", in a ZIP archive" : ", in a 7z archive";
    }
    field("byte order", order);
    field("internal name",
          rom->hasInternalName() ? internalNameText(*rom, false) : "none (it starts with NUL)");
    field("CRC1, CRC2", hex("%08X", rom->crc1) + " " + hex("%08X", rom->crc2));
    std::string country = hex("%02X", rom->country);
    if (const std::string suffix = countrySuffix(rom->country); suffix.size() > 1) {
        country += suffix;
    }
    field("country", country);
    const TitleSource source = file.title.source;
    field("title", source == TitleSource::None
                       ? std::string("none")
                       : std::string(file.title.title) +
                             (source == TitleSource::DumpRecord  ? " (dump record)"
                              : source == TitleSource::DemoTable ? " (demo table)"
                                                                 : " (internal name)"));
    field("new name", file.newName.empty() ? "none" : file.newName);
    const std::string reason = reasonText(record);
    std::string action(actionName(record));
    if (colour && (file.action == PlanAction::Conflict || file.action == PlanAction::Error)) {
        action = "\033[31m" + action + "\033[0m";
    }
    block += "  action         " + action;
    if (!reason.empty()) {
        block += ": " + shownText(reason);
    }
    block += '\n';
    return block;
}

void Totals::add(const FileRecord& record) {
    ++files;
    if (record.outcome == Outcome::Renamed) {
        ++renamed;
        return;
    }
    if (record.outcome == Outcome::Failed) {
        ++errors;
        return;
    }
    switch (record.file.action) {
    case PlanAction::Rename:
        record.outcome == Outcome::Planned ? ++renamed : ++notReached;
        break;
    case PlanAction::Unchanged:
        ++unchanged;
        break;
    case PlanAction::Unknown:
        ++unknown;
        break;
    case PlanAction::NoInternalName:
        ++noInternalName;
        break;
    case PlanAction::NotRom:
        ++notRom;
        break;
    case PlanAction::Conflict:
        ++conflicts;
        break;
    case PlanAction::Error:
        ++errors;
        break;
    }
}

std::string jsonSummary(const Totals& t) {
    std::string line = "{\"type\":\"summary\"";
    const std::pair<const char*, std::size_t> counts[] = {
        {"files", t.files},         {"renamed", t.renamed},
        {"unchanged", t.unchanged}, {"unknown", t.unknown + t.noInternalName},
        {"notRom", t.notRom},       {"conflicts", t.conflicts},
        {"errors", t.errors}};
    for (const auto& [key, value] : counts) {
        line += ",\"";
        line += key;
        line += "\":" + std::to_string(value);
    }
    line += "}\n";
    return line;
}

std::string tableSummary(const Totals& t, bool planned) {
    const auto count = [](std::size_t n, std::string_view one, std::string_view many) {
        return std::to_string(n) + " " + std::string(n == 1 ? one : many);
    };
    std::string line = count(t.files, "file", "files") + ": ";
    line += std::to_string(t.renamed) + (planned ? " to rename" : " renamed");
    if (t.notReached > 0) {
        line += ", " + std::to_string(t.notReached) + " not renamed";
    }
    line += ", " + std::to_string(t.unchanged) + " unchanged";
    line += ", " + std::to_string(t.unknown) + " unknown";
    if (t.noInternalName > 0) {
        line += ", " + std::to_string(t.noInternalName) + " without internal name";
    }
    line += ", " + count(t.notRom, "not a ROM image", "not ROM images");
    line += ", " + count(t.conflicts, "conflict", "conflicts");
    line += ", " + count(t.errors, "error", "errors") + "\n";
    return line;
}

std::string shownText(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        return std::string(bytes);
    }
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = sequenceLength(bytes, at);
        if (c < 0x20 || c == 0x7F || length == 0 || isC1(bytes, at, length)) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                appendHex(shown, "\\x%02X", static_cast<unsigned char>(bytes[at + i]));
            }
            at += std::max<std::size_t>(length, 1);
        } else {
            shown.append(bytes, at, length);
            at += length;
        }
    }
    return shown;
}

std::string jsonString(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

} // namespace quillmark::cli
