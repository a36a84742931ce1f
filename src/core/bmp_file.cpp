#include "core/bmp_file.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "core/byte_cursor.h"
#include "core/limits.h"
#include "platform/system_helpers.h"

namespace pg {

namespace {

void fileHeaderFields(CByteCursor& c, SBmpFileHeader& h) {
  c.field(h.bfType).field(h.bfSize).field(h.bfReserved1).field(h.bfReserved2).field(h.bfOffBits);
}

void infoHeaderFields(CByteCursor& c, SBmpInfoHeader& h) {
  c.field(h.biSize).field(h.biWidth).field(h.biHeight).field(h.biPlanes).field(h.biBitCount).field(h.biCompression);
  c.field(h.biSizeImage).field(h.biXPelsPerMeter).field(h.biYPelsPerMeter).field(h.biClrUsed).field(h.biClrImportant);
}

// The colour masks of BI_BITFIELDS, in the order red, green, blue.
struct SColourMasks {
  uint32_t red = 0, green = 0, blue = 0;
};

void colourMaskFields(CByteCursor& c, SColourMasks& m) { c.field(m.red).field(m.green).field(m.blue); }

// B, G, R triples widened to B, G, R, 255.
void widenRow24(const uint8_t* src, uint32_t* dst, int32_t width) {
  for (int32_t x = 0; x < width; ++x, src += 3)
    dst[x] = uint32_t{src[0]} | uint32_t{src[1]} << 8 | uint32_t{src[2]} << 16 | 0xFF000000u;
}

// B, G, R, A pixels narrowed to B, G, R triples.
void narrowRow32(const uint32_t* src, uint8_t* dst, int32_t width) {
  for (int32_t x = 0; x < width; ++x, dst += 3) {
    dst[0] = static_cast<uint8_t>(src[x]);
    dst[1] = static_cast<uint8_t>(src[x] >> 8);
    dst[2] = static_cast<uint8_t>(src[x] >> 16);
  }
}

// The masks of plain 32-bit pixels, in the order red, green, blue.
bool plainMasks(const uint8_t bytes[12]) {
  SColourMasks m;
  return readRecord(bytes, 12, m, colourMaskFields) && m.red == 0x00FF0000u && m.green == 0x0000FF00u &&
         m.blue == 0x000000FFu;
}

// What the header says of the picture, checked.
struct SPictureShape {
  int32_t width = 0;
  int32_t height = 0;
  bool topDown = false;
  int32_t bitCount = 0;
  int64_t stride = 0;
  int64_t pixelBytes = 0;  // stride * height
};

bool checkShape(const SBmpInfoHeader& h, SPictureShape& s) {
  if (h.biSize != kBmpInfoHeaderSize) return false;
  if (h.biBitCount != 24 && h.biBitCount != 32) return false;
  const int64_t height = h.biHeight;
  const int64_t rows = height < 0 ? -height : height;
  if (h.biWidth <= 0 || h.biWidth > kMaxImageWidth || rows == 0 || rows > kMaxImageHeight) return false;
  s.width = h.biWidth;
  s.height = static_cast<int32_t>(rows);
  s.topDown = height < 0;
  s.bitCount = h.biBitCount;
  s.stride = s.bitCount == 24 ? bmpStride24(s.width) : bmpStride32(s.width);
  s.pixelBytes = s.stride * rows;
  return true;
}

// Reads the rows from the stream's position into the plane, upright. The
// caller has checked that the stream holds them all.
bool readRows(TMTC& plane, CStream& stream, const SPictureShape& s) {
  std::unique_ptr<uint8_t[]> row;
  if (!tryGetMem(row, static_cast<size_t>(s.stride))) return false;
  if (!plane.Resize(s.width, s.height) || !isPlaneReady(&plane)) return false;
  for (int32_t i = 0; i < s.height; ++i) {
    if (!stream.readExact(row.get(), s.stride)) return false;
    const int32_t y = s.topDown ? i : s.height - 1 - i;
    if (s.bitCount == 24)
      widenRow24(row.get(), plane.pixelAt(0, y), s.width);
    else
      std::memcpy(plane.pixelAt(0, y), row.get(), static_cast<size_t>(4) * static_cast<size_t>(s.width));
  }
  return true;
}

// The masks that follow the info header under BI_BITFIELDS (the stream stands
// after the header). Plain BI_RGB needs nothing.
bool acceptCompression(const SBmpInfoHeader& h, CStream& stream, bool masksNeedClrUsed3) {
  if (h.biCompression == kBiRgb) return true;
  if (h.biCompression != kBiBitFields) return false;
  if (masksNeedClrUsed3 && h.biClrUsed != 3) return false;
  uint8_t masks[12];
  return stream.readExact(masks, 12) && plainMasks(masks);
}

}  // namespace

// ------------------------------------------------------------------- headers

// The buffers below hold exactly the bytes the fields take.
void writeBmpFileHeader(const SBmpFileHeader& h, uint8_t out[kBmpFileHeaderSize]) {
  (void)writeRecord(out, kBmpFileHeaderSize, h, fileHeaderFields);  // see above
}

SBmpFileHeader readBmpFileHeader(const uint8_t in[kBmpFileHeaderSize]) {
  return recordFromBytes<SBmpFileHeader>(in, kBmpFileHeaderSize, fileHeaderFields);
}

void writeBmpInfoHeader(const SBmpInfoHeader& h, uint8_t out[kBmpInfoHeaderSize]) {
  (void)writeRecord(out, kBmpInfoHeaderSize, h, infoHeaderFields);  // see above
}

SBmpInfoHeader readBmpInfoHeader(const uint8_t in[kBmpInfoHeaderSize]) {
  return recordFromBytes<SBmpInfoHeader>(in, kBmpInfoHeaderSize, infoHeaderFields);
}

int32_t dpiToPixelsPerMeter(int32_t dpi) {
  return saturateToInt32(std::trunc(static_cast<double>(dpi) * 100.0 / 2.54));
}

int32_t bmpInfoDpi(const SBmpInfoHeader& h) {
  if (h.biSize != 40 && h.biSize != 108 && h.biSize != 124) return 0;
  return saturateToInt32(std::trunc(static_cast<double>(h.biXPelsPerMeter) * 2.54 / 100.0 + 0.41));
}

namespace {

void fillInfo(SBmpInfoHeader& h, int32_t dpi, int32_t w, int32_t height, uint16_t bits, int64_t stride) {
  h = SBmpInfoHeader{};
  h.biSize = kBmpInfoHeaderSize;
  h.biWidth = w;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = kBiRgb;
  h.biSizeImage = static_cast<uint32_t>(stride * height);
  h.biXPelsPerMeter = h.biYPelsPerMeter = dpiToPixelsPerMeter(dpi);
}

}  // namespace

int32_t makeBmpInfo24(const CDibCore& plane, SBmpInfoHeader& h, int32_t dpi) {
  const int64_t stride = bmpStride24(plane.Width);
  fillInfo(h, dpi, plane.Width, plane.Height, 24, stride);
  return static_cast<int32_t>(stride);
}

int32_t makeBmpInfo32(SBmpInfoHeader& h, int32_t dpi, int32_t w, int32_t height) {
  fillInfo(h, dpi, w, height, 32, bmpStride32(w));
  return 4 * w;
}

int32_t planeBmpInfo32(const CDibCore& plane, SBmpInfoHeader& h, int32_t dpi) {
  return makeBmpInfo32(h, dpi, plane.Width, plane.Height);
}

// ------------------------------------------------------------------- readers

bool readBmp(TMTC& plane, CStream& stream, int32_t* dpi) {
  const int64_t start = stream.position();
  uint8_t bytes[kBmpFileHeaderSize + kBmpInfoHeaderSize];
  if (!stream.readExact(bytes, kBmpFileHeaderSize)) return false;
  const SBmpFileHeader fh = readBmpFileHeader(bytes);
  if (fh.bfType != kBmpMagic) return false;
  if (!stream.readExact(bytes + kBmpFileHeaderSize, kBmpInfoHeaderSize)) return false;
  const SBmpInfoHeader ih = readBmpInfoHeader(bytes + kBmpFileHeaderSize);
  if (dpi) *dpi = bmpInfoDpi(ih);
  SPictureShape shape;
  if (!checkShape(ih, shape) || !acceptCompression(ih, stream, /*masksNeedClrUsed3=*/true)) return false;
  // Files with a gap or a colour table before the pixels say where the pixels
  // are; an offset inside the headers is a careless writer's, whose pixels
  // follow the headers.
  const int64_t headersEnd = stream.position();
  const int64_t pixels = start + fh.bfOffBits;
  if (pixels > headersEnd && stream.seek(pixels, SeekOrigin::Begin) != pixels) return false;
  // Every row must be there before the plane takes its memory.
  if (stream.remaining() < shape.pixelBytes) return false;
  return readRows(plane, stream, shape);
}

bool readBmpFromMemory(TMTC& plane, const void* block, int64_t size, int32_t* dpi) {
  if (!block || size <= 0) return false;
  CFixedMemStream stream(block, size);
  return readBmp(plane, stream, dpi);
}

bool readDibBlock(TMTC& plane, const void* block, int64_t size, int32_t* dpi) {
  if (!block || size < kBmpInfoHeaderSize) return false;
  CFixedMemStream stream(block, size);
  uint8_t bytes[kBmpInfoHeaderSize];
  if (!stream.readExact(bytes, kBmpInfoHeaderSize)) return false;
  const SBmpInfoHeader ih = readBmpInfoHeader(bytes);
  if (dpi) *dpi = bmpInfoDpi(ih);
  SPictureShape shape;
  if (!checkShape(ih, shape) || !acceptCompression(ih, stream, /*masksNeedClrUsed3=*/false)) return false;
  // A colour table may stand before the rows; under BI_BITFIELDS the masks
  // just read are its first three entries.
  const int64_t tableEntries = ih.biCompression == kBiBitFields ? (ih.biClrUsed > 3 ? ih.biClrUsed : 3) : ih.biClrUsed;
  const int64_t rows = kBmpInfoHeaderSize + 4 * tableEntries;
  if (rows > size || stream.seek(rows, SeekOrigin::Begin) != rows) return false;
  if (stream.remaining() < shape.pixelBytes) return false;
  return readRows(plane, stream, shape);
}

// ------------------------------------------------------------------- writers

bool exportDib24(const TMTC& plane, int32_t dpi, SBmpInfoHeader& header, std::vector<uint8_t>& bits) {
  bits.clear();
  makeBmpInfo24(plane, header, dpi);
  if (!hasPixels(plane)) return false;
  const int64_t stride = bmpStride24(plane.Width);
  try {
    bits.assign(static_cast<size_t>(stride * plane.Height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* out = bits.data();
  for (int32_t y = plane.Height - 1; y >= 0; --y, out += stride) narrowRow32(plane.pixelAt(0, y), out, plane.Width);
  return true;
}

bool exportDib32Rect(const TMTC& plane, int32_t dpi, SRectXYWH rect, std::vector<uint8_t>& bits,
                     SBmpInfoHeader& header) {
  bits.clear();
  if (!isPlaneReady(&plane) || !plane.clipRectWH(rect)) return false;
  makeBmpInfo32(header, dpi, rect.Width, rect.Height);
  const size_t rowBytes = static_cast<size_t>(4) * static_cast<size_t>(rect.Width);
  try {
    bits.assign(rowBytes * static_cast<size_t>(rect.Height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* out = bits.data();
  for (int32_t y = rect.Y + rect.Height - 1; y >= rect.Y; --y, out += rowBytes)
    std::memcpy(out, plane.pixelAt(rect.X, y), rowBytes);
  return true;
}

bool saveBmp24(const TMTC& plane, const std::string& fileName, int32_t dpi) {
  if (!hasPixels(plane)) return false;
  SBmpInfoHeader ih;
  const int64_t stride = makeBmpInfo24(plane, ih, dpi);
  const int64_t fileSize = kBmpFileHeaderSize + kBmpInfoHeaderSize + stride * plane.Height;
  if (fileSize > 0xFFFFFFFFll) return false;
  SBmpFileHeader fh;
  fh.bfSize = static_cast<uint32_t>(fileSize);
  fh.bfOffBits = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  uint8_t headers[kBmpFileHeaderSize + kBmpInfoHeaderSize];
  writeBmpFileHeader(fh, headers);
  writeBmpInfoHeader(ih, headers + kBmpFileHeaderSize);

  std::unique_ptr<uint8_t[]> row;  // zero-filled: the padding bytes stay 0
  if (!tryGetMem(row, static_cast<size_t>(stride))) return false;
  auto file = CFileStream::open(fileName, CFileStream::Mode::Create);
  if (!file || !file->writeExact(headers, sizeof headers)) return false;
  for (int32_t y = plane.Height - 1; y >= 0; --y) {
    narrowRow32(plane.pixelAt(0, y), row.get(), plane.Width);
    if (!file->writeExact(row.get(), stride)) return false;  // the temporary is discarded
  }
  return file->commit();
}

}  // namespace pg
