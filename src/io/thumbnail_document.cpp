#include "io/thumbnail_document.h"

#include <algorithm>
#include <new>

#include "core/planes.h"
#include "core/resample.h"
#include "document/doc_recorder.h"
#include "document/layer_thumbnail.h"
#include "document/paper.h"
#include "io/thumbnail_chunk.h"

namespace pg {

bool makeDocumentThumbnail(TPaper& doc, TMTC& picture) {
  TTC& composite = doc.composite();
  if (!hasPixels(composite)) return false;
  const SSize size = thumbnailSizeFor(composite.size(), {kDocumentThumbnailSide, kDocumentThumbnailSide});
  if (!picture.Resize(size.W, size.H)) return false;
  const SRectXYWH whole{0, 0, composite.Width, composite.Height};
  // The grid is no part of the picture.
  const bool grid = doc.view().showGrid();
  if (grid) doc.composeRect(whole, false);
  const bool reduced = downsample4x4(composite, picture);
  if (grid) doc.composeRect(whole, true);
  if (!reduced) return false;
  for (int32_t y = 0; y < picture.Height; ++y) {
    uint32_t* row = picture.pixelAt(0, y);
    for (int32_t x = 0; x < picture.Width; ++x) row[x] |= 0xFF000000u;
  }
  return true;
}

FileResult writeThumbnail(CStream& stream, TPaper& doc, uint16_t format) {
  if (format != kThumbnailPlain && format != kThumbnailScrambled) return kRcThumbFormat;
  try {
    TMTC picture;
    if (!hasPixels(doc.composite())) return kRcNothing;
    if (!makeDocumentThumbnail(doc, picture)) return kRcOutOfMemory;
    SThumbnailDesc desc;
    desc.format = format;
    desc.kind = kPictureDocument;
    if (format == kThumbnailScrambled) {
      desc.group = kDocumentThumbnailGroup;
      desc.key = kThumbnailKey;
      desc.step = kDocumentThumbnailStep;
    }
    desc.sourceWidth = uint32_t(std::max(doc.width(), 0));
    desc.sourceHeight = uint32_t(std::max(doc.height(), 0));
    desc.width = uint32_t(picture.Width);
    desc.height = uint32_t(picture.Height);
    return writeThumbnailChunk(stream, desc, picture.Bits);
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  } catch (...) {
    return kRcException;
  }
}

CEventMngr* documentEventStore(const TPaper& doc) {
  auto* recorder = dynamic_cast<CDocEventRecorder*>(doc.events());
  return recorder != nullptr ? &recorder->store() : nullptr;
}

CEventMngr* CPaperEventDocument::eventStore() { return documentEventStore(doc_); }
uint32_t CPaperEventDocument::eventImageWidth() const { return uint32_t(std::max(doc_.width(), 0)); }
uint32_t CPaperEventDocument::eventImageHeight() const { return uint32_t(std::max(doc_.height(), 0)); }
void CPaperEventDocument::clearRedoList() { doc_.clearRedo(); }
FileResult CPaperEventDocument::writeThumbnailChunk(CStream& stream) {
  return writeThumbnail(stream, doc_, kThumbnailScrambled);
}

}  // namespace pg
