#include "io/clipboard_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "core/bmp_file.h"
#include "core/chunk_head.h"
#include "core/streams.h"
#include "document/layer_data.h"
#include "io/image_codecs.h"
#include "io/native_layer_chunk.h"
#include "platform/clipboard.h"

namespace pg {
namespace {

std::string& clipFilePath() {
  static std::string path;
  return path;
}

void removeClipFile() {
  if (clipFilePath().empty()) return;
  std::error_code ec;
  std::filesystem::remove(clipFilePath(), ec);
}

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The rectangle as a plane of its own.
[[nodiscard]] std::unique_ptr<TMTC> cutOut(const TMTC& plane, SRectXYWH rect, bool opaque) {
  TRect r = xywhToRect(rect);
  if (!isPlaneReady(&plane) || !plane.clipRect(r) || r.Right <= r.Left || r.Bottom <= r.Top) return nullptr;
  auto part = std::make_unique<TMTC>(r.Right - r.Left, r.Bottom - r.Top);
  if (!isPlaneReady(part.get())) return nullptr;
  for (int32_t y = 0; y < part->Height; ++y) {
    std::memcpy(part->pixelAt(0, y), plane.pixelAt(r.Left, r.Top + y), 4 * static_cast<size_t>(part->Width));
    if (opaque)
      for (int32_t x = 0; x < part->Width; ++x) *part->pixelAt(x, y) |= 0xFF000000u;
  }
  return part;
}

// Writes the clipboard file: a 32-bit BMP of the picture.
[[nodiscard]] bool writeClipFile(const TMTC& picture) {
  if (bmpSaveImage(clipFilePath(), picture, 0, true) == kRcOk) return true;
  removeClipFile();
  return false;
}

[[nodiscard]] bool putImage(const TMTC& plane, const SRectXYWH& rect, bool opaque) {
  std::shared_ptr<TMTC> part = cutOut(plane, rect, opaque);
  if (!part) return false;
  const int64_t dibBytes = kBmpInfoHeaderSize + bmpStride32(part->Width) * part->Height;
  if (!clipFilePath().empty() && dibBytes >= kClipFileThreshold) {
    if (!writeClipFile(*part)) return false;
    // Without the mark a paste reads the PNG made from the file.
    (void)clipboardSetHandle(clipFileFormat(), std::vector<uint8_t>{1});
    // Other programs get the PNG made from the file when they ask for it.
    const std::string file = clipFilePath();
    return clipboardAnnounceFormat(kClipPng, [file]() -> std::optional<std::vector<uint8_t>> {
      int32_t dpi = 0;
      std::unique_ptr<TMTC> p = loadImageFile(file, dpi);
      if (!p) return std::nullopt;
      std::vector<uint8_t> png = encodePng(*p, 0, true);
      if (png.empty()) return std::nullopt;
      return png;
    });
  }
  removeClipFile();
  std::vector<uint8_t> png = encodePng(*part, 0, !opaque);
  return !png.empty() && clipboardSetHandle(kClipPng, std::move(png));
}

[[nodiscard]] bool clipFileMarked() {
  return !clipFilePath().empty() && clipboardHasFormat(clipFileFormat()) && std::filesystem::exists(clipFilePath());
}

}  // namespace

std::string clipLayerAttrFormat() { return privateClipboardFormat("pgLayerAttr"); }
std::string clipBoxFormat() { return privateClipboardFormat("pgClipBox"); }
std::string clipFileFormat() { return privateClipboardFormat("pgClipFile"); }

void setClipboardFile(const std::string& path) { clipFilePath() = path; }
const std::string& clipboardFile() { return clipFilePath(); }

bool putClipboardImage24(const TMTC& plane, const SRectXYWH& rect) { return putImage(plane, rect, true); }
bool putClipboardImage32(const TMTC& plane, const SRectXYWH& rect) { return putImage(plane, rect, false); }

bool putClipLayerAttr(const CLayerData& layer) {
  CMemoryStream stream;
  if (writeLayerRecord(stream, layer, kLayerClipboardFlag) != kRcOk || stream.size() <= 0) return false;
  std::vector<uint8_t> block(stream.memory(), stream.memory() + stream.size());
  return clipboardSetHandle(clipLayerAttrFormat(), std::move(block));
}

bool clipHasLayerAttr() { return clipboardHasFormat(clipLayerAttrFormat()); }

bool parseClipLayerAttr(const uint8_t* data, size_t size, SClipLayerAttr& attr, std::string& name) {
  if (data == nullptr || size < 8 + kLayerRecordRest || std::memcmp(data, "KLYR", 4) != 0) return false;
  const uint32_t declared = le32(data + 4);
  if (declared < kLayerRecordRest || declared > size - 8) return false;
  attr = SClipLayerAttr::fromBytes(data + 8);
  const auto* begin = reinterpret_cast<const char*>(data + 8 + kLayerRecordRest);
  const size_t room = declared - kLayerRecordRest;
  name.assign(begin, std::find(begin, begin + room, '\0'));
  return true;
}

bool getClipLayerAttr(SClipLayerAttr& attr, std::string& name) {
  return clipboardReadFormat(clipLayerAttrFormat(), [&](const uint8_t* data, size_t size) {
    return parseClipLayerAttr(data, size, attr, name);
  });
}

bool putClipBox(const SRectXYWH& box) {
  std::vector<uint8_t> bytes;
  for (int32_t v : {box.X, box.Y, box.Width, box.Height}) put32(bytes, static_cast<uint32_t>(v));
  return clipboardSetHandle(clipBoxFormat(), std::move(bytes));
}

bool getClipBox(SRectXYWH& box) {
  return clipboardReadFormat(clipBoxFormat(), [&box](const uint8_t* data, size_t size) {
    if (size < 16) return false;
    box = SRectXYWH{static_cast<int32_t>(le32(data)), static_cast<int32_t>(le32(data + 4)),
                    static_cast<int32_t>(le32(data + 8)), static_cast<int32_t>(le32(data + 12))};
    return true;
  });
}

bool canPasteImage() { return clipFileMarked() || clipboardHasFormat(kClipPng); }

std::unique_ptr<TMTC> getClipboardImage() {
  try {
    int32_t dpi = 0;
    if (clipFileMarked()) {
      std::unique_ptr<TMTC> p = std::make_unique<TMTC>();
      if (bmpGetImage(clipFilePath(), *p, dpi) == kRcOk) return p;
    }
    std::unique_ptr<TMTC> p = std::make_unique<TMTC>();
    bool ok = clipboardReadFormat(kClipPng, [&](const uint8_t* data, size_t size) {
      return decodePng(data, size, *p, dpi) == kRcOk;
    });
    return ok ? std::move(p) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace pg
