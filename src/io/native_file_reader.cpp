#include "io/native_file_reader.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>

#include "core/blend_modes.h"
#include "core/chunk_head.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "io/file_result_text.h"
#include "io/native_header.h"
#include "io/native_layer_chunk.h"
#include "io/native_mask_chunk.h"
#include "io/native_tile_blocks.h"
#include "io/thumbnail_chunk.h"
#include "io/thumbnail_document.h"
#include "platform/debug_output.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/event_file.h"

namespace pg {

namespace {

std::string baseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

[[nodiscard]] bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// A tag as four characters for a message; bytes that are no printable ASCII
// show as "?".
std::string tagText(uint32_t tag) {
  std::string s(4, '?');
  for (int i = 0; i < 4; ++i) {
    const char c = char(tag >> (8 * i));
    if (c >= 0x20 && c < 0x7F) s[size_t(i)] = c;
  }
  return s;
}

// The chunks of one file that could not be read. A file may hold any number
// of them, so each kind is reported once, after the loop, with the first
// failure's code; the rest go to the debug output.
class ChunkFailures {
 public:
  void item(uint32_t wordId, FileResult code) {
    if (items_++ == 0) {
      itemWord_ = wordId;
      itemCode_ = code;
    }
  }
  void events(FileResult code) {
    if (events_++ == 0) eventCode_ = code;
  }
  void unknown(uint32_t tag) {
    ++unknown_;
    lastUnknown_ = tag;
  }
  void report(SNativeReadNotes& notes) const {
    if (items_ > 0) {
      notes.lines.push_back(formatRes(kResNativeItemReadFailed, {resString(itemWord_), int(fileResultNumber(itemCode_))}));
      if (notes.cause == kRcOk) notes.cause = itemCode_;
    }
    if (items_ > 1) debugOutput("native file: " + std::to_string(items_) + " layer or mask chunks could not be read");
    if (events_ > 0)
      notes.lines.push_back(resString(eventCode_ == kRcBadEventBlock ? kResNativeBadEventBlock : kResNativeEventsDropped));
    if (unknown_ > 0) notes.lines.push_back(formatRes(kResNativeUnknownChunks, {unknown_, tagText(lastUnknown_)}));
  }

