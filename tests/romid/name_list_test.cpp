#include "fsys/file_failure.h"
#include "fsys/posix/system_calls.h"
#include "fsys/text_file.h"
#include "romid/name_list.h"
#include "romid/name_list_place.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <regex>

namespace quillmark {
namespace {

using test::nameListLine;
using test::TempFolder;

// What looking an internal name up leaves of the record it ended on, as a
// scan through the list would: the match, or the last record.
struct Scan {
    std::string internalName, listKey, fullTitle;
};

bool lookUpTitle(Scan& scan, quillmark::NameList& list) {
    list.refresh();
    const NameRecord* record = list.byInternalName(scan.internalName);
    const NameRecord& ended = record != nullptr ? *record : list.lastRecord();
    scan.listKey = ended.key;
    scan.fullTitle = ended.title;
    return record != nullptr;
}

class NameList : public ::testing::Test {
protected:
    TempFolder folder;
    std::string list = folder.file("roms.ini");
    quillmark::NameList names{list};

    std::string failureText; // of the last failed lookUp

    // Looks `name` up; the failure code, or 0.
    int lookUp(Scan& id, std::string name, bool* matched = nullptr) {
        id.internalName = std::move(name);
        try {
            const bool found = lookUpTitle(id, names);
            if (matched != nullptr) {
                *matched = found;
            }
        } catch (const FileFailure& failure) {
            failureText = failure.description();
            return failure.number();
        }
        return 0;
    }
};

TEST_F(NameList, FirstMatchWinsAndTheKeyMustMatchExactly) {
    folder.write("roms.ini", nameListLine("ZELDA", "First") + nameListLine("ZELDA", "Second") +
                                 nameListLine("MARIO", "Mario") + nameListLine("LAST", "Last"));
    Scan id;
    bool matched = false;
    EXPECT_EQ(lookUp(id, "ZELDA               ", &matched), 0);
    EXPECT_TRUE(matched);
    EXPECT_EQ(id.fullTitle, "First");
    EXPECT_EQ(id.listKey, "ZELDA               ");

    // A match on the last record.
    lookUp(id, "LAST                ", &matched);
    EXPECT_TRUE(matched);
    EXPECT_EQ(id.fullTitle, "Last");

    // Other case, or without the trailing spaces: no match, and the last record stays.
    for (const char* name : {"zelda               ", "ZELDA", "MARIO  "}) {
        lookUp(id, name, &matched);
        EXPECT_FALSE(matched) << name;
        EXPECT_EQ(id.fullTitle, "Last");
        EXPECT_EQ(id.listKey, "LAST                ");
    }
}

TEST_F(NameList, SyntaxVariants) {
    // Unquoted keys lose their trailing spaces, so only an unpadded name would
    // match them; CR LF and LF mixed; blank lines between and after records.
    folder.write("roms.ini", "\r\nPLAIN KEY   , Plain Title  \n\n\"QUOTED\", \"Quoted, Title\"\r\n"
                             "\"WIN                 \",Caf\xE9 Title\r\n\r\n\r\n");
    Scan id;
    bool matched = false;
    lookUp(id, "PLAIN KEY", &matched);
    EXPECT_TRUE(matched);
    EXPECT_EQ(id.fullTitle, "Plain Title");
    lookUp(id, "QUOTED", &matched);
    EXPECT_EQ(id.fullTitle, "Quoted, Title");
    // Titles are decoded from Windows-1252 into the file-name encoding.
    lookUp(id, "WIN                 ", &matched);
    EXPECT_TRUE(matched);
    EXPECT_EQ(id.fullTitle, "Caf\xC3\xA9 Title");
}

TEST(DumpKey, OnlyTheExactShapeNamesADump) {
    EXPECT_EQ(parseDumpKey("635A2BFF-8b022326-c:4a"), (DumpId{0x635A2BFF, 0x8B022326, 0x4A}));
    for (const char* key :
         {"635A2BFF-8B022326-C:4", "635A2BFF-8B022326-C:450", "635A2BFG-8B022326-C:45",
          "635A2BFF+8B022326-C:45", "635A2BFF-8B022326-D:45", "635A2BFF-8B022326-C 45",
          " 35A2BFF-8B022326-C:45", "635A2BFF-8B02232 -C:45", "MARIO KART 64       "}) {
        EXPECT_FALSE(parseDumpKey(key)) << key;
    }
}

TEST_F(NameList, FailuresAndRecovery) {
    Scan id;
    id.fullTitle = "kept";
    EXPECT_EQ(lookUp(id, "ANY"), 53); // missing
    folder.write("roms.ini", "");
    EXPECT_EQ(lookUp(id, "ANY"), 62); // empty: input past end of file
    folder.write("roms.ini", "\r\n  \r\n");
    EXPECT_EQ(lookUp(id, "ANY"), 62); // only blank lines
    EXPECT_EQ(id.fullTitle, "kept");
    {
        test::SystemCallFault fault(test::SystemCallFault::Call::Open, EACCES);
        EXPECT_EQ(lookUp(id, "ANY"), 70);
    }
    std::filesystem::remove(list);
    std::filesystem::create_directory(list);
    EXPECT_EQ(lookUp(id, "ANY"), 75); // a folder of that name is no list
    EXPECT_EQ(failureText, "roms.ini is not a regular file: " + list);
    std::filesystem::remove(list);

    // A lookup right after a failed one reads the file again from the start.
    folder.write("roms.ini", nameListLine("ANY", "Found"));
    bool matched = false;
    EXPECT_EQ(lookUp(id, "ANY                 ", &matched), 0);
    EXPECT_TRUE(matched);
    EXPECT_EQ(id.fullTitle, "Found");
}

// fstat as if the file had been small when it was opened: it grows while it is read.
class GrowsWhileRead {
public:
    GrowsWhileRead() : saved_(systemCalls()) {
        systemCalls().fstat = [](int fd, struct stat* st) {
            const int result = realSystemCalls().fstat(fd, st);
            st->st_size = 100;
            return result;
        };
    }
    ~GrowsWhileRead() { systemCalls() = saved_; }
    GrowsWhileRead(const GrowsWhileRead&) = delete;
    GrowsWhileRead& operator=(const GrowsWhileRead&) = delete;

private:
    SystemCalls saved_;
};

TEST_F(NameList, AFileTooLargeForANameListIsRefused) {
    // Sparse past the limit: neither disk space nor, when refused up front, a read.
    folder.write("roms.ini", nameListLine("GAME", "Title"));
    std::filesystem::resize_file(list, kTextFileSizeLimit + 1);
    Scan id;
    id.fullTitle = "kept";
    {
        // Refused before anything is read.
        test::SystemCallFault noReads(test::SystemCallFault::Call::Read, EIO);
        EXPECT_EQ(lookUp(id, "GAME                "), 75);
    }
    {
        GrowsWhileRead grows;
        EXPECT_EQ(lookUp(id, "GAME                "), 75);
    }
    EXPECT_EQ(id.fullTitle, "kept");

    // Back to a sane size, it is read again.
    std::filesystem::resize_file(list, nameListLine("GAME", "Title").size());
    EXPECT_EQ(lookUp(id, "GAME                "), 0);
    EXPECT_EQ(id.fullTitle, "Title");
}

TEST_F(NameList, EditsShowAtOnce) {
    folder.write("roms.ini", nameListLine("GAME", "Old Title"));
    Scan id;
    lookUp(id, "GAME                ");
    EXPECT_EQ(id.fullTitle, "Old Title");
    // Same size, new contents: the modification time tells.
    const auto before = std::filesystem::last_write_time(list);
    folder.write("roms.ini", nameListLine("GAME", "New Title"));
    std::filesystem::last_write_time(list, before + std::chrono::seconds(1));
    lookUp(id, "GAME                ");
    EXPECT_EQ(id.fullTitle, "New Title");
    // Replaced by another file.
    folder.write("other.ini", nameListLine("GAME", "Replaced"));
    std::filesystem::rename(folder.file("other.ini"), list);
    lookUp(id, "GAME                ");
    EXPECT_EQ(id.fullTitle, "Replaced");
}

TEST_F(NameList, AnEditUnderAnUnsettledStampIsSeen) {
    // A coarse file-system clock (two seconds on FAT, one tick on older kernels)
    // stamps an edit made right after a read with the time of the read version.
    // A stamp not yet safely in the past (here: ahead of the clock, as on a
    // share whose server runs fast) must not keep the parse.
    folder.write("roms.ini", nameListLine("GAME", "Old Title"));
    const auto stamp = std::filesystem::file_time_type::clock::now() + std::chrono::minutes(1);
    std::filesystem::last_write_time(list, stamp);
    Scan id;
    lookUp(id, "GAME                ");
    EXPECT_EQ(id.fullTitle, "Old Title");
    folder.write("roms.ini", nameListLine("GAME", "New Title"));
    std::filesystem::last_write_time(list, stamp);
    lookUp(id, "GAME                ");
    EXPECT_EQ(id.fullTitle, "New Title");
}

TEST_F(NameList, AParseUnderASettledStampIsReused) {
    // An hour old, or an hour ahead of the clock and read twice alike.
    for (const auto age : {std::chrono::hours(1), -std::chrono::hours(1)}) {
        folder.write("roms.ini", nameListLine("GAME", "Title"));
        std::filesystem::last_write_time(list, std::filesystem::file_time_type::clock::now() - age);
        Scan id;
        for (int reads = age.count() > 0 ? 1 : 2; reads > 0; --reads) {
            EXPECT_EQ(lookUp(id, "GAME                "), 0);
        }
        // The file is opened and stat'ed again, but not read: a read failure cannot show.
        test::SystemCallFault fault(test::SystemCallFault::Call::Read, EIO);
        id.fullTitle.clear();
        EXPECT_EQ(lookUp(id, "GAME                "), 0);
        EXPECT_EQ(id.fullTitle, "Title");
    }
}

TEST_F(NameList, DefaultIsTheWorkingFolder) {
    folder.write("roms.ini", nameListLine("HERE", "In the working folder"));
    test::WorkingFolder cwd(folder.path());
    Scan id;
    id.internalName = "HERE                ";
    quillmark::NameList inWorkingFolder;
    EXPECT_TRUE(lookUpTitle(id, inWorkingFolder));
    EXPECT_EQ(id.fullTitle, "In the working folder");
}

// The program as if installed in `prefix/bin`, and the data-folder variables
// as each case sets them; everything is put back afterwards.
class NameListSearch : public NameList {
protected:
    static inline std::string program;
    TempFolder root;
    test::WorkingFolder cwd{root.path()};
    test::SavedSystemCalls savedCalls;
    std::map<std::string, std::optional<std::string>> savedEnv;

