#include "app/document_files.h"

#include <algorithm>
#include <cstdio>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/chunk_head.h"
#include "core/limits.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "io/file_kinds.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"

namespace pg {
namespace {

// Copies the plane into the layer image at (0, 0) and brings the window's
// flow image and the picture up to date.
[[nodiscard]] bool placeInLayer(TPaper& doc, int32_t index, const TMTC& picture) {
  CLayerData* layer = doc.getLayer(index);
  if (layer == nullptr || !layer->hasImage()) return false;
  const SRectXYWH rect{0, 0, std::min(picture.Width, layer->imageWidth()),
                       std::min(picture.Height, layer->imageHeight())};
  if (!doc.mergeFlowImage(index, picture, 255, rect, TPoint{0, 0})) return false;
  layer->image->compact();
  return true;
}

void refreshAfterImageChange(TPaper& doc, int32_t index) {
  if (TFlowImage* flow = doc.flowImage(); flow != nullptr && index == doc.currentLayerIndex())
    // A flow that cannot load stays invalid and reloads at the next stroke.
    (void)doc.loadFlowImage(*flow, index, true);
  doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, true);
  doc.updateAllThumbnails();
  doc.invalidate();
}

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool loadPictureIntoDocument(TPaper& doc, const TMTC& picture) {
  if (!isPlaneReady(&picture) || doc.layerCount() < 1) return false;
  if (!placeInLayer(doc, 0, picture)) return false;
  // A recording without the picture would replay onto an empty layer: a
  // picture that cannot be recorded fails the load.
  IDocEventRecorder* events = eventRecorderOf(doc.events());
  if (events != nullptr && !events->recordLayerImage(0, picture, 0, doc.name(), nullptr)) return false;
  refreshAfterImageChange(doc, 0);
  return true;
}

std::unique_ptr<TMTC> exportComposite(TPaper& doc) {
  if (doc.width() < 1 || doc.height() < 1) return nullptr;
  // Shown on white for the picture only; nothing is recorded.
  const bool hidden = !doc.showCanvasColor();
  const PaperColor paper = doc.paperColor();
  const SRectXYWH all{0, 0, doc.width(), doc.height()};
  if (hidden) {
    doc.setBackgroundFlags(true, doc.showBgPattern());
    doc.setPaperColorValue(PaperColor{});
  }
  doc.composeRect(all, false);
  std::unique_ptr<TMTC> out = TMTC::CreateCopy(doc.composite());
  if (hidden) {
    doc.setBackgroundFlags(false, doc.showBgPattern());
    doc.setPaperColorValue(paper);
  }
  doc.composeRect(all, true);
  if (!out || !isPlaneReady(out.get())) return nullptr;
  return out;
}

std::unique_ptr<TMTC> layerRect(const TPaper& doc, int32_t layerIndex, const SRectXYWH& docRect) {
  const CLayerData* layer = doc.getLayer(layerIndex);
  if (layer == nullptr || !layer->hasImage()) return nullptr;
  // Document to image coordinates, clipped to the image.
  TRect r{docRect.X + layer->offsetX, docRect.Y + layer->offsetY, docRect.X + layer->offsetX + docRect.Width,
          docRect.Y + layer->offsetY + docRect.Height};
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, layer->imageWidth());
  r.Bottom = std::min(r.Bottom, layer->imageHeight());
  if (r.Right <= r.Left || r.Bottom <= r.Top) return nullptr;
  auto out = std::make_unique<TMTC>(r.Right - r.Left, r.Bottom - r.Top);
  if (!isPlaneReady(out.get())) return nullptr;
  if (!layer->image->copyToPlaneRect(*out, TPoint{0, 0}, false, 255, rectToXYWH(r))) return nullptr;
  return out;
}

std::unique_ptr<TMTC> exportLayer(const TPaper& doc, int32_t layerIndex) {
  return layerRect(doc, layerIndex, SRectXYWH{0, 0, doc.width(), doc.height()});
}