 private:
  int32_t items_ = 0;
  uint32_t itemWord_ = 0;
  FileResult itemCode_ = kRcOk;
  int32_t events_ = 0;
  FileResult eventCode_ = kRcOk;
  int32_t unknown_ = 0;
  uint32_t lastUnknown_ = 0;
};

// The events chunk at start: read into the document's recording. A
// recording that cannot be read is discarded (the caller reports it), and the
// document records afresh from here on.
[[nodiscard]] FileResult readEventChunk(CStream& stream, int64_t start, TPaper* doc, IProgress& progress) {
  progress.setText(formatRes(kResNativeLoadingText, {resString(kResNativeEventDataWord)}));
  if (stream.seek(start, SeekOrigin::Begin) != start) return kRcSeekFailed;
  const FileResult code = readEventsFromNative(stream, doc ? documentEventStore(*doc) : nullptr, progress);
  if (code == kRcOk) return code;
  if (doc != nullptr && doc->events() != nullptr) {
    doc->events()->clear();
    doc->events()->startRecording(doc->eventStreamSize());
  }
  return code;
}

// The lists a file is read into before they take the document's place.
struct Staged {
  std::unique_ptr<CLayerMngr> layers;
  std::unique_ptr<CMaskMngr> masks;
};

Staged makeStaged(int32_t w, int32_t h) {
  Staged s;
  s.layers = std::make_unique<CLayerMngr>(24);
  s.layers->setDocumentSize(w, h);
  s.masks = std::make_unique<CMaskMngr>(16);
  s.masks->setDocumentSize(w, h);
  // The list starts as empty as the file's masks find it.
  s.masks->clear();
  s.masks->setNameCounter(0);
  return s;
}

// A document's composite follows its declared size, whatever its layers
// hold: 400 MB for 10,000 x 10,000 pixels. Layers may all be smaller than the
// document, so a layer cannot be asked to span it; but every file this
// program writes carries at least one layer. A large size with nothing read
// behind it (no layer, no mask, no recording: a bare header) is refused
// before the document takes it; a damaged file that still gave anything opens.
constexpr int64_t kBareHeaderArea = int64_t{2048} * 2048;

[[nodiscard]] bool nothingBacksSize(const Staged& s, const SNativeHeader& h, const SNativeReadNotes& notes) {
  if (int64_t{h.width} * h.height <= kBareHeaderArea) return false;
  return notes.itemsRead == 0 && s.layers->count() == 0 && s.masks->count() == 0;
}

// What the header says of the lists once every chunk was read: counters, a
// default layer and an empty mask where none could be read. Answers whether
// masks were read.
[[nodiscard]] bool finishStaged(Staged& s, const SNativeHeader& h) {
  if (h.flags & kNativeLayerCounter) s.layers->setNameCounter(h.layerNameCounter);
  if (h.flags & kNativeMaskCounter) s.masks->setNameCounter(h.maskNameCounter);
  if (s.layers->count() == 0) {
    const int32_t at = s.layers->insertLayer(0, int32_t(h.width), int32_t(h.height), lbmNormal, false, 255, true);
    if (CLayerData* layer = s.layers->getLayer(at)) {
      (void)layer->fitThumbnail();  // a thumbnail that fails stays stale
      (void)layer->updateThumbnail();  // as above
    }
  }
  const int32_t layer = (h.flags & kNativeLayers) ? std::min<int32_t>(h.currentLayer, s.layers->lastIndex()) : 0;
  s.layers->setCurrent(layer);
  if (s.masks->count() == 0) {
    s.masks->setCurrent(0);
    (void)s.masks->setDefaultName(0, 1);  // a list without masks answers false: nothing to name
    return false;
  }
  s.masks->setCurrent((h.flags & kNativeMasks) ? std::min<int32_t>(h.currentMask, s.masks->count() - 1) : 0);
  return true;
}

// The read lists take the document's place, and the document is set up as
// the header describes it. False when the document could not take the size
// (memory): its lists are then left as they were.
[[nodiscard]] bool install(TPaper& doc, Staged& s, const SNativeHeader& h, const std::string& name, bool masksRead) {
  doc.setName(name);
  doc.setResolution(h.resolution);
  doc.setBackgroundFlags((h.flags & kNativeCanvasColorOff) == 0, (h.flags & kNativeBgPattern) != 0);
  if (!doc.setSize(nullptr, int32_t(h.width), int32_t(h.height))) return false;
  doc.setPaperColorValue(PaperColor::fromPixel(h.paperColor));
  // Both staged lists exist (makeStaged): the exchanges cannot fail.
  (void)doc.undoExchangeLayerList(s.layers);
  (void)doc.undoExchangeMaskList(s.masks);  // as above

  if (masksRead) {
    (void)doc.masks()->traceAnts({doc.width(), doc.height()}, -1);  // the outline only shows the selection
    doc.undoSetSelectionFlags((h.flags & kNativeSelectionEnabled) != 0, (h.flags & kNativeAntsShown) != 0);
  } else {
    doc.undoSetSelectionFlags(false, false);
  }
  if (TFlowImage* flow = doc.flowImage()) doc.loadFlowImage(*flow, doc.layers()->current(), true);
  // A reset point that cannot be written stops the recording in the event
  // store; the opened document is whole either way.
  if (IDocRecorder* recorder = doc.events()) (void)recorder->recordResetPoint();
  doc.markReady();
  doc.redraw(true);
  return true;
}

}  // namespace

FileResult readNativeChunks(CStream& stream, const SNativeReadTarget& target, IProgress& progress,
                            SNativeReadNotes& notes) {
  FileResult last = kRcOk;
  ChunkFailures failures;
  const CTileBlockBufferScope buffers;  // shared by every layer and mask of the file
  while (stream.position() < stream.size()) {
    const int64_t start = stream.position();
    SChunkHead head;
    if (readChunkHead(stream, head) != kRcOk) {
      last = kRcShortRead;
      break;
    }
    FileResult code;
    switch (head.tag) {
      case kTagLayer:
        code = target.layers ? readLayerChunk(stream, *target.layers, head.size, progress) : kRcLayerCreate;
        if (code != kRcOk) failures.item(kResNativeLayerWord, code);
        break;
      case kTagMask:
        code = readMaskChunk(stream, target.masks, head.size, progress);
        if (code != kRcOk) failures.item(kResNativeMaskWord, code);
        break;
      case kTagEventsPacked:
      case kTagEventsRaw:
        code = readEventChunk(stream, start, target.eventDocument, progress);
        if (code != kRcOk) failures.events(code);
        break;
      case kTagEventBlock:
      case kTagMaskTiles:
      case kTagLayerTiles:
        code = kRcSkipped;
        break;
      case kTagThumbnail:
        code = kRcThumbSkipped;
        break;
      default:
        code = kRcWrongTag;
        failures.unknown(head.tag);
        break;
    }
    last = code;
    if (code == kRcOk) ++notes.itemsRead;
    if (code != kRcOk) {
      const int64_t next = start + kChunkHeadBytes + int64_t{head.size};
      if (next > stream.size()) {
        last = kRcChunkPastEnd;
        break;
      }
      if (stream.seek(next, SeekOrigin::Begin) != next) {
        last = kRcSeekFailed;
        break;
      }
    }
  }
  failures.report(notes);
  return last;
}

FileResult readNativeStream(CStream& stream, TPaper& doc, const std::string& name) {
  try {
    uint8_t bytes[kNativeHeaderBytes];
    if (!stream.readExact(bytes, kNativeHeaderBytes)) return kRcShortRead;
    if (const FileResult code = checkNativeHeader(bytes); code != kRcOk) return code;
    const SNativeHeader h = parseNativeHeader(bytes);

    const int64_t total =
        int64_t{(h.flags & kNativeLayers) ? h.layerCount : 0} + int64_t{(h.flags & kNativeMasks) ? h.maskCount : 0};
    std::unique_ptr<IProgress> progress =
        showProgressDlg(total, formatRes(kResNativeLoadingTitle, {resString(kResNativeImageWord), baseName(name)}),
                        formatRes(kResNativeLoadingText, {resString(kResNativeImageWord)}));

    Staged staged = makeStaged(int32_t(h.width), int32_t(h.height));
    const SNativeReadTarget target{staged.layers.get(), staged.masks.get(), &doc};
    SNativeReadNotes notes;
    if (const FileResult code = readNativeChunks(stream, target, *progress, notes); code != kRcOk) {
      notes.lines.push_back(formatRes(kResNativeReadError, {int(code)}));
      notes.cause = code;
    }
    // Whatever went wrong in one file is told in one message that names it
    // and ends with what the failure means.
    if (!notes.lines.empty()) {
      std::string text = name;
      for (const std::string& line : notes.lines) text += "\r" + line;
      if (notes.cause != kRcOk) text += "\r" + fileResultReason(notes.cause);
      showWarning(text);
    }
    if (nothingBacksSize(staged, h, notes)) return kRcTooLarge;
    const bool masksRead = finishStaged(staged, h);
    if (!install(doc, staged, h, name, masksRead)) return kRcOutOfMemory;
    return kRcOk;
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  } catch (...) {
    return kRcException;
  }
}

FileResult readNativeFile(const std::string& path, TPaper& doc) {
  if (!fileExists(path)) return kRcFileMissing;
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Read);
  if (!file) return kRcCannotOpen;
  return readNativeStream(*file, doc, path);
}

