#include "app/file_open.h"

#include "app/document_files.h"
#include "canvas/draw_window.h"
#include "document/paper.h"
#include "io/file_result_text.h"
#include "io/image_codecs.h"
#include "io/legacy_document.h"
#include "io/native_file_reader.h"
#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// "%s\rのオープンに失敗しました!  (err=%d)": the file and the failure's number.
constexpr uint32_t kResOpenFailed = 66543;

}  // namespace

OpenRoute openRouteOf(FileKind kind) {
  switch (kind) {
    case FileKind::Native:
      return OpenRoute::Document;
    case FileKind::Bmp:
    case FileKind::Jpeg:
    case FileKind::Png:
    case FileKind::Psd:
      return OpenRoute::Picture;
    case FileKind::LegacyDocument:
      return OpenRoute::LegacyDocument;
    case FileKind::EventsV1:
    case FileKind::EventsV3:
    case FileKind::EventsV4:
      return OpenRoute::Recording;
    case FileKind::LegacyRecording:
      return OpenRoute::LegacyRecording;
    default:
      return OpenRoute::Unsupported;
  }
}

std::string openFailure(const std::string& path, FileResult code) {
  return formatRes(kResOpenFailed, {path, int64_t(fileResultNumber(code))}) + "\r" + fileResultReason(code);
}

SPictureLoad loadPictureForOpen(const std::string& path) {
  SPictureLoad load;
  int32_t dpi = 0;
  FileResult code = kRcOk;
  load.picture = loadImageFile(path, dpi, &code);
  if (!load.picture) {
    load.failure = openFailure(path, code);
    return load;
  }
  if (dpi > 0) load.resolution = dpi;
  return load;
}

SOpenOutcome fillWindowFromFile(TDrawWindow& window, const std::string& path, OpenRoute route, const TMTC* picture) {
  SOpenOutcome out;
  switch (route) {
    case OpenRoute::Document: {
      auto doc = std::make_unique<TPaper>(nullptr, window.paper().services());
      const FileResult rc = readNativeFile(path, *doc);
      // A document read whole that the window cannot take ran out of memory.
      out.ok = rc == kRcOk && window.adoptDocument(std::move(doc));
      if (!out.ok) out.warnings.push_back(openFailure(path, rc == kRcOk ? kRcOutOfMemory : rc));
      break;
    }
    case OpenRoute::Picture:
      out.ok = picture != nullptr && loadPictureIntoDocument(window.paper(), *picture);
      if (!out.ok) out.warnings.push_back(openFailure(path, kRcOutOfMemory));
      break;
    case OpenRoute::LegacyDocument: {
      const SLegacyImportResult r = window.openLegacyDocument(path);
      // A broken file still gave what it could: the window keeps it.
      out.ok = r.status == LegacyImport::Layers || r.status == LegacyImport::NoLayers ||
               r.status == LegacyImport::Broken;
      if (!r.message.empty()) out.warnings.push_back(r.message);
      if (!out.ok && r.message.empty()) out.warnings.push_back(formatRes(kResOpenFailed, {path, int64_t(1)}));
      if (out.ok && r.eventsIgnored) out.warnings.push_back(resString(kResLegacyEventsIgnored));
      break;
    }
    case OpenRoute::Recording:
    case OpenRoute::LegacyRecording:
    case OpenRoute::Unsupported:
      break;
  }
  return out;
}

}  // namespace pg
