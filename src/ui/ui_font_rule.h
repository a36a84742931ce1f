#pragma once
// The user-interface font rule: every form's font (and the caption tabs')
// takes the first face of a fixed list that is installed for the form's
// character set, at that face's character height. Toolkit-free: the caller
// says which faces are installed (the Qt side asks Qt's font database).
#include <cstdint>
#include <functional>
#include <string_view>

namespace pg {

struct SUiFace {
  const char* face;     // UTF-8
  int32_t pixelHeight;  // character height in pixels
};

using TFaceInstalled = std::function<bool(std::string_view face, uint8_t charSet)>;

// The first face of the list installed for the character set; nullptr when
// none is.
const SUiFace* chooseUiFace(uint8_t charSet, const TFaceInstalled& installed);

// Face names compare without regard to ASCII case.
bool sameFaceName(std::string_view a, std::string_view b);

}  // namespace pg
