// JPEG through libjpeg-turbo. Errors come back by longjmp into the one
// function that set the jump; no object with a destructor lives in it.
#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>
#include <cstdlib>

#include "core/chunk_head.h"
#include "core/limits.h"
#include "io/image_codecs.h"

namespace pg {
namespace {

struct SJpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  bool truncated;
  jpeg_progress_mgr progress;
};

// Real progressive files have ten or so scans; each scan costs a pass over
// the whole image, so thousands of them would take minutes to decode.
constexpr int kMaxJpegScans = 500;

// Called by the library as it works: a file past the scan limit ends there.
void limitScans(j_common_ptr info) {
  if (info->is_decompressor == 0) return;
  const auto* d = reinterpret_cast<j_decompress_ptr>(info);
  if (d->input_scan_number > kMaxJpegScans) {
    info->err->msg_code = JERR_NOTIMPL;
    info->err->error_exit(info);
  }
}

// Huffman coding gives every 8 x 8 block of a component at least one bit; a
// file whose bytes cannot hold the blocks of its largest component claims a
// size it does not have, and is refused before the picture is made. The
// library may keep the coefficients of every block of every component
// (progressive files): 64 of two bytes for each, so its memory is held to
// what the bytes can describe.
[[nodiscard]] bool bytesHoldTheBlocks(const jpeg_decompress_struct& d, size_t size) {
  if (d.arith_code) return true;  // arithmetic coding may spend less than a bit
  uint64_t blocks = 0;
  for (int i = 0; i < d.num_components; ++i)
    blocks = std::max(blocks, uint64_t{d.comp_info[i].width_in_blocks} * d.comp_info[i].height_in_blocks);
  return blocks <= uint64_t{size} * 8;
}
long memoryForFile(size_t size) {
  const uint64_t coefficients = uint64_t{size} * 8 * 4 * 128;  // blocks x four components x 128 bytes
  return static_cast<long>(std::min<uint64_t>(coefficients + (32u << 20), uint64_t{1} << 40));
}

void jumpOnError(j_common_ptr info) { std::longjmp(reinterpret_cast<SJpegError*>(info->err)->jump, 1); }
void noMessage(j_common_ptr) {}
// Warnings are not shown; the end of the data arriving early is remembered,
// since the library would otherwise hand back a picture padded with grey.
void noteWarning(j_common_ptr info, int level) {
  auto* err = reinterpret_cast<SJpegError*>(info->err);
  if (level < 0 && err->mgr.msg_code == JWRN_JPEG_EOF) err->truncated = true;
}

int32_t densityDpi(const jpeg_decompress_struct& d) {
  if (d.density_unit == 1) return d.X_density;
  if (d.density_unit == 2) return static_cast<int32_t>(d.X_density * 2.54 + 0.5);
  return 0;
}

// The header and the size check; the output is set to B, G, R, A (or CMYK).
[[nodiscard]] FileResult readHeader(jpeg_decompress_struct& d, SJpegError& err, const uint8_t* data, size_t size, int32_t& dpi) {
  if (setjmp(err.jump)) return kRcShortRead;
  jpeg_create_decompress(&d);
  // Set after the create, which clears the struct.
  err.progress.progress_monitor = limitScans;
  d.progress = &err.progress;
  jpeg_mem_src(&d, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&d, TRUE) != JPEG_HEADER_OK) return kRcWrongTag;
  dpi = densityDpi(d);
  if (d.image_width < 1 || d.image_height < 1 || d.image_width > kMaxImageWidth || d.image_height > kMaxImageHeight)
    return kRcTooLarge;
  if (!bytesHoldTheBlocks(d, size)) return kRcShortRead;
  d.mem->max_memory_to_use = memoryForFile(size);
  const bool cmyk = d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
  d.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  return kRcOk;
}

// Starts decoding: a progressive file's scans are all read here, into
// coefficients held to what the file's bytes can describe, so a file that
// claims more than it holds fails before the picture is made.
[[nodiscard]] FileResult startRows(jpeg_decompress_struct& d, SJpegError& err) {
  if (setjmp(err.jump)) return kRcShortRead;
  jpeg_start_decompress(&d);
  if (err.truncated) return kRcShortRead;
  return d.output_components == 4 ? kRcOk : kRcVersion;
}

