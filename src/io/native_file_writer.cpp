#include "io/native_file_writer.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>

#include "core/chunk_head.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "io/native_header.h"
#include "io/native_layer_chunk.h"
#include "io/native_mask_chunk.h"
#include "io/native_output_file.h"
#include "io/native_tile_blocks.h"
#include "io/thumbnail_chunk.h"
#include "io/thumbnail_document.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/event_file.h"
#include "record/event_store.h"

namespace pg {

namespace {

uint16_t toU16(int64_t v) { return uint16_t(std::clamp<int64_t>(v, 0, 0xFFFF)); }

SNativeHeader headerOf(const TPaper& doc, uint32_t flags) {
  SNativeHeader h;
  h.width = uint32_t(std::max(doc.width(), 0));
  h.height = uint32_t(std::max(doc.height(), 0));
  h.flags = flags;
  if (!doc.showCanvasColor()) h.flags |= kNativeCanvasColorOff;
  if (doc.showBgPattern()) h.flags |= kNativeBgPattern;
  h.paperColor = doc.paperColor().pixel();
  h.resolution = toU16(doc.resolution());
  if ((flags & kNativeLayers) && doc.layers()) {
    const CLayerMngr& layers = *doc.layers();
    h.currentLayer = toU16(layers.current());
    h.layerCount = toU16(layers.count());
    h.layerNameCounter = toU16(layers.nameCounter());
    h.flags |= kNativeLayerCounter;
  }
  if ((flags & kNativeMasks) && doc.masks()) {
    const CMaskMngr& masks = *doc.masks();
    h.currentMask = toU16(masks.current());
    h.maskCount = toU16(masks.count());
    h.maskNameCounter = toU16(masks.nameCounter());
    if (doc.antsShown()) h.flags |= kNativeAntsShown;
    if (doc.selectionEnabled()) h.flags |= kNativeSelectionEnabled;
    h.flags |= kNativeMaskCounter;
  }
  return h;
}

// Runs the writer of one item at the file's end; a failure (an exception
// included) cuts the file back to where the item began.
template <typename Write>
[[nodiscard]] FileResult writeItem(CNativeOutputFile& file, Write write) {
  const int64_t start = file.position();
  const FileResult code = guardedCode(write);
  // A cut that fails marks the file failed, so that the whole save fails.
  if (code != kRcOk) (void)file.cutBack(start);
  return code;
}

void reportItem(uint32_t wordId, const std::string& name, FileResult code) {
  showWarning(formatRes(kResNativeItemWriteFailed, {resString(wordId), name, int(fileResultNumber(code))}));
}

std::string baseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

int32_t writeLayers(CNativeOutputFile& file, const TPaper& doc, IProgress& progress) {
  const CLayerMngr* layers = doc.layers();
  int32_t written = 0;
  for (int32_t i = 0; layers != nullptr && i < layers->count(); ++i) {
    const CLayerData& layer = *layers->getLayer(i);
    progress.setText(formatRes(kResNativeSavingText, {layer.name}));
    const FileResult code = writeItem(file, [&] { return writeLayerChunks(file, layer); });
    if (code == kRcOk)
      ++written;
    else
      reportItem(kResNativeLayerWord, layer.name, code);
    progress.step(1);
  }
  return written;
}

int32_t writeMasks(CNativeOutputFile& file, const TPaper& doc, IProgress& progress) {
  const CMaskMngr* masks = doc.masks();
  int32_t written = 0;
  for (int32_t i = 0; masks != nullptr && i < masks->count(); ++i) {
    const CMaskData& mask = *masks->getMask(i);
    progress.setText(formatRes(kResNativeSavingText, {mask.name}));
    const FileResult code = writeItem(file, [&] { return writeMaskChunks(file, mask, doc.width(), doc.height()); });
    if (code == kRcOk)
      ++written;
    else
      reportItem(kResNativeMaskWord, mask.name, code);
    progress.step(1);
  }
  return written;
}

bool writeNativeFile(const std::string& path, TPaper& doc, uint32_t flags) {
  flags &= kNativeSectionBits;
  try {
    const int32_t layerCount = (flags & kNativeLayers) && doc.layers() ? doc.layers()->count() : 0;
    const int32_t maskCount = (flags & kNativeMasks) && doc.masks() ? doc.masks()->count() : 0;
    const int64_t total = int64_t{(flags & kNativeThumbnail) ? 1 : 0} + layerCount + maskCount;
    std::unique_ptr<IProgress> progress =
        showProgressDlg(total, formatRes(kResNativeSavingTitle, {resString(kResNativeImageWord), baseName(path)}),
                        formatRes(kResNativeSavingText, {resString(kResNativeImageWord)}));

    const CTileBlockBufferScope buffers;  // shared by every layer and mask of the file
    std::unique_ptr<CNativeOutputFile> file = CNativeOutputFile::create(path);
    if (!file) return false;
    uint8_t header[kNativeHeaderBytes];
    storeNativeHeader(header, headerOf(doc, flags));
    if (!file->writeExact(header, kNativeHeaderBytes)) return false;

    bool complete = true;
    if (flags & kNativeThumbnail) {
      progress->setText(formatRes(kResNativeSavingText, {resString(kResNativeThumbnailWord)}));
      complete &= writeItem(*file, [&] { return writeThumbnail(*file, doc, kThumbnailScrambled); }) == kRcOk;
      progress->step(1);
    }
    if (flags & kNativeLayers) complete &= writeLayers(*file, doc, *progress) == layerCount;
    if (flags & kNativeMasks) complete &= writeMasks(*file, doc, *progress) == maskCount;
    if (flags & kNativeEvents) {
      const CEventMngr* store = documentEventStore(doc);
      if (store != nullptr && store->committedEnd() > 0) {
        progress->setTotal(store->committedSegments(), 0);
        progress->setText(formatRes(kResNativeSavingText, {resString(kResNativeEventDataWord)}));
        const uint32_t w = uint32_t(std::max(doc.width(), 0));
        const uint32_t h = uint32_t(std::max(doc.height(), 0));
        complete &= writeItem(*file, [&] { return writeEventsToNative(*file, *store, w, h, *progress); }) == kRcOk;
      }
    }
    // A file whose writes did not all land is never put in the target's place.
    return file->finish(true) && complete;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (...) {
    return false;
  }
}

}  // namespace pg
