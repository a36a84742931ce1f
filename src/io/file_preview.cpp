#include "io/file_preview.h"

#include <cstdio>

#include "core/chunk_head.h"
#include "io/file_kinds.h"
#include "io/image_codecs.h"
#include "io/native_file_reader.h"
#include "io/thumbnail_chunk.h"
#include "record/event_file.h"
#include "platform/string_table.h"

namespace pg {

bool loadFilePreview(const std::string& path, TMTC& picture, uint32_t& width, uint32_t& height) {
  width = height = 0;
  switch (fileKindFromExt(path)) {
    case FileKind::Native: {
      const FileResult rc = readNativeThumbnail(path, picture, width, height);
      return rc == kRcOk || (width > 0 && height > 0);
    }
    case FileKind::EventsV1:
    case FileKind::EventsV3:
    case FileKind::EventsV4:
      // A file without a readable thumbnail previews its size only.
      return readEventFileHeader(path, [&picture](CStream& s) { (void)readThumbnail(s, picture); }, width,
                                 height) == kRcOk;
    case FileKind::Bmp:
    case FileKind::Jpeg:
    case FileKind::Png: {
      int32_t dpi = 0;
      std::unique_ptr<TMTC> p = loadImageFile(path, dpi);
      if (!p || !picture.Resize(p->Width, p->Height) || !picture.copyPixelsFrom(*p)) return false;
      width = static_cast<uint32_t>(p->Width);
      height = static_cast<uint32_t>(p->Height);
      return true;
    }
    default:
      return false;
  }
}

// The labels come from the string tables; the figures after them are the same
// in every language.
constexpr uint32_t kResPreviewSize = 66547;  // "大きさ:"
constexpr uint32_t kResPreviewTime = 66548;  // "更新日:"

std::string previewSizeLabel(bool active, uint32_t width, uint32_t height) {
  std::string label = resString(kResPreviewSize);
  if (!active) return label;
  char text[64];
  std::snprintf(text, sizeof text, " %u × %u", width, height);
  return label + text;
}

std::string previewTimeLabel(bool active, const std::tm& t) {
  std::string label = resString(kResPreviewTime);
  if (!active) return label;
  char text[64];
  std::snprintf(text, sizeof text, " %4.4d/%2.2d/%2.2d %2.2d:%2.2d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min);
  return label + text;
}

}  // namespace pg