// The rows into the plane's rows (row pointers made by the caller). Data
// that ends early ends the reading there: the rest would be grey padding.
[[nodiscard]] FileResult readRows(jpeg_decompress_struct& d, SJpegError& err, JSAMPROW* rows) {
  if (setjmp(err.jump)) return kRcShortRead;
  while (d.output_scanline < d.output_height) {
    JSAMPROW* row = rows + d.output_scanline;
    jpeg_read_scanlines(&d, row, 1);
    if (err.truncated) return kRcShortRead;
  }
  jpeg_finish_decompress(&d);
  return err.truncated ? kRcShortRead : kRcOk;
}

// Adobe writes CMYK inverted: each byte is 255 - ink.
void cmykToBgra(TMTC& out) {
  for (int32_t y = 0; y < out.Height; ++y) {
    uint8_t* p = out.PixelAddress(0, y);
    for (int32_t x = 0; x < out.Width; ++x, p += 4) {
      const uint32_t c = p[0], m = p[1], yy = p[2], k = p[3];
      p[0] = static_cast<uint8_t>(yy * k / 255);
      p[1] = static_cast<uint8_t>(m * k / 255);
      p[2] = static_cast<uint8_t>(c * k / 255);
      p[3] = 255;
    }
  }
}

[[nodiscard]] bool compress(jpeg_compress_struct& c, SJpegError& err, const TMTC& plane, int32_t dpi,
              const SJpegSaveOptions& options, unsigned char** buffer, unsigned long* length) {
  if (setjmp(err.jump)) return false;
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, buffer, length);
  c.image_width = static_cast<JDIMENSION>(plane.Width);
  c.image_height = static_cast<JDIMENSION>(plane.Height);
  c.input_components = 4;
  c.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&c);
  if (options.greyscale) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
  jpeg_set_quality(&c, std::clamp(options.quality, 10, 100), TRUE);
  c.smoothing_factor = std::clamp(options.smoothing, 0, 100);
  if (options.progressive) jpeg_simple_progression(&c);
  if (dpi > 0) {
    c.write_JFIF_header = TRUE;
    c.density_unit = 1;
    c.X_density = c.Y_density = static_cast<UINT16>(std::min(dpi, 65535));
  }
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = plane.PixelAddress(0, static_cast<int32_t>(c.next_scanline));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  return true;
}

}  // namespace

FileResult decodeJpeg(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi) {
  dpi = 0;
  if (size < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF) return kRcWrongTag;
  jpeg_decompress_struct d{};
  SJpegError err{};
  d.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jumpOnError;
  err.mgr.output_message = noMessage;
  err.mgr.emit_message = noteWarning;
  FileResult rc = readHeader(d, err, data, size, dpi);
  if (rc == kRcOk) rc = startRows(d, err);
  if (rc == kRcOk) {
    if (!out.Resize(static_cast<int32_t>(d.image_width), static_cast<int32_t>(d.image_height)) ||
        !isPlaneReady(&out)) {
      rc = kRcOutOfMemory;
    } else {
      std::vector<JSAMPROW> rows(static_cast<size_t>(out.Height));
      for (int32_t y = 0; y < out.Height; ++y) rows[static_cast<size_t>(y)] = out.PixelAddress(0, y);
      rc = readRows(d, err, rows.data());
      if (rc == kRcOk && d.out_color_space == JCS_CMYK) cmykToBgra(out);
    }
  }
  jpeg_destroy_decompress(&d);
  return rc;
}

std::vector<uint8_t> encodeJpeg(const TMTC& plane, int32_t dpi, const SJpegSaveOptions& options) {
  std::vector<uint8_t> bytes;
  if (!isPlaneReady(&plane)) return bytes;
  jpeg_compress_struct c{};
  SJpegError err{};
  c.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jumpOnError;
  err.mgr.output_message = noMessage;
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  const bool ok = compress(c, err, plane, dpi, options, &buffer, &length);
  jpeg_destroy_compress(&c);
  if (ok && buffer != nullptr) bytes.assign(buffer, buffer + length);
  std::free(buffer);
  return bytes;
}

}  // namespace pg
