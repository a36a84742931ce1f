#include "io/palette_file.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "core/colour.h"
#include "io/preset_common.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "platform/system_helpers.h"

namespace pg {

namespace {

constexpr uint32_t kTagPalette = chunkTag("KPAL");
constexpr size_t kKplHeadBytes = 20;
constexpr size_t kAcoColourBytes = 10;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

[[nodiscard]] bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (lowerAscii(s[i]) != lowerAscii(prefix[i])) return false;
  return true;
}

uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
void putBe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}

// v of 0..65535 as 0..255 (v x 255 / 65535, truncating).
uint8_t from16(uint32_t v) { return uint8_t(v * 255u / 65535u); }
// v of 0..65535 as a 16.16 value of 0..255.
int32_t fix255(uint32_t v) { return int32_t(uint64_t(v) * uint64_t(kChannelMax) / 65535u); }

// The text palette's keywords, in the order they are tried.
enum class TextKey { Rows, Cols, Width, Height, TextHeight, Spacing, R, G, B };
struct TextKeyword {
  std::string_view text;
  TextKey key;
};
constexpr TextKeyword kTextKeywords[] = {
    {"ROWS ", TextKey::Rows},
    {"COLS ", TextKey::Cols},
    {"WIDTH ", TextKey::Width},
    {"HEIGHT ", TextKey::Height},
    {"TEXTHEIGHT ", TextKey::TextHeight},
    {"SPACING ", TextKey::Spacing},
    {"R:", TextKey::R},
    {"G:", TextKey::G},
    {"B:", TextKey::B},
};

[[nodiscard]] bool isBlank(char c) { return c == ' ' || c == '\t'; }

void parseTextLine(std::string_view line, SPaletteData& out) {
  uint32_t rgb[3] = {};
  bool anyComponent = false;
  size_t pos = 0;
  while (pos < line.size()) {
    const char c = line[pos];
    if (isBlank(c) || c == ',') {
      ++pos;
      continue;
    }
    bool taken = false;
    for (const TextKeyword& k : kTextKeywords) {
      const std::string_view rest = line.substr(pos);
      if (!startsWithNoCase(rest, k.text)) continue;
      uint32_t value = 0;
      size_t used = 0;
      if (!parseUInt(rest.substr(k.text.size()), value, used)) break;
      pos += k.text.size() + used;
      taken = true;
      switch (k.key) {
        case TextKey::Rows:
          out.rows = value;
          break;
        case TextKey::Cols:
          out.columns = value;
          break;
        case TextKey::Width:
          out.cellWidth = value;
          break;
        case TextKey::Height:
          out.cellHeight = value;
          break;
        case TextKey::TextHeight:
        case TextKey::Spacing:
          break;
        case TextKey::R:
        case TextKey::G:
        case TextKey::B:
          // A component beyond a byte is the full component.
          rgb[int(k.key) - int(TextKey::R)] = std::min<uint32_t>(value, 255);
          anyComponent = true;
          break;
      }
      break;
    }
    if (!taken)
      while (pos < line.size() && !isBlank(line[pos])) ++pos;
  }
  if (anyComponent) out.colours.push_back(paletteColor(uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2])));
}

[[nodiscard]] bool writeLine(CStream& out, const std::string& line) { return writeStringToStream(out, line); }

std::string formatLine(const char* format, uint32_t value, std::string_view lineEnd) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, int(std::min<uint32_t>(value, 0x7FFFFFFF)));
  return std::string(buffer) + std::string(lineEnd);
}

}  // namespace

PaletteKind paletteKindFromExt(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return PaletteKind::Unknown;
  const std::string_view ext = path.substr(dot);
  const struct {
    std::string_view ext;
    PaletteKind kind;
  } kKinds[] = {
      {".kpl", PaletteKind::Kpl}, {".pcs", PaletteKind::Pcs}, {".txt", PaletteKind::Txt}, {".aco", PaletteKind::Aco}};
  for (const auto& k : kKinds)
    if (ext.size() == k.ext.size() && startsWithNoCase(ext, k.ext)) return k.kind;
  return PaletteKind::Unknown;
}

