// Builds the shipped name list and its summary from the cartridge facts file:
//   make-roms-ini FACTS.tsv ROMS.ini SUMMARY.md

#include "facts_table.h"
#include "kit/whole_file.h"
#include "name_list_build.h"
#include "name_list_summary.h"

#include <filesystem>
#include <iostream>
#include <stdexcept>

int main(int argc, char** argv) {
    using namespace quillmark;
    if (argc != 4) {
        std::cerr << "usage: make-roms-ini FACTS.tsv ROMS.ini SUMMARY.md\n";
        return 2;
    }
    try {
        const std::string facts = argv[1];
        const NameListBuild build = buildNameList(readFactsTable(facts));
        kit::writeWholeFile(argv[2], nameListText(build));
        kit::writeWholeFile(
            argv[3], nameListSummary(build, std::filesystem::path(facts).filename().string()));
        std::cout << build.records.size() << " records, " << build.choices.size()
                  << " names with several titles, " << build.changedTitles.size()
                  << " titles changed, " << build.leftOut.size() << " names left out, "
                  << build.dumpRecords.size() << " dump records, " << build.clashes.size()
                  << " file names shared\n";
    } catch (const std::exception& error) {
        std::cerr << "make-roms-ini: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
