#pragma once

#include "facts_table.h"

#include <string>

namespace quillmark {

// The 64 header bytes of a cartridge image made from a facts row: magic,
// CRC1, CRC2, the 20-byte internal name, manufacturer "N", card ID "QM" and
// the country byte; everything else zero. V64 order swaps each byte pair.
std::string cartridgeHeader(const FactsRow& row, bool byteSwapped);

} // namespace quillmark