SSaveOutcome saveDocumentToFile(TPaper& doc, const std::string& path, const JpegOptionsAsk& askJpeg) {
  const FileKind kind = fileKindFromExt(path);
  const auto failed = [&path] { return SSaveOutcome{false, formatRes(kResSaveFailed, {path})}; };
  switch (kind) {
    case FileKind::Native: {
      uint32_t flags = kNativeLayers | kNativeThumbnail;
      if (doc.masks() != nullptr && (doc.masks()->count() > 1 || doc.masks()->currentMask() != nullptr))
        flags |= kNativeMasks;
      if (doc.events() != nullptr && doc.events()->hasEvents()) flags |= kNativeEvents;
      if (!writeNativeFile(path, doc, flags)) return failed();
      return {true, formatRes(kResSavedAs, {path})};
    }
    case FileKind::Bmp:
    case FileKind::Jpeg:
    case FileKind::Png: {
      SJpegSaveOptions options;
      if (kind == FileKind::Jpeg && (!askJpeg || !askJpeg(options))) return {false, {}};
      std::unique_ptr<TMTC> picture = exportComposite(doc);
      if (!picture) return {false, resString(kResOutOfMemoryIncomplete)};
      if (kind == FileKind::Bmp) {
        if (bmpSaveImage(path, *picture, doc.resolution(), false) != kRcOk) return failed();
        return {true, resString(kResSavedBitmap)};
      }
      if (kind == FileKind::Jpeg) {
        if (jpegSaveImage(path, *picture, doc.resolution(), options) != kRcOk) return failed();
        return {true, resString(kResSavedJpeg)};
      }
      if (pngSaveImage(path, *picture, doc.resolution(), false) != kRcOk) return failed();
      return {true, formatRes(kResSavedInFormat, {std::string("PNG")})};
    }
    case FileKind::LegacyDocument:
    case FileKind::LegacyRecording:
    case FileKind::EventsV1:
    case FileKind::EventsV3:
    case FileKind::EventsV4:
      return {false, resString(kResSaveKindRefused)};
    default:
      return {false, formatRes(kResUnsupportedFormat, {fileNameOf(path)})};
  }
}

SSaveOutcome saveLayerToFile(const TPaper& doc, int32_t layerIndex, const std::string& path) {
  const FileKind kind = fileKindFromExt(path);
  if (kind != FileKind::Bmp && kind != FileKind::Png)
    return {false, formatRes(kResUnsupportedFormat, {fileNameOf(path)})};
  std::unique_ptr<TMTC> picture = exportLayer(doc, layerIndex);
  if (!picture) return {false, resString(kResOutOfMemoryIncomplete)};
  const FileResult rc = kind == FileKind::Bmp ? bmpSaveImage(path, *picture, doc.resolution(), true)
                                           : pngSaveImage(path, *picture, doc.resolution(), true);
  if (rc != kRcOk) return {false, resString(kResLayerSaveFailed)};
  return {true, resString(kResLayerSaved)};
}

std::string layerExportName(const std::string& title, int32_t index, const std::string& layerName) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", index);
  return (title.empty() ? resString(kResUntitledWord) : title) + "[" + number + "](" + layerName + ")";
}

std::string datedBmpName(const std::string& folder, const std::tm& date,
                         const std::function<bool(const std::string&)>& exists) {
  char stem[48];
  std::snprintf(stem, sizeof stem, "%d-%d-%d-", date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  base += stem;
  for (int32_t n = 0;; ++n) {
    std::string name = base + std::to_string(n) + ".bmp";
    if (!exists || !exists(name)) return name;
  }
}

namespace {

const CMaskData* activeSelection(const TPaper& doc) {
  TPoint offset;
  if (doc.selectionImage(offset) == nullptr) return nullptr;
  return doc.masks()->currentMask();
}

// Scales the alpha of each pixel of the plane (whose top left is the
// document point `at`) by the selection value, as a new layer from the
// selection keeps it: a x m / 255.
void scaleAlphaBySelection(TMTC& plane, const CMaskData& mask, TPoint at) {
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) {
      const uint32_t v = static_cast<uint32_t>(std::clamp(mask.valueAtPaper(at.X + x, at.Y + y), 0, 255));
      uint32_t& p = *plane.pixelAt(x, y);
      p = (p & 0x00FFFFFFu) | (mulDiv255(p >> 24, v) << 24);
    }
}

}  // namespace

bool selectionBox(const TPaper& doc, SRectXYWH& box) {
  const CMaskData* mask = activeSelection(doc);
  TRect r;
  if (mask == nullptr || !mask->getBounds(r)) return false;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, doc.width());
  r.Bottom = std::min(r.Bottom, doc.height());
  if (r.Right <= r.Left || r.Bottom <= r.Top) return false;
  box = rectToXYWH(r);
  return true;
}

std::unique_ptr<TMTC> selectedLayerImage(const TPaper& doc, int32_t layerIndex, SRectXYWH& box) {
  const CMaskData* mask = activeSelection(doc);
  const CLayerData* layer = doc.getLayer(layerIndex);
  if (mask == nullptr || layer == nullptr || !selectionBox(doc, box)) return nullptr;
  // The whole layer image, so that a paste at the copied offset puts the
  // piece back where it was.
  const TPoint origin{-layer->offsetX, -layer->offsetY};
  std::unique_ptr<TMTC> image = layerRect(doc, layerIndex, SRectXYWH{origin.X, origin.Y, layer->imageWidth(), layer->imageHeight()});
  if (!image) return nullptr;
  scaleAlphaBySelection(*image, *mask, origin);
  return image;
}

}  // namespace pg