FileResult readNativeRecording(const std::string& path, CEventMngr& store) {
  if (!fileExists(path)) return kRcFileMissing;
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Read);
  if (!file) return kRcCannotOpen;
  try {
    uint8_t bytes[kNativeHeaderBytes];
    if (!file->readExact(bytes, kNativeHeaderBytes)) return kRcShortRead;
    if (const FileResult code = checkNativeHeader(bytes); code != kRcOk) return code;
    // As the document reader does, each events chunk replaces what an earlier
    // one gave; the answer is the last one's.
    FileResult events = kRcNoEvents;
    while (file->position() < file->size()) {
      const int64_t start = file->position();
      SChunkHead head;
      if (readChunkHead(*file, head) != kRcOk) return kRcShortRead;
      if (head.tag == kTagEventsPacked || head.tag == kTagEventsRaw) {
        if (file->seek(start, SeekOrigin::Begin) != start) return kRcSeekFailed;
        events = readEventsFromNative(*file, &store, nullProgress());
        if (events == kRcOk) continue;
      }
      const int64_t next = start + kChunkHeadBytes + int64_t{head.size};
      if (next > file->size()) return kRcChunkPastEnd;
      if (file->seek(next, SeekOrigin::Begin) != next) return kRcSeekFailed;
    }
    return events;
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  } catch (...) {
    return kRcException;
  }
}

FileResult readNativeThumbnail(const std::string& path, TMTC& picture, uint32_t& width, uint32_t& height) {
  if (!fileExists(path)) return kRcFileMissing;
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Read);
  if (!file) return kRcCannotOpen;
  uint8_t bytes[kNativeHeaderBytes];
  if (!file->readExact(bytes, kNativeHeaderBytes)) return kRcShortRead;
  if (const FileResult code = checkNativeHeader(bytes); code != kRcOk) return code;
  const SNativeHeader h = parseNativeHeader(bytes);
  width = h.width;
  height = h.height;
  return findThumbnail(*file, picture);
}

}  // namespace pg
