#pragma once
// Palette files of the swatch list, in four formats chosen by extension:
//
//   ".kpl"          our own: a 20-byte head "KPAL" (u32 12 + 4 x count, u8 cell
//                   width, u8 cell height, u8 columns, u8 rows, u32 count, u32 0),
//                   then the colours, 4 bytes each (B, G, R, colour space)
//   ".aco"          Adobe Color Swatch, the version-1 section: big-endian u16
//                   version 1 and u16 count, then per colour five big-endian u16
//                   (colour space, four components)
//   ".pcs", ".txt"  the Painter colour set as text: "ROWS ", "COLS ", "WIDTH ",
//                   "HEIGHT ", "TEXTHEIGHT ", "SPACING " lines, then one
//                   "R:%3.3d, G:%3.3d, B:%3.3d" line per colour; ".pcs" ends its
//                   lines with CR, ".txt" with CR LF
//
// A palette colour is held in pixel order: blue in the low byte, then green
// and red; the high byte records the colour space an ".aco" colour came from.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/streams.h"

namespace pg {

enum class PaletteKind : uint8_t { Unknown = 0, Kpl = 1, Pcs = 2, Txt = 3, Aco = 4 };

// ".kpl", ".pcs", ".txt", ".aco" without regard to letter case; else Unknown.
PaletteKind paletteKindFromExt(std::string_view path);

// The colour-space byte of a palette colour.
enum : uint8_t { kSwatchRgb = 0, kSwatchHsb = 1, kSwatchGrey = 2, kSwatchCmyk = 3 };

constexpr uint32_t paletteColor(uint8_t r, uint8_t g, uint8_t b, uint8_t space = kSwatchRgb) {
  return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(space) << 24;
}
constexpr uint8_t paletteRed(uint32_t c) { return uint8_t(c >> 16); }
constexpr uint8_t paletteGreen(uint32_t c) { return uint8_t(c >> 8); }
constexpr uint8_t paletteBlue(uint32_t c) { return uint8_t(c); }
constexpr uint8_t paletteSpace(uint32_t c) { return uint8_t(c >> 24); }

// What a palette file held. The grid values are 0 where the file gave none
// (a ".kpl" always gives all four; text only those it names).
struct SPaletteData {
  std::vector<uint32_t> colours;
  int64_t announced = -1;   // the count the file announced; -1 when it has none
  int64_t cmykCount = 0;    // ".aco" colours converted from CMYK
  bool badVersion = false;  // an ".aco" of a version other than 1
  uint32_t cellWidth = 0;
  uint32_t cellHeight = 0;
  uint32_t columns = 0;
  uint32_t rows = 0;
};

// Parsers of a whole file's bytes. The ".kpl" and ".aco" ones answer false
// when the bytes are not a palette of the kind at all; an ".aco" of another
// version answers true with badVersion set and no colours. Counts from the
// file never reach past the bytes: a file that ends early gives the colours it
// holds, with the announced count kept.
[[nodiscard]] bool parseKplPalette(const uint8_t* data, size_t size, SPaletteData& out);
[[nodiscard]] bool parseAcoPalette(const uint8_t* data, size_t size, SPaletteData& out);
void parseTextPalette(std::string_view text, SPaletteData& out);

// The ".aco" conversions: RGB, HSB (hue a fraction of 65536 of a turn), CMYK
// (0 full ink) and grey (0..10,000); false for the spaces not read.
[[nodiscard]] bool acoColor(uint16_t space, const uint16_t (&values)[4], uint32_t& colour);

// The grid a text palette is written with.
struct SPaletteGrid {
  uint32_t cellWidth = 0;
  uint32_t cellHeight = 0;
  uint32_t columns = 0;
  uint32_t rows = 0;
};

// Writers; each answers false when a write fell short or the format cannot
// hold the palette.
[[nodiscard]] bool writeKplPalette(CStream& out, const std::vector<uint32_t>& colours, const SPaletteGrid& grid);
[[nodiscard]] bool writeAcoPalette(CStream& out, const std::vector<uint32_t>& colours);
[[nodiscard]] bool writeTextPalette(CStream& out, const std::vector<uint32_t>& colours, const SPaletteGrid& grid,
                      std::string_view lineEnd);

// Reads a palette file of a known kind and shows what went wrong: answers the
// number of colours read; -1 when the file cannot be read ("パレットファイルの
// ロードに失敗しました！"); 0 when it holds none ("扱えないパレットデータ形式
// でした！", or for an ".aco" of another version "Invalid ACO version!"). A
// file that held fewer colours than it announced is reported with the number
// missing; when CMYK colours were read the user is asked whether to drop them.
[[nodiscard]] int64_t readPaletteFile(const std::string& path, PaletteKind kind, SPaletteData& out);

// Resource ids of the palette messages.
inline constexpr uint32_t kResPaletteUnknownKind = 65186;
inline constexpr uint32_t kResPaletteReadFailed = 65187;
inline constexpr uint32_t kResPaletteNoColours = 65188;
inline constexpr uint32_t kResPaletteDropCmyk = 65189;
inline constexpr uint32_t kResPaletteAcoVersion = 65190;

// Palette files larger than this are not read.
inline constexpr int64_t kMaxPaletteFileBytes = int64_t{64} << 20;

}  // namespace pg
