#pragma once
// Picture files of other programs: BMP (our own reader and writer), PNG
// (libpng), JPEG (libjpeg-turbo) and the merged picture of a PSD file (our
// own reader). Every picture arrives as a 32-bit plane (B, G, R, A from the
// lowest address, row 0 on top) with its resolution in dots per inch (0 when
// the file names none).
//
// Everything in a file is untrusted: the size is checked against the
// 10,000 x 10,000 limit and the data's length is checked against what the
// header promises before any pixel block is taken. Results are the file
// layer's one-byte codes (core/chunk_head.h): 0 success, 1 out of memory,
// 3 an exception was caught, 4 file missing, 5 cannot be created, 6 cannot be
// opened, 8 short write, 9 truncated data, 12 a variant that is not read
// (bit depth, colour mode, version), 13 width or height outside 1..10,000,
// 16 not a file of that kind (signature or header), 37 nothing to save.
//
// Writers build the whole file in memory and write it beside the target,
// renaming it over the target at the end, so a failed save leaves an older
// file as it was.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/bmp_file.h"
#include "core/chunk_head.h"
#include "core/planes.h"

namespace pg {

// A file larger than this is not read into memory (code 13).
inline constexpr int64_t kMaxImageFileBytes = int64_t{1} << 30;

// ---- decoders over bytes in memory (the clipboard and the fuzz targets use them) ----
[[nodiscard]] FileResult decodeBmp(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi);
[[nodiscard]] FileResult decodePng(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi);
[[nodiscard]] FileResult decodeJpeg(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi);
[[nodiscard]] FileResult decodePsd(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi);

// ---- decoders over files ----
[[nodiscard]] FileResult bmpGetImage(const std::string& path, TMTC& out, int32_t& dpi);
[[nodiscard]] FileResult pngGetImage(const std::string& path, TMTC& out, int32_t& dpi);
[[nodiscard]] FileResult jpegGetImage(const std::string& path, TMTC& out, int32_t& dpi);
[[nodiscard]] FileResult psdGetImage(const std::string& path, TMTC& out, int32_t& dpi);

// The picture of a file by its extension (".bmp"; the JPEG family; ".png";
// ".psd"); any other extension gives none with code 16. code, when given,
// receives the decoder's result.
[[nodiscard]] std::unique_ptr<TMTC> loadImageFile(const std::string& path, int32_t& dpi, FileResult* code = nullptr);
// The merged picture of a ".psd" file; none for any other extension.
[[nodiscard]] std::unique_ptr<TMTC> loadPsdImage(const std::string& path, int32_t& dpi, FileResult* code = nullptr);

// A packed DIB (info header, masks or colour table, rows) as 32-bit pixels:
// 24- and 32-bit pictures, bottom-up or top-down. False for anything else
// or data shorter than the header promises.
[[nodiscard]] bool bmpConv32(const uint8_t* dib, size_t size, TMTC& out, int32_t* dpi = nullptr);

// ---- encoders ----
// The JPEG export settings of the options dialog.
struct SJpegSaveOptions {
  int32_t quality = 90;    // 10..100
  int32_t smoothing = 0;   // 0..100, 0 for none
  bool progressive = false;
  bool greyscale = false;
};

// PNG bytes of the plane: RGB (alpha dropped) or RGBA, with the resolution
// as pixels per metre when dpi > 0. Empty when the plane has no pixels.
[[nodiscard]] std::vector<uint8_t> encodePng(const TMTC& plane, int32_t dpi, bool withAlpha);
[[nodiscard]] std::vector<uint8_t> encodeJpeg(const TMTC& plane, int32_t dpi, const SJpegSaveOptions& options);

[[nodiscard]] FileResult bmpSaveImage(const std::string& path, const TMTC& plane, int32_t dpi, bool withAlpha);
[[nodiscard]] FileResult pngSaveImage(const std::string& path, const TMTC& plane, int32_t dpi, bool withAlpha);
[[nodiscard]] FileResult jpegSaveImage(const std::string& path, const TMTC& plane, int32_t dpi,
                                    const SJpegSaveOptions& options);

// Reads a whole file (codes 0, 4, 6, 9, 13) and writes bytes through a
// temporary file renamed over the target (codes 0, 5, 8, 37).
[[nodiscard]] FileResult readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
[[nodiscard]] FileResult writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace pg
