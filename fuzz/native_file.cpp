// Reads arbitrary bytes as a native file: the whole file into a fresh
// document, or its chunks into lists of their own where the header states a
// document too large to set up for every input; as a thumbnail chunk; and
// walked for the document thumbnail. Every field is
// untrusted: the readers must answer one of their codes, and a document that
// was read must hold together (sizes within the limits, valid current
// layer and mask, every tile inside its grid, a recording that walks); one
// that was refused must be untouched.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "core/chunk_head.h"
#include "core/limits.h"
#include "core/planes.h"
#include "core/streams.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "io/native_file_reader.h"
#include "io/native_header.h"
#include "io/thumbnail_chunk.h"
#include "io/thumbnail_document.h"
#include "fuzz_support.h"
#include "platform/message_service.h"
#include "record/event_store.h"
#include "record/packet_walker.h"
#include "record/progress.h"

namespace {

using namespace pg;

using fuzz::check;

bool fileCode(FileResult code) {
  switch (code) {
    case kRcOk: case kRcOutOfMemory: case kRcException: case kRcShortRead: case kRcVersion: case kRcTooLarge:
    case kRcWrongTag: case kRcHeaderSize:
      return true;
    default:
      return false;
  }
}

bool thumbnailCode(FileResult code) {
  switch (code) {
    case kRcOk: case kRcOutOfMemory: case kRcException: case kRcShortRead: case kRcSeekFailed:
    case kRcChunkPastEnd: case kRcTooLarge: case kRcThumbFormat: case kRcPictureKind: case kRcWrongTag:
    case kRcHeaderSize:
      return true;
    default:
      return false;
  }
}

bool sideAllowed(int32_t v) { return v >= 1 && v <= kMaxImageWidth; }

bool offsetAllowed(int32_t v) { return v >= -kMaxImageWidth && v <= kMaxImageWidth; }

template <class Image>
void checkImage(const Image& img, int32_t edge) {
  check(img.isValid() && sideAllowed(img.width()) && sideAllowed(img.height()) && img.tileEdge() == edge);
  check(img.columns() == (img.width() + edge - 1) / edge && img.rows() == (img.height() + edge - 1) / edge);
  check(img.tileCount() == img.columns() * img.rows());
}

void checkDocument(const TPaper& doc) {
  check(doc.isReady() && sideAllowed(doc.width()) && sideAllowed(doc.height()));
  const CLayerMngr& layers = *doc.layers();
  check(layers.count() >= 1 && layers.count() <= kMaxLayers && layers.isValidIndex(layers.current()));
  for (int32_t i = 0; i < layers.count(); ++i) {
    const CLayerData& l = *layers.getLayer(i);
    check(l.index == i && l.blendMode <= 21 && l.linkLevel == 0);
    check(offsetAllowed(l.offsetX) && offsetAllowed(l.offsetY) && sideAllowed(l.width) && sideAllowed(l.height));
    checkImage(*l.image, 32);
  }
  const CMaskMngr& masks = *doc.masks();
  check(masks.count() >= 1 && masks.isValidIndex(masks.current()));
  for (int32_t i = 0; i < masks.count(); ++i) {
    const CMaskData& m = *masks.getMask(i);
    check(m.index == i && offsetAllowed(m.offsetX) && offsetAllowed(m.offsetY));
    if (m.image) checkImage(*m.image, 64);
  }
  const CEventMngr* store = documentEventStore(doc);
  check(store != nullptr && walkPackets(store->source(), 0, store->writePosition()).wellFormed());
}

// The chunks read into lists of their own, as the reader stages them, at
// whatever size the header states: every layer, mask and recording the bytes
// hold is read, and what was read holds together.
void readChunksAlone(const uint8_t* data, size_t size) {
  if (size < size_t(kNativeHeaderBytes) || checkNativeHeader(data) != kRcOk) return;
  const SNativeHeader h = parseNativeHeader(data);
  CLayerMngr layers(24);
  layers.setDocumentSize(int32_t(h.width), int32_t(h.height));
  CMaskMngr masks(16);
  masks.setDocumentSize(int32_t(h.width), int32_t(h.height));
  masks.clear();
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  TPaper events(nullptr, services);
  CFixedMemStream in(data, int64_t(size));
  check(in.seek(kNativeHeaderBytes, SeekOrigin::Begin) == kNativeHeaderBytes);
  SNativeReadNotes notes;
  (void)readNativeChunks(in, {&layers, &masks, &events}, nullProgress(), notes);
  check(layers.count() <= kMaxLayers);
  for (int32_t i = 0; i < layers.count(); ++i) checkImage(*layers.getLayer(i)->image, 32);
  for (int32_t i = 0; i < masks.count(); ++i)
    if (const CMaskData* m = masks.getMask(i); m->image) checkImage(*m->image, 64);
  const CEventMngr* store = documentEventStore(events);
  check(store != nullptr && walkPackets(store->source(), 0, store->writePosition()).wellFormed());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silenceMessages();
  const fuzz::MemoryBudget budget;

  // The whole open sets the document up at the header's size: its composite
  // is made and drawn, which costs time in proportion to the area whatever
  // the file holds. It runs for documents whose composite the memory budget
  // lets be made (512 x 512 pixels); the chunks of larger ones are read
  // alone.
  const bool large = size >= size_t(kNativeHeaderBytes) &&
                     uint64_t{chunkU32(data + 8)} * chunkU32(data + 12) * 4 > fuzz::MemoryBudget::kLargestBlock;
  if (large) {
    readChunksAlone(data, size);
  } else {
    DocServices services;
    services.makeRecorder = eventStoreRecorderFactory();
    TPaper doc(nullptr, services);
    CFixedMemStream in(data, int64_t(size));
    const FileResult code = readNativeStream(in, doc, "fuzz.kci");
    check(fileCode(code));
    if (code == kRcOk)
      checkDocument(doc);
    else
      check(!doc.isReady() && doc.width() == 0 && doc.layers()->count() == 0);
  }

  // The same bytes as one thumbnail chunk, and walked for the document's.
  {
    CFixedMemStream in(data, int64_t(size));
    SThumbnailDesc desc;
    std::vector<uint8_t> pixels;
    int64_t length = 0;
    const FileResult code = readThumbnailChunk(in, desc, pixels, length);
    check(thumbnailCode(code));
    if (code == kRcOk) {
      check(pixels.size() == desc.raw && length >= kThumbnailHeadBytes && length <= int64_t(size));
      check(uint64_t{desc.raw} == uint64_t{desc.width} * desc.height * pictureBytesPerPixel(desc.kind));
    }
  }
  if (size >= size_t(kNativeHeaderBytes)) {
    CFixedMemStream in(data, int64_t(size));
    check(in.seek(kNativeHeaderBytes, SeekOrigin::Begin) == kNativeHeaderBytes);
    TMTC picture;
    const FileResult code = findThumbnail(in, picture);
    check(thumbnailCode(code));
    if (code == kRcOk && picture.IsAllocated())
      check(picture.Width >= 1 && picture.Width <= kDocumentThumbnailSide && picture.Height >= 1 &&
            picture.Height <= kDocumentThumbnailSide);
  }
  return 0;
}