    NameListSearch() {
        program = root.file("prefix/bin/quillmark");
        systemCalls().readlink = [](const char*, char* buffer, size_t size) {
            return static_cast<ssize_t>(program.copy(buffer, size));
        };
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
            savedEnv[name] =
                std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
        }
    }
    ~NameListSearch() override {
        for (const auto& [name, value] : savedEnv) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }
};

TEST_F(NameListSearch, TheFirstPlaceWhereTheNameExistsIsTheList) {
    namespace fs = std::filesystem;
    const std::string r = root.path();
    const std::map<std::string, std::string> at = {
        {"work", r + "/roms.ini"},
        {"home", r + "/home/.local/share/quillmark/roms.ini"},
        {"xdg", r + "/xdg/quillmark/roms.ini"},
        {"sys1", r + "/sys1/quillmark/roms.ini"},
        {"sys2", r + "/sys2/quillmark/roms.ini"},
        {"prefix", r + "/prefix/share/quillmark/roms.ini"}};
    struct Case {
        const char* dataHome; // nullptr: unset; "@" stands for the temporary root
        const char* dataDirs;
        std::vector<std::string> lists; // "name/": a folder named roms.ini there
        std::string found;
        std::vector<std::string> searched;
    };
    const std::vector<std::string> all = {"work", "home", "sys1", "sys2", "prefix"};
    const Case cases[] = {
        {nullptr, "@/sys1:@/sys2", {"work", "home", "sys1", "sys2", "prefix"}, "work", all},
        {nullptr, "@/sys1:@/sys2", {"home", "sys1", "sys2", "prefix"}, "home", all},
        {nullptr, "@/sys1:@/sys2", {"sys2", "prefix"}, "sys2", all},
        {nullptr, "@/sys1:@/sys2", {"prefix"}, "prefix", all},
        {nullptr, "@/sys1:@/sys2", {}, "", all},
        // A folder under the list's name is the list: its failure is not hidden.
        {nullptr, "@/sys1:@/sys2", {"sys1/", "sys2"}, "sys1", all},
        {"@/xdg", "@/sys2", {"home", "xdg"}, "xdg", {"work", "xdg", "sys2", "prefix"}},
        // Relative and empty entries are ignored; a place named twice is searched once.
        {"xdg", "sys1::@/sys2:@/prefix/share:@/sys2", {}, "", {"work", "home", "sys2", "prefix"}},
    };
    const auto expand = [&r](const char* text) {
        return std::regex_replace(text, std::regex("@"), r); // r holds no "$"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dataDirs) + " found " + c.found);
        ::setenv("HOME", (r + "/home").c_str(), 1);
        c.dataHome ? ::setenv("XDG_DATA_HOME", expand(c.dataHome).c_str(), 1)
                   : ::unsetenv("XDG_DATA_HOME");
        ::setenv("XDG_DATA_DIRS", expand(c.dataDirs).c_str(), 1);
        for (const auto& [name, path] : at) {
            fs::remove_all(path);
            fs::create_directories(fs::path(path).parent_path());
        }
        for (const std::string& name : c.lists) {
            name.back() == '/' ? (void)fs::create_directory(at.at(name.substr(0, name.size() - 1)))
                               : (void)root.write(fs::relative(at.at(name), r).string(), "x,y");
        }
        const NameListPlace place = findNameList();
        EXPECT_EQ(place.path, c.found.empty() ? "" : at.at(c.found));
        std::vector<std::string> searched(c.searched.size());
        std::ranges::transform(c.searched, searched.begin(),
                               [&](auto& name) { return at.at(name); });
        EXPECT_EQ(place.searched, searched);
    }
    // No list anywhere: the lookup's failure names every place searched.
    Scan id;
    names.setPath("");
    EXPECT_EQ(lookUp(id, "ANY"), 53);
    EXPECT_NE(failureText.find(at.at("work") + "\n" + at.at("home") + "\n" + at.at("sys2") + "\n" +
                               at.at("prefix")),
              std::string::npos);
}

} // namespace
} // namespace quillmark
