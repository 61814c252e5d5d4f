#include "identify.h"

#include "fsys/header_file.h"

namespace quillmark {

FileIdentification identifyFile(const std::string& path, NameList& list, const NamingRule& rule) {
    FileIdentification result;
    try {
        result.header = readHeaderBytes(path);
        result.rom = parseRomHeader(*result.header);
        if (!result.rom) {
            return result;
        }
        TitleFinder titles(list);
        result.title = titles.find(*result.rom);
        result.name = proposeName(*result.rom, *result.title, rule);
    } catch (const FileFailure& failure) {
        result.failure = failure;
    }
    return result;
}

} // namespace quillmark
