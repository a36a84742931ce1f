#pragma once
// BMP files and packed DIB blocks (an info header followed by the pixel rows).
//
// Readers accept uncompressed 24- and 32-bit pictures with a 40-byte info
// header, bottom-up or top-down, and always deliver an upright plane: plane
// row 0 is the picture's top row, whichever order the rows were stored in.
// Everything in a header is untrusted: sizes beyond 10,000 x 10,000 pixels,
// pixel data that lies past the end of the data, colour masks other than the
// plain blue/green/red ones and short rows give false, before any block of
// pixels is taken. 24-bit pixels arrive with alpha 255; 32-bit pixels keep
// their fourth byte.
//
// Writers store 24-bit pictures bottom-up with zeroed row padding; a BMP file
// goes through a temporary file, so a failed write leaves an older file as it
// was. Exported DIB blocks are 24-bit (whole plane) or 32-bit (a rectangle),
// bottom row first.
#include <cstdint>
#include <string>
#include <vector>

#include "core/planes.h"
#include "core/rect.h"
#include "core/streams.h"

namespace pg {

inline constexpr uint16_t kBmpMagic = 19778;  // "BM"
inline constexpr int32_t kBmpFileHeaderSize = 14;
inline constexpr int32_t kBmpInfoHeaderSize = 40;
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitFields = 3;

struct SBmpFileHeader {
  uint16_t bfType = kBmpMagic;
  uint32_t bfSize = 0;
  uint16_t bfReserved1 = 0;
  uint16_t bfReserved2 = 0;
  uint32_t bfOffBits = 0;
};

struct SBmpInfoHeader {
  uint32_t biSize = 0;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 0;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};

// Field by field, little-endian.
void writeBmpFileHeader(const SBmpFileHeader& h, uint8_t out[kBmpFileHeaderSize]);
SBmpFileHeader readBmpFileHeader(const uint8_t in[kBmpFileHeaderSize]);
void writeBmpInfoHeader(const SBmpInfoHeader& h, uint8_t out[kBmpInfoHeaderSize]);
SBmpInfoHeader readBmpInfoHeader(const uint8_t in[kBmpInfoHeaderSize]);

// Row strides: (3 * width + 3) and not 3 for 24 bits, 4 * width for 32.
inline int64_t bmpStride24(int64_t width) { return (3 * width + 3) & ~int64_t{3}; }
inline int64_t bmpStride32(int64_t width) { return 4 * width; }

// Trunc(dpi * 100 / 2.54): 72 dpi gives 2834, 96 gives 3779.
int32_t dpiToPixelsPerMeter(int32_t dpi);
// Trunc(biXPelsPerMeter * 2.54 / 100 + 0.41) for an info header of 40, 108 or
// 124 bytes; 0 for any other header size.
int32_t bmpInfoDpi(const SBmpInfoHeader& h);

// Info headers of a bottom-up picture (positive height): biSize 40, one
// plane, no compression, both resolutions from dpi, no colour table.
// makeBmpInfo24 answers the 24-bit stride of the plane's width.
int32_t makeBmpInfo24(const CDibCore& plane, SBmpInfoHeader& h, int32_t dpi);
// For a 32-bit w x h picture; answers 4 * w.
int32_t makeBmpInfo32(SBmpInfoHeader& h, int32_t dpi, int32_t w, int32_t height);
int32_t planeBmpInfo32(const CDibCore& plane, SBmpInfoHeader& h, int32_t dpi);

// Reads a BMP file from the stream's position into the plane. dpi, when
// given, is set from the info header as soon as it has been read (also when
// the picture is then refused). The pixels are read from the file header's
// pixel offset when that lies at or after the headers, else right after them.
// A 32-bit picture with BI_BITFIELDS is accepted when biClrUsed is 3 and the
// three masks are the plain ones. On false a plane already resized keeps its
// new size with its rows partly filled.
[[nodiscard]] bool readBmp(TMTC& plane, CStream& stream, int32_t* dpi = nullptr);
// readBmp over a block in memory.
[[nodiscard]] bool readBmpFromMemory(TMTC& plane, const void* block, int64_t size, int32_t* dpi = nullptr);
// Reads a packed DIB: a 40-byte info header, then (under BI_BITFIELDS) the
// three masks and any colour table of biClrUsed entries, then the rows.
[[nodiscard]] bool readDibBlock(TMTC& plane, const void* block, int64_t size, int32_t* dpi = nullptr);

// A packed 24-bit DIB of the whole plane (bits: the rows, bottom row first).
// False, with bits empty, for a plane without pixels or when memory runs out.
[[nodiscard]] bool exportDib24(const TMTC& plane, int32_t dpi, SBmpInfoHeader& header, std::vector<uint8_t>& bits);
// A 32-bit DIB of the rectangle clipped to the plane (false when that is
// empty), rows bottom first, each 4 * width bytes.
[[nodiscard]] bool exportDib32Rect(const TMTC& plane, int32_t dpi, SRectXYWH rect, std::vector<uint8_t>& bits,
                     SBmpInfoHeader& header);
// Writes the plane as a 24-bit BMP file (headers of 14 and 40 bytes, pixel
// offset 54, rows bottom-up). False when the plane has no pixels or any write
// fails; the target is then left as it was.
[[nodiscard]] bool saveBmp24(const TMTC& plane, const std::string& fileName, int32_t dpi);

}  // namespace pg