namespace {

// The 20-byte head "KPAL" of a .kpl palette; the colours follow, 4 bytes each.
struct SKplHead {
  uint32_t tag = kTagPalette;
  uint32_t size = 0;
  uint8_t cellWidth = 0, cellHeight = 0, columns = 0, rows = 0;
  uint32_t count = 0;
};

void kplHeadFields(CByteCursor& c, SKplHead& r) {
  c.field(r.tag).field(r.size).field(r.cellWidth).field(r.cellHeight).field(r.columns).field(r.rows);
  c.field(r.count).zeros(kKplHeadBytes - 16);
}

}  // namespace

bool parseKplPalette(const uint8_t* data, size_t size, SPaletteData& out) {
  SKplHead head;
  if (!readRecord(data, size, head, kplHeadFields) || head.tag != kTagPalette) return false;
  out.cellWidth = head.cellWidth;
  out.cellHeight = head.cellHeight;
  out.columns = head.columns;
  out.rows = head.rows;
  out.announced = head.count;
  // The count is held against the bytes the file really has.
  const uint64_t present = (size - kKplHeadBytes) / 4;
  const uint64_t n = std::min<uint64_t>(uint64_t(out.announced), present);
  out.colours.reserve(n);
  for (uint64_t i = 0; i < n; ++i) out.colours.push_back(chunkU32(data + kKplHeadBytes + 4 * i));
  return true;
}

bool acoColor(uint16_t space, const uint16_t (&v)[4], uint32_t& colour) {
  SRgbTriple rgb;
  switch (space) {
    case 0:
      colour = paletteColor(from16(v[0]), from16(v[1]), from16(v[2]), kSwatchRgb);
      return true;
    case 1: {
      const SHsv hsv{int32_t(v[0]) * 360, fix255(v[1]), fix255(v[2])};
      hsvToRgb(hsv, rgb);
      colour = paletteColor(rgb.R, rgb.G, rgb.B, kSwatchHsb);
      return true;
    }
    case 2: {
      // The stored components count down from 65535 (no ink).
      SCmyk cmyk;
      cmyk.C = int32_t(255 - from16(v[0])) << 16;
      cmyk.M = int32_t(255 - from16(v[1])) << 16;
      cmyk.Y = int32_t(255 - from16(v[2])) << 16;
      cmyk.K = int32_t(255 - from16(v[3])) << 16;
      cmykToRgb(cmyk, rgb);
      colour = paletteColor(rgb.R, rgb.G, rgb.B, kSwatchCmyk);
      return true;
    }
    case 8: {
      const uint8_t g = uint8_t(std::min<uint32_t>(uint32_t(v[0]) * 255u / 10000u, 255u));
      colour = paletteColor(g, g, g, kSwatchGrey);
      return true;
    }
    default:
      return false;
  }
}

bool parseAcoPalette(const uint8_t* data, size_t size, SPaletteData& out) {
  if (size < 4) return false;
  if (be16(data) != 1) {
    out.badVersion = true;
    return true;
  }
  out.announced = be16(data + 2);
  const uint64_t present = (size - 4) / kAcoColourBytes;
  const uint64_t n = std::min<uint64_t>(uint64_t(out.announced), present);
  for (uint64_t i = 0; i < n; ++i) {
    const uint8_t* p = data + 4 + kAcoColourBytes * i;
    const uint16_t values[4] = {be16(p + 2), be16(p + 4), be16(p + 6), be16(p + 8)};
    uint32_t colour = 0;
    if (!acoColor(be16(p), values, colour)) continue;
    if (paletteSpace(colour) == kSwatchCmyk) ++out.cmykCount;
    out.colours.push_back(colour);
  }
  return true;
}

void parseTextPalette(std::string_view text, SPaletteData& out) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    parseTextLine(text.substr(start, end - start), out);
    // CR, LF or CR LF end a line.
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
}

