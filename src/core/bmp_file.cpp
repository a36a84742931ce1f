#include "core/bmp_file.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "core/limits.h"
#include "platform/system_helpers.h"

namespace pg {

namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t get32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

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
bool plainMasks(const uint8_t masks[12]) {
  return get32(masks) == 0x00FF0000u && get32(masks + 4) == 0x0000FF00u && get32(masks + 8) == 0x000000FFu;
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

void writeBmpFileHeader(const SBmpFileHeader& h, uint8_t out[kBmpFileHeaderSize]) {
  put16(out, h.bfType);
  put32(out + 2, h.bfSize);
  put16(out + 6, h.bfReserved1);
  put16(out + 8, h.bfReserved2);
  put32(out + 10, h.bfOffBits);
}

SBmpFileHeader readBmpFileHeader(const uint8_t in[kBmpFileHeaderSize]) {
  SBmpFileHeader h;
  h.bfType = get16(in);
  h.bfSize = get32(in + 2);
  h.bfReserved1 = get16(in + 6);
  h.bfReserved2 = get16(in + 8);
  h.bfOffBits = get32(in + 10);
  return h;
}

void writeBmpInfoHeader(const SBmpInfoHeader& h, uint8_t out[kBmpInfoHeaderSize]) {
  put32(out, h.biSize);
  put32(out + 4, static_cast<uint32_t>(h.biWidth));
  put32(out + 8, static_cast<uint32_t>(h.biHeight));
  put16(out + 12, h.biPlanes);
  put16(out + 14, h.biBitCount);
  put32(out + 16, h.biCompression);
  put32(out + 20, h.biSizeImage);
  put32(out + 24, static_cast<uint32_t>(h.biXPelsPerMeter));
  put32(out + 28, static_cast<uint32_t>(h.biYPelsPerMeter));
  put32(out + 32, h.biClrUsed);
  put32(out + 36, h.biClrImportant);
}

SBmpInfoHeader readBmpInfoHeader(const uint8_t in[kBmpInfoHeaderSize]) {
  SBmpInfoHeader h;
  h.biSize = get32(in);
  h.biWidth = static_cast<int32_t>(get32(in + 4));
  h.biHeight = static_cast<int32_t>(get32(in + 8));
  h.biPlanes = get16(in + 12);
  h.biBitCount = get16(in + 14);
  h.biCompression = get32(in + 16);
  h.biSizeImage = get32(in + 20);
  h.biXPelsPerMeter = static_cast<int32_t>(get32(in + 24));
  h.biYPelsPerMeter = static_cast<int32_t>(get32(in + 28));
  h.biClrUsed = get32(in + 32);
  h.biClrImportant = get32(in + 36);
  return h;
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
