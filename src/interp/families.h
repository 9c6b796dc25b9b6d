// Variable families: the variables named base + a number (LINE1, LINE2, ...)
// that the list commands treat as one list.
#pragma once

#include <string>
#include <vector>

#include "interp/interp.h"

namespace kes {

// Takes every ordinary variable named base + a number of at least 1 out of
// the variable table, placed at that position (gaps are empty elements).
std::vector<std::string> TakeFamily(Interp& in, const std::string& upperBase);
// Writes elements back as base + the element number, zero-padded to the
// number of digits of the count.
void WriteFamily(Interp& in, const std::string& upperBase, const std::vector<std::string>& elements);

}  // namespace kes
