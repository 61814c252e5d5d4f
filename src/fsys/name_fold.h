#pragma once

#include <string>
#include <string_view>

namespace quillmark {

// A key under which two file names meet when any of the case-insensitive file
// systems a collection may be copied to (NTFS, FAT and exFAT, APFS and HFS+)
// would take them for one name: equal keys, one name.
//
// The key is the name's canonical caseless form: canonically decomposed,
// fully case folded (so "ß" meets "ss", a stricter rule than the uppercase
// tables of NTFS and exFAT), decomposed and ordered again. It is widened where
// those uppercase tables equate more: a dotless "ı" meets "I" and "i". The
// characters HFS+ ignores in names (zero-width joiners, direction marks, the
// byte order mark) are dropped. A name that is not UTF-8 keeps each byte that
// does not decode, marked so that it meets no other byte and no valid name.
//
// The key is a string to compare and hash, not a name to show or use.
std::string foldedName(std::string_view name);

} // namespace quillmark
