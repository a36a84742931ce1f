#include "platform/system_helpers.h"

#include <limits>
#include <new>

namespace pg {

bool arrowKeyDelta(int32_t key, int32_t* dx, int32_t* dy) {
  int32_t x = 0, y = 0;
  switch (key) {
    case kVkLeft: x = -1; break;
    case kVkUp: y = -1; break;
    case kVkRight: x = 1; break;
    case kVkDown: y = 1; break;
    default: return false;
  }
  if (dx) *dx = x;
  if (dy) *dy = y;
  return true;
}

bool tryGetMem(std::unique_ptr<uint8_t[]>& p, size_t size) {
  // No block of this program comes near a terabyte: a size beyond that is a
  // miscomputed or hostile one, refused before the allocator sees it.
  constexpr size_t kMaxBlock = size_t{1} << 40;
  p.reset(size > kMaxBlock ? nullptr : new (std::nothrow) uint8_t[size == 0 ? 1 : size]());
  return p != nullptr;
}

std::string fileTitle(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '/' && out.back() != '\\') out += '/';
  out += name;
  return out;
}

size_t skipBlanks(std::string_view& text) {
  size_t n = 0;
  while (n < text.size() && text[n] == ' ') ++n;
  text.remove_prefix(n);
  return n;
}

bool parseUInt(std::string_view text, uint32_t& value, size_t& used) {
  value = 0;
  used = skipBlanks(text);
  if (text.empty() || !isDigit(text[0])) return false;
  constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();
  for (char c : text) {
    if (!isDigit(c)) break;
    auto digit = static_cast<uint32_t>(c - '0');
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    ++used;
  }
  return true;
}

size_t charIndex(std::string_view s, char ch) {
  size_t i = 0;
  while (i < s.size() && s[i] != ch && s[i] != '\0') ++i;
  return i;
}

}  // namespace pg
