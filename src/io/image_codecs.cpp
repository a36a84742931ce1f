// File helpers, BMP through our own reader and writer, and the choice of
// decoder by extension.
#include "io/image_codecs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "core/chunk_head.h"
#include "core/limits.h"
#include "core/streams.h"
#include "io/file_kinds.h"

namespace pg {

FileResult readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? kRcFileMissing : kRcCannotOpen;
  if (S_ISDIR(st.st_mode)) return kRcCannotOpen;
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Read);
  if (!file) return kRcCannotOpen;
  const int64_t size = file->size();
  if (size < 0) return kRcCannotOpen;
  if (size > kMaxImageFileBytes) return kRcTooLarge;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
  if (size > 0 && !file->readExact(bytes.data(), size)) return kRcShortRead;
  return kRcOk;
}

FileResult writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return kRcNothing;
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Create);
  if (!file) return kRcCannotCreate;
  const auto n = static_cast<int64_t>(bytes.size());
  if (file->write(bytes.data(), n) != n) {
    file->discard();
    return kRcShortWrite;
  }
  return file->commit() ? kRcOk : kRcShortWrite;
}

namespace {

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

using Decoder = FileResult (*)(const uint8_t*, size_t, TMTC&, int32_t&);

[[nodiscard]] FileResult decodeFile(const std::string& path, TMTC& out, int32_t& dpi, Decoder decode) {
  dpi = 0;
  std::vector<uint8_t> bytes;
  if (const FileResult rc = readWholeFile(path, bytes); rc != kRcOk) return rc;
  try {
    return decode(bytes.data(), bytes.size(), out, dpi);
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  } catch (const std::exception&) {
    return kRcException;
  }
}

[[nodiscard]] std::unique_ptr<TMTC> loadWith(const std::string& path, int32_t& dpi, FileResult* code, Decoder decode) {
  auto plane = std::make_unique<TMTC>();
  const FileResult rc = decodeFile(path, *plane, dpi, decode);
  if (code != nullptr) *code = rc;
  if (rc != kRcOk) return nullptr;
  return plane;
}

}  // namespace

FileResult decodeBmp(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi) {
  dpi = 0;
  if (size < 2 || data[0] != 'B' || data[1] != 'M') return kRcWrongTag;
  if (size < static_cast<size_t>(kBmpFileHeaderSize + kBmpInfoHeaderSize)) return kRcShortRead;
  const SBmpInfoHeader info = readBmpInfoHeader(data + kBmpFileHeaderSize);
  if (info.biSize < 40) return kRcHeaderSize;
  const int64_t w = info.biWidth;
  const int64_t h = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
  if (w < 1 || h < 1 || w > kMaxImageWidth || h > kMaxImageHeight) return kRcTooLarge;
  if (info.biBitCount != 24 && info.biBitCount != 32) return kRcVersion;
  const int64_t stride = info.biBitCount == 24 ? bmpStride24(w) : bmpStride32(w);
  const int64_t offset = std::max<int64_t>(le32(data + 10), kBmpFileHeaderSize + int64_t{info.biSize});
  if (offset + stride * h > static_cast<int64_t>(size)) return kRcShortRead;
  if (!readBmpFromMemory(out, data, static_cast<int64_t>(size), &dpi)) return kRcVersion;
  return kRcOk;
}

bool bmpConv32(const uint8_t* dib, size_t size, TMTC& out, int32_t* dpi) {
  if (dib == nullptr || size < static_cast<size_t>(kBmpInfoHeaderSize)) return false;
  return readDibBlock(out, dib, static_cast<int64_t>(size), dpi);
}

FileResult bmpGetImage(const std::string& path, TMTC& out, int32_t& dpi) { return decodeFile(path, out, dpi, decodeBmp); }
FileResult pngGetImage(const std::string& path, TMTC& out, int32_t& dpi) { return decodeFile(path, out, dpi, decodePng); }
FileResult jpegGetImage(const std::string& path, TMTC& out, int32_t& dpi) {
  return decodeFile(path, out, dpi, decodeJpeg);
}
FileResult psdGetImage(const std::string& path, TMTC& out, int32_t& dpi) { return decodeFile(path, out, dpi, decodePsd); }

std::unique_ptr<TMTC> loadImageFile(const std::string& path, int32_t& dpi, FileResult* code) {
  dpi = 0;
  switch (fileKindFromExt(path)) {
    case FileKind::Bmp: return loadWith(path, dpi, code, decodeBmp);
    case FileKind::Jpeg: return loadWith(path, dpi, code, decodeJpeg);
    case FileKind::Png: return loadWith(path, dpi, code, decodePng);
    case FileKind::Psd: return loadWith(path, dpi, code, decodePsd);
    default:
      if (code != nullptr) *code = kRcWrongTag;
      return nullptr;
  }
}

std::unique_ptr<TMTC> loadPsdImage(const std::string& path, int32_t& dpi, FileResult* code) {
  dpi = 0;
  if (fileKindFromExt(path) != FileKind::Psd) {
    if (code != nullptr) *code = kRcWrongTag;
    return nullptr;
  }
  return loadWith(path, dpi, code, decodePsd);
}

FileResult bmpSaveImage(const std::string& path, const TMTC& plane, int32_t dpi, bool withAlpha) {
  if (!isPlaneReady(&plane)) return kRcNothing;
  if (!withAlpha) return saveBmp24(plane, path, dpi) ? kRcOk : kRcShortWrite;
  SBmpInfoHeader info;
  std::vector<uint8_t> bits;
  if (!exportDib32Rect(plane, dpi, SRectXYWH{0, 0, plane.Width, plane.Height}, bits, info)) return kRcOutOfMemory;
  std::vector<uint8_t> file(static_cast<size_t>(kBmpFileHeaderSize + kBmpInfoHeaderSize) + bits.size());
  SBmpFileHeader head;
  head.bfOffBits = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  head.bfSize = static_cast<uint32_t>(file.size());
  writeBmpFileHeader(head, file.data());
  writeBmpInfoHeader(info, file.data() + kBmpFileHeaderSize);
  std::memcpy(file.data() + head.bfOffBits, bits.data(), bits.size());
  return writeWholeFile(path, file);
}

FileResult pngSaveImage(const std::string& path, const TMTC& plane, int32_t dpi, bool withAlpha) {
  if (!isPlaneReady(&plane)) return kRcNothing;
  std::vector<uint8_t> bytes = encodePng(plane, dpi, withAlpha);
  if (bytes.empty()) return kRcOutOfMemory;
  return writeWholeFile(path, bytes);
}

FileResult jpegSaveImage(const std::string& path, const TMTC& plane, int32_t dpi, const SJpegSaveOptions& options) {
  if (!isPlaneReady(&plane)) return kRcNothing;
  std::vector<uint8_t> bytes = encodeJpeg(plane, dpi, options);
  if (bytes.empty()) return kRcOutOfMemory;
  return writeWholeFile(path, bytes);
}

}  // namespace pg
