// PNG through libpng. libpng reports errors by longjmp, so the functions that
// call it keep no object with a destructor between setjmp and the calls; the
// caller owns every buffer.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "core/chunk_head.h"
#include "core/limits.h"
#include "io/image_codecs.h"

namespace pg {
namespace {

struct SPngSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
  // Rows libpng still has to decode (every pass of an interlaced image).
  uint64_t rowsLeft = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* src = static_cast<SPngSource*>(png_get_io_ptr(png));
  // Once every row is decoded, libpng would inflate whatever compressed data
  // follows to its end: a short file could keep it busy for seconds. Nothing
  // past the last row is read.
  if (src->rowsLeft == 0) png_error(png, "rows complete");
  if (count > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->data + src->pos, count);
  src->pos += count;
}

void quietWarning(png_structp, png_const_charp) {}
// Errors end the read or write through the jump set by its caller, without a message.
[[noreturn]] void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct SPngHeader {
  png_uint_32 width = 0, height = 0;
  int32_t dpi = 0;
};

// Reads the header and sets the transforms to 8-bit B, G, R, A. Answers a code.
[[nodiscard]] FileResult readHeader(png_structp png, png_infop info, SPngHeader& head) {
  if (setjmp(png_jmpbuf(png))) return kRcShortRead;
  png_read_info(png, info);
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &head.width, &head.height, &depth, &colour, &interlace, nullptr, nullptr);
  png_uint_32 xppu = 0, yppu = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &xppu, &yppu, &unit) != 0 && unit == PNG_RESOLUTION_METER)
    head.dpi = static_cast<int32_t>(static_cast<double>(xppu) * 2.54 / 100.0 + 0.41);
  if (head.width < 1 || head.height < 1 || head.width > kMaxImageWidth || head.height > kMaxImageHeight)
    return kRcTooLarge;
  if (depth == 16) png_set_strip_16(png);
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) png_set_tRNS_to_alpha(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  (void)png_set_interlace_handling(png);  // the pass count: png_read_image runs them all
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(head.width) * 4) return kRcVersion;
  return kRcOk;
}

// Counts the rows as libpng decodes them (it calls this for each row, before
// the row is stored).
void countRow(png_structp png, png_row_infop, png_bytep) {
  auto* src = static_cast<SPngSource*>(png_get_io_ptr(png));
  if (src->rowsLeft > 0) --src->rowsLeft;
}

// The rows libpng decodes for an image: its height, or the rows of every
// non-empty pass of an interlaced one.
uint64_t decodedRows(png_uint_32 width, png_uint_32 height, bool interlaced) {
  if (!interlaced) return height;
  uint64_t rows = 0;
  for (int pass = 0; pass < 7; ++pass)
    if (PNG_PASS_COLS(width, pass) > 0) rows += PNG_PASS_ROWS(height, pass);
  return rows;
}

[[nodiscard]] FileResult readRows(png_structp png, png_bytepp rows) {
  const auto* src = static_cast<const SPngSource*>(png_get_io_ptr(png));
  // A read refused after the last row ends libpng's clean-up, not the image.
  if (setjmp(png_jmpbuf(png))) return src->rowsLeft == 0 ? kRcOk : kRcShortRead;
  png_read_image(png, rows);
  return kRcOk;
}

void writeToVector(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    out->insert(out->end(), data, data + count);
  } catch (...) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

[[nodiscard]] bool writePng(png_structp png, png_infop info, const TMTC& plane, int32_t dpi, bool withAlpha, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(plane.Width), static_cast<png_uint_32>(plane.Height), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (dpi > 0) {
    const auto ppm = static_cast<png_uint_32>(dpiToPixelsPerMeter(dpi));
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  png_set_bgr(png);
  if (!withAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

FileResult decodePng(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi) {
  dpi = 0;
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return kRcWrongTag;
  // The size is judged from the header chunk before libpng sees the data.
  if (size < 8 + 8 + 13) return kRcShortRead;
  if (std::memcmp(data + 12, "IHDR", 4) != 0) return kRcWrongTag;
  const auto be32 = [](const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  };
  const uint32_t w = be32(data + 16), h = be32(data + 20);
  if (w < 1 || h < 1 || w > kMaxImageWidth || h > kMaxImageHeight) return kRcTooLarge;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (png == nullptr) return kRcOutOfMemory;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return kRcOutOfMemory;
  }
  png_set_user_limits(png, kMaxImageWidth, kMaxImageHeight);
  png_set_chunk_malloc_max(png, 64u << 20);
  SPngSource src{data, size, 0, 1};
  png_set_read_fn(png, &src, readFromMemory);
  png_set_read_user_transform_fn(png, countRow);
  SPngHeader head;
  FileResult rc = readHeader(png, info, head);
  if (rc == kRcOk) {
    dpi = head.dpi;
    src.rowsLeft = decodedRows(head.width, head.height, png_get_interlace_type(png, info) != PNG_INTERLACE_NONE);
    if (!out.Resize(static_cast<int32_t>(head.width), static_cast<int32_t>(head.height)) || !isPlaneReady(&out)) {
      rc = kRcOutOfMemory;
    } else {
      std::vector<png_bytep> rows(head.height);
      for (png_uint_32 y = 0; y < head.height; ++y) rows[y] = out.PixelAddress(0, static_cast<int32_t>(y));
      rc = readRows(png, rows.data());
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return rc;
}

std::vector<uint8_t> encodePng(const TMTC& plane, int32_t dpi, bool withAlpha) {
  std::vector<uint8_t> bytes;
  if (!isPlaneReady(&plane)) return bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (png == nullptr) return bytes;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return bytes;
  }
  std::vector<png_bytep> rows(static_cast<size_t>(plane.Height));
  for (int32_t y = 0; y < plane.Height; ++y) rows[static_cast<size_t>(y)] = plane.PixelAddress(0, y);
  png_set_write_fn(png, &bytes, writeToVector, flushNothing);
  if (!writePng(png, info, plane, dpi, withAlpha, rows.data())) bytes.clear();
  png_destroy_write_struct(&png, &info);
  return bytes;
}

}  // namespace pg
