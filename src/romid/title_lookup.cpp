#include "title_lookup.h"

#include "romid/demo_table.h"

namespace quillmark {

namespace {

// Spaces, tabs and no-break spaces (UTF-8) only.
bool isBlankTitle(std::string_view title) {
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title.substr(i, 2) == "\xC2\xA0") {
            ++i;
        } else if (title[i] != ' ' && title[i] != '\t') {
            return false;
        }
    }
    return true;
}

TitleLookup fromRecord(const NameRecord& record, TitleSource source) {
    TitleLookup lookup;
    lookup.record = &record;
    if (!isBlankTitle(record.title)) {
        lookup.source = source;
        lookup.title = record.title;
    }
    return lookup;
}

} // namespace

TitleLookup TitleFinder::find(const RomHeader& rom) {
    const DemoResult demo = lookUpDemo(rom.internalName, rom.crc1);
    if (!tried_) {
        tried_ = true;
        try {
            list_.refresh();
        } catch (const FileFailure& failure) {
            failure_ = failure;
        }
    }
    if (failure_ && demo.outcome == DemoLookup::NotInTable) {
        throw *failure_;
    }
    if (!failure_) {
        if (const NameRecord* record = list_.byDump(dumpIdOf(rom))) {
            return fromRecord(*record, TitleSource::DumpRecord);
        }
    }
    TitleLookup lookup;
    if (demo.outcome == DemoLookup::Title) {
        lookup.source = TitleSource::DemoTable;
        lookup.title = demo.title;
    } else if (demo.outcome == DemoLookup::NotInTable) {
        const NameRecord* record = list_.byInternalName(rom.internalName);
        lookup = record != nullptr ? fromRecord(*record, TitleSource::NameRecord) : TitleLookup{};
        if (record == nullptr) {
            lookup.record = &list_.lastRecord();
        }
    }
    return lookup;
}

} // namespace quillmark
