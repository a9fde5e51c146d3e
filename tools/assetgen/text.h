// Text table resources: a count, then each text as a signed 16-bit length and
// its UTF-8 bytes.
#pragma once

#include <string>
#include <vector>

#include "bytes.h"

namespace assetgen {

// Texts are UTF-8 of characters up to U+FFFF, at most 32767 bytes each.
Bytes writeTextTable(const std::vector<std::string>& texts);

// Checks that the text is UTF-8 of one- to three-byte characters.
void checkBmpUtf8(const std::string& text, const std::string& field);

}  // namespace assetgen
