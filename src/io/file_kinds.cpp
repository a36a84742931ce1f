#include "io/file_kinds.h"

#include <array>
#include <cstddef>

namespace pg {

namespace {

struct SKindExt {
  FileKind kind;
  std::string_view ext;  // lower case, "." included
};

// Tested in this order; the first match decides.
constexpr std::array<SKindExt, 17> kKindExts = {{
    {FileKind::LegacyDocument, ".lgb"},
    {FileKind::LegacyRecording, ".lge"},
    {FileKind::Native, ".kci"},
    {FileKind::EventsV1, ".kes"},
    {FileKind::EventsV4, ".ke4"},
    {FileKind::EventsV4, ".kv4"},
    {FileKind::EventsV3, ".ke3"},
    {FileKind::EventsV3, ".kv3"},
    {FileKind::Bmp, ".bmp"},
    {FileKind::Jpeg, ".jpg"},
    {FileKind::Jpeg, ".jpeg"},
    {FileKind::Jpeg, ".jpe"},
    {FileKind::Jpeg, ".jif"},
    {FileKind::Jpeg, ".jfif"},
    {FileKind::Jpeg, ".jfi"},
    {FileKind::Png, ".png"},
    {FileKind::Psd, ".psd"},
}};

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

[[nodiscard]] bool equalsIgnoringCase(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != lower[i]) return false;
  return true;
}

}  // namespace

FileKind fileKindFromExt(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return FileKind::None;
  const std::string_view ext = path.substr(dot);
  for (const SKindExt& k : kKindExts)
    if (equalsIgnoringCase(ext, k.ext)) return k.kind;
  return FileKind::None;
}

}  // namespace pg
