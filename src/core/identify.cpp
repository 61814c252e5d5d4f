#include "identify.h"

#include "fsys/header_file.h"

namespace quillmark {

FileIdentification identifyFile(const std::string& path, NameList& list, const NamingRule& rule) {
    FileIdentification result;
    try {
        std::optional<ArchiveKind> kind;
        if (archiveKindByName(path)) {
            ArchiveHeader read = readArchiveHeader(path);
            kind = read.kind;
            result.archive = ArchiveReading{read.kind, read.refusal, std::move(read.memberName),
                                            read.memberSize};
            if (read.refusal != ArchiveRefusal::None) {
                result.header = readHeaderBytes(path);
                return result;
            }
            result.header = read.header;
        } else {
            result.header = readHeaderBytes(path);
        }
        result.rom = parseRomHeader(*result.header);
        if (!result.rom) {
            return result;
        }
        TitleFinder titles(list);
        result.title = titles.find(*result.rom);
        result.name = proposeName(*result.rom, *result.title, rule, kind);
    } catch (const FileFailure& failure) {
        result.failure = failure;
    }
    return result;
}

} // namespace quillmark