bool writeKplPalette(CStream& out, const std::vector<uint32_t>& colours, const SPaletteGrid& grid) {
  const uint64_t count = colours.size();
  if (count > (0xFFFFFFFFull - 12) / 4) return false;
  SKplHead h;
  h.size = uint32_t(12 + 4 * count);
  h.cellWidth = uint8_t(std::min<uint32_t>(grid.cellWidth, 255));
  h.cellHeight = uint8_t(std::min<uint32_t>(grid.cellHeight, 255));
  h.columns = uint8_t(std::min<uint32_t>(grid.columns, 255));
  h.rows = uint8_t(std::min<uint32_t>(grid.rows, 255));
  h.count = uint32_t(count);
  uint8_t head[kKplHeadBytes];
  if (!writeRecord(head, kKplHeadBytes, h, kplHeadFields) || !out.writeExact(head, kKplHeadBytes)) return false;
  std::vector<uint8_t> bytes(4 * count);
  for (uint64_t i = 0; i < count; ++i) putChunkU32(bytes.data() + 4 * i, colours[i]);
  return out.writeExact(bytes.data(), int64_t(bytes.size()));
}

bool writeAcoPalette(CStream& out, const std::vector<uint32_t>& colours) {
  if (colours.size() > 0xFFFF) return false;
  std::vector<uint8_t> bytes(4 + kAcoColourBytes * colours.size(), 0);
  putBe16(bytes.data(), 1);
  putBe16(bytes.data() + 2, uint16_t(colours.size()));
  for (size_t i = 0; i < colours.size(); ++i) {
    uint8_t* p = bytes.data() + 4 + kAcoColourBytes * i;
    putBe16(p + 2, uint16_t(paletteRed(colours[i]) * 257));
    putBe16(p + 4, uint16_t(paletteGreen(colours[i]) * 257));
    putBe16(p + 6, uint16_t(paletteBlue(colours[i]) * 257));
  }
  return out.writeExact(bytes.data(), int64_t(bytes.size()));
}

bool writeTextPalette(CStream& out, const std::vector<uint32_t>& colours, const SPaletteGrid& grid,
                      std::string_view lineEnd) {
  if (!writeLine(out, formatLine("ROWS %d", grid.rows, lineEnd)) ||
      !writeLine(out, formatLine("COLS %d", grid.columns, lineEnd)) ||
      !writeLine(out, formatLine("WIDTH %d", grid.cellWidth, lineEnd)) ||
      !writeLine(out, formatLine("HEIGHT %d", grid.cellHeight, lineEnd)) ||
      !writeLine(out, formatLine("TEXTHEIGHT %d", 0, lineEnd)) || !writeLine(out, formatLine("SPACING %d", 1, lineEnd)))
    return false;
  std::string text;
  for (uint32_t c : colours) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "R:%3.3d, G:%3.3d, B:%3.3d", paletteRed(c), paletteGreen(c), paletteBlue(c));
    text += buffer;
    text += lineEnd;
  }
  return writeLine(out, text);
}

int64_t readPaletteFile(const std::string& path, PaletteKind kind, SPaletteData& out) {
  out = SPaletteData{};
  const int64_t size = getFileSize(path);
  std::vector<uint8_t> bytes;
  bool readable = size >= 0 && size <= kMaxPaletteFileBytes;
  if (readable) {
    std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Read);
    bytes.resize(size_t(size));
    readable = file && file->readExact(bytes.data(), size);
  }
  if (readable) {
    switch (kind) {
      case PaletteKind::Kpl:
        readable = parseKplPalette(bytes.data(), bytes.size(), out);
        break;
      case PaletteKind::Aco:
        readable = parseAcoPalette(bytes.data(), bytes.size(), out);
        break;
      case PaletteKind::Pcs:
      case PaletteKind::Txt:
        parseTextPalette(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), out);
        break;
      case PaletteKind::Unknown:
        readable = false;
        break;
    }
  }
  if (!readable) {
    showWarning(resString(kResPaletteReadFailed));
    out = SPaletteData{};
    return -1;
  }
  if (out.badVersion) {
    showWarning(resString(kResPaletteAcoVersion));
    return 0;
  }
  if (out.colours.empty()) {
    showWarning(resString(kResPaletteNoColours));
    return 0;
  }
  const int64_t read = int64_t(out.colours.size());
  if (out.announced > read) showPresetMissing(out.announced - read, kResPaletteWord);
  if (out.cmykCount > 0 &&
      askConfirm(formatRes(kResPaletteDropCmyk, {read, out.cmykCount}), MessageButtons::YesNo) == kMrYes) {
    std::erase_if(out.colours, [](uint32_t c) { return paletteSpace(c) == kSwatchCmyk; });
    out.cmykCount = 0;
  }
  return int64_t(out.colours.size());
}

}  // namespace pg
