#include "ui/ui_font_rule.h"

namespace pg {

namespace {

// The list in order of preference: the faces the layouts were made for, then
// the faces a Linux desktop has in their place (a Latin face, then Japanese
// gothic faces), so that the rule finds a face on either.
constexpr SUiFace kUiFaces[] = {
    {"Tahoma", 11},
    {"Microsoft Sans Serif", 11},
    {"MS UI Gothic", 12},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF", 12},  // ＭＳ Ｐゴシック
    {"Arial", 11},
    {"DejaVu Sans", 11},
    {"IPAPGothic", 12},
    {"IPAGothic", 12},
};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool sameFaceName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

const SUiFace* chooseUiFace(uint8_t charSet, const TFaceInstalled& installed) {
  if (!installed) return nullptr;
  for (const SUiFace& f : kUiFaces)
    if (installed(f.face, charSet)) return &f;
  return nullptr;
}

}  // namespace pg
