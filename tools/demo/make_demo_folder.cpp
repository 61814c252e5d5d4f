// Makes the folder scripts/run opens the window in:
//   make-demo-folder FACTS.tsv ROMS.ini FOLDER
// FOLDER gets a copy of ROMS.ini (the program reads roms.ini from its working
// folder) and a subfolder of sample images made from the facts. A FOLDER made
// by an earlier run is removed first; any other non-empty FOLDER is refused.

#include "demo_folder.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace quillmark;
    if (argc != 4) {
        std::cerr << "usage: make-demo-folder FACTS.tsv ROMS.ini FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = std::filesystem::absolute(argv[3]);
        makeDemoFolder(folder, readFactsTable(argv[1]), argv[2]);
        std::cout << (folder / kSampleFolderName).string() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "make-demo-folder: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
