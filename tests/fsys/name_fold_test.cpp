#include "fsys/name_fold.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

struct FoldCase {
    std::string_view left;
    std::string_view right;
    bool meet; // one name on a case-insensitive, normalising file system
};

const FoldCase kCases[] = {
    {"Super Mario 64 (USA).v64", "SUPER MARIO 64 (usa).V64", true},
    {"Super Mario 64 (USA).v64", "Super Mario 64 (USA).z64", false},
    {"Mario (USA) \u00E9.v64", "MARIO (usa) \u00C9.V64", true},
    {"Pok\u00E9mon Stadium.v64", "POKE\u0301MON STADIUM.v64", true},
    {"e\u0301", "e\u0300", false},
    {"e\u0301", "e", false},
    {"a\u0323\u0301", "A\u0301\u0323", true},
    {"\u03B1\u0301\u0345", "\u0391\u0345\u0301", true},
    {"\u1FBC", "\u03B1\u03B9", true},
    {"Stra\u00DFe", "STRASSE", true},
    {"STRA\u1E9EE", "strasse", true},
    {"\u00DF", "s", false},
    {"\uFB01le", "FILE", true},
    {"\u039F\u0394\u03A5\u03A3\u03A3\u0395\u03A5\u03A3",
     "\u03BF\u03B4\u03C5\u03C3\u03C3\u03B5\u03C5\u03C2", true},
    {"\u212A", "k", true},
    {"\u2126", "\u03C9", true},
    {"\u212B", "\u00E5", true},
    {"\u017F", "S", true},
    {"\u00B5", "\u039C", true},
    {"\u0131", "I", true},
    {"\u0131", "i", true},
    {"\u0130", "i", false},
    {"\uD55C\uAD6D", "\u1112\u1161\u11AB\u1100\u116E\u11A8", true},
    {"\uD55C", "\u1112\u1161", false},
    {"ab", "a\u200Cb", true},
    {"ab\uFEFF", "AB", true},
    {"\uFF21", "A", false},
    {"\u2460", "1", false},
    {"Mario\xFF.v64", "Mario.v64", false},
    {"Mario\xFF.v64", "MARIO\xFF.V64", true},
    {"\xC1\x81", "A", false},
    {"\xC1\x81", "a", false},
    {"\xED\xA0\x80", "\xED\xA0\x81", false},
    {"\xE9", "\u00E9", false},
    {"\xE9", "\xC9", false},
    {"\xFF", "\u00FF", false},
    {"\xE2\x82", "\xE2\x82\xAC", false},
};

TEST(NameFold, NamesMeetExactlyWhereAStrictFileSystemWouldTakeThemForOne) {
    for (const FoldCase& pair : kCases) {
        EXPECT_EQ(foldedName(pair.left) == foldedName(pair.right), pair.meet)
            << "\"" << pair.left << "\" and \"" << pair.right << "\"";
    }
}

} // namespace
} // namespace quillmark
