#pragma once
// Display names of the character sets the text tool's font window lists.
#include <cstdint>
#include <string>

namespace pg {

// The name of a character set by its number: "欧文", "日本語" and the like for
// the known sets, "その他" (string 65049) for every other number.
std::string charSetName(uint8_t charSet);

}  // namespace pg
