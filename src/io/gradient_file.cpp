#include "io/gradient_file.h"

#include <algorithm>
#include <memory>

#include "brush/gradient_stop_fields.h"
#include "core/byte_cursor.h"
#include "core/chunk_head.h"

namespace pg {

namespace {

constexpr uint16_t kGradOwnSettingsFlag = 0x1;
constexpr uint32_t kGradFixedWasCurrent = 0x1;
constexpr uint16_t kNoFixedIndex = 0xFFFF;
// The set's header: the count, whether the fixed entry was the current one,
// the current index among the stored gradients and where the fixed entry was.
void gradientSetHeaderFields(CByteCursor& c, SPresetSetHeader& h) {
  presetSetHeadFields(c, h);
  c.zeros(1).field(h.count).field(h.flags).field(h.current).field(h.fixed).zeros(12);
}
constexpr SPresetSetFormat kGradientSetFormat{kTagGradientSet, kGradientSetVersion, gradientSetHeaderFields,
                                              kTagGradient, kResGradientSetWord};
// The body of the record after the head: what the chunk size counts first.
constexpr int64_t kRecordBody = kGradientRecordBytes - kChunkHeadBytes;

// The 36-byte gradient record "KGRD"; the name and the stops follow.
struct SGradientWire {
  uint32_t tag = kTagGradient;
  uint32_t size = 0;
  uint16_t flags = 0;
  uint8_t version = kGradientChunkVersion;
  uint16_t shape = 0, mirror = 0, wrap = 0, count = 1;
  uint16_t stopCount = 0;
  uint8_t stopBytes = uint8_t(kGradientFileStopBytes);
  uint16_t nameLength = 0;
};

void gradientRecordFields(CByteCursor& c, SGradientWire& r) {
  c.field(r.tag).field(r.size).field(r.flags).field(r.version).zeros(1);
  c.field(r.shape).field(r.mirror).field(r.wrap).field(r.count).zeros(10);
  c.field(r.stopCount).field(r.stopBytes).zeros(1).field(r.nameLength);
}

uint16_t clampField(uint16_t v, uint16_t hi) { return std::min(v, hi); }

// Parses the gradient chunks of a set file into new presets of the list.
class GradientChunkParser final : public PresetChunkParser {
 public:
  explicit GradientChunkParser(CGradMngr& mngr) : mngr_(mngr) {}

  [[nodiscard]] FileResult parseChunk(CStream& stream, const SChunkHead&, int64_t chunkStart) override {
    // The chunk reader reads the head itself.
    if (stream.seek(chunkStart - kChunkHeadBytes, SeekOrigin::Begin) < 0) return kRcSeekFailed;
    // An object no list took is used again for the next chunk.
    if (!item_) item_ = std::make_unique<CGradObj>();
    return readGradientChunk(stream, item_->Stops, item_->Repeat);
  }

  [[nodiscard]] bool offerItem() override {
    item_->normalize();
    return mngr_.add(std::move(item_)) >= 0;
  }

 private:
  CGradMngr& mngr_;
  std::unique_ptr<CGradObj> item_;
};

}  // namespace

FileResult readGradientChunk(CStream& stream, CColorSlotGroup& stops, SGradRepeat& repeat) {
  uint8_t rec[kGradientRecordBytes];
  SGradientWire w;
  if (!stream.readExact(rec, kGradientRecordBytes) || !readRecord(rec, kGradientRecordBytes, w, gradientRecordFields))
    return kRcShortRead;
  const SChunkHead head{w.tag, w.size};
  if (checkChunkTag(head, kTagGradient) != kRcOk) return kRcWrongTag;
  if (w.version >= 2) return kRcVersion;
  // Every length below comes from the file: the chunk must hold the record,
  // and the stream what the chunk claims.
  const int64_t chunkEnd = stream.position() - kRecordBody + int64_t{head.size};
  if (int64_t{head.size} < kRecordBody || chunkEnd > stream.size()) return kRcChunkPastEnd;

  SGradRepeat r;
  r.OwnSettings = (w.flags & kGradOwnSettingsFlag) ? 1 : 0;
  r.Shape = uint8_t(clampField(w.shape, 3));
  r.Mirror = uint8_t(clampField(w.mirror, 2));
  r.Wrap = uint8_t(clampField(w.wrap, 2));
  r.Count = std::max<int32_t>(1, w.count);

  const uint32_t nameLength = w.nameLength;
  const int64_t afterRecord = int64_t{head.size} - kRecordBody;
  if (int64_t(paddedTo4(nameLength)) > afterRecord) return kRcChunkPastEnd;
  std::string name;
  FileResult code = readCountedString(stream, nameLength, name, afterRecord);
  if (code != kRcOk) return code;
  if (stream.seek(int64_t(paddedTo4(nameLength) - nameLength), SeekOrigin::Current) < 0) return kRcShortRead;

  // The stops are whatever the chunk holds after the name; a tail shorter
  // than one stop is ignored.
  CColorSlotGroup read(16);
  int64_t left = afterRecord - int64_t(paddedTo4(nameLength));
  for (int32_t i = 0; left >= kGradientFileStopBytes; ++i, left -= kGradientFileStopBytes) {
    uint8_t bytes[kGradientFileStopBytes];
    SColorSlot slot;
    if (!stream.readExact(bytes, kGradientFileStopBytes) || !readRecord(bytes, kGradientFileStopBytes, slot, colorSlotFields))
      return kRcShortRead;
    if (!read.putSlot(i, slot)) return kRcItemRefused;
  }
  if (stream.seek(chunkEnd, SeekOrigin::Begin) != chunkEnd) return kRcShortRead;

  // Painting expects the set stops packed from slot 0 and normalised.
  read.normalize();
  if (read.usedCount() < 2) return kRcBadGradient;
  std::unique_ptr<CColorSlotGroup> packed = read.compact();
  if (!packed) return kRcOutOfMemory;
  if (!packed->normalize() || packed->usedCount() < 2) return kRcBadGradient;
  packed->setName(presetNameFromFile(name));
  stops = *packed;
  repeat = r;
  return kRcOk;
}

FileResult writeGradientChunk(CStream& stream, const CColorSlotGroup& stops, const SGradRepeat& repeat) {
  const int32_t count = stops.lastIndex() + 1;
  if (count < 2) return kRcBadGradient;
  for (int32_t i = 0; i < count; ++i) {
    const SColorSlot* s = stops.getSlot(i);
    if (s == nullptr || !s->isSet()) return kRcBadGradient;
  }
  const std::string name = presetNameToFile(stops.name(), 0xFFFF);
  const uint64_t padded = paddedTo4(name.size());
  const uint64_t size = uint64_t(kRecordBody) + padded + uint64_t(kGradientFileStopBytes) * uint64_t(count);
  if (count > 0xFFFF || size > 0xFFFFFFFFull) return kRcBadGradient;

  SGradientWire w;
  w.size = uint32_t(size);
  w.flags = repeat.OwnSettings ? kGradOwnSettingsFlag : 0;
  w.shape = repeat.Shape;
  w.mirror = repeat.Mirror;
  w.wrap = repeat.Wrap;
  w.count = uint16_t(std::clamp<int32_t>(repeat.Count, 1, 0xFFFF));
  w.stopCount = uint16_t(count);
  w.nameLength = uint16_t(name.size());
  uint8_t rec[kGradientRecordBytes];
  if (!writeRecord(rec, kGradientRecordBytes, w, gradientRecordFields)) return kRcShortWrite;
  if (!stream.writeExact(rec, kGradientRecordBytes)) return kRcShortWrite;
  if (!writeStringToStream(stream, name)) return kRcShortWrite;
  if (writeChunkPadding(stream, name.size()) != kRcOk) return kRcShortWrite;
  for (int32_t i = 0; i < count; ++i) {
    uint8_t bytes[kGradientFileStopBytes];
    if (!writeRecord(bytes, kGradientFileStopBytes, *stops.getSlot(i), colorSlotFields) ||
        !stream.writeExact(bytes, kGradientFileStopBytes))
      return kRcShortWrite;
  }
  return kRcOk;
}

FileResult loadGradientFile(const std::string& path, CGradMngr& mngr, bool append, const IPresetPrefs* prefs) {
  return readPresetFile(path, [&](CStream& in) { return readGradientSet(in, mngr, append, prefs, path); });
}

FileResult readGradientSet(CStream& in, CGradMngr& mngr, bool append, const IPresetPrefs* prefs, const std::string& path) {
  const TColor first = prefs ? prefs->foregroundColor() : TColor{0x000000};
  const TColor second = prefs ? prefs->backgroundColor() : TColor{0xFFFFFF};
  SPresetSetHeader header;
  GradientChunkParser parser(mngr);
  const auto begin = [&] {
    if (append) return;
    // The fixed entry is the list's own and is never in a file: it stays.
    const bool hadFixed = mngr.hasFixedEntry();
    mngr.clearAll();
    if (hadFixed) {
      mngr.ensureFixedEntry(true);
    } else if (header.version == 1) {
      // Sets of the first version begin with the two current colours, which
      // the stored current index counts.
      auto pair = CGradObj::CreateTwoColor(first & 0xFFFFFFu, std::string(), (second & 0xFFFFFFu) | 0x01000000u);
      if (pair) {
        pair->setRepeat(mngr.getRange());
        (void)mngr.add(std::move(pair));  // refused only for a null preset
      }
    }
  };
  const auto end = [&](int32_t) {
    if (!append) {
      const bool pairFirst = header.version == 1 && !(header.flags & kGradFixedWasCurrent);
      mngr.select(pairFirst ? header.current + 1 : 0);
      mngr.setFileName(path);
    }
    mngr.applyColors(first, second);
    mngr.setRange(mngr.getRange());
    mngr.setModified(append);
  };
  return readPresetSet(in, kGradientSetFormat, parser, header, begin, end);
}

FileResult saveGradientFile(const std::string& path, CGradMngr& mngr) {
  const int32_t fixed = mngr.fixedIndex();
  const int64_t toStore = int64_t{mngr.count()} - (fixed >= 0 ? 1 : 0);
  const auto fillHeader = [&](SPresetSetHeader& header) {
    int32_t current = mngr.currentIndex();
    if (fixed >= 0) {
      if (current >= 0 && current == fixed)
        header.flags = kGradFixedWasCurrent;
      else if (current > fixed)
        --current;  // the index among the stored gradients
      header.fixed = uint16_t(fixed);
    } else {
      header.fixed = kNoFixedIndex;
    }
    header.current = uint16_t(std::clamp<int64_t>(current, 0, toStore - 1));
  };
  const auto writeItem = [&](CStream& out, int32_t item) {
    const CGradObj* g = mngr.getItem(fixed >= 0 && item >= fixed ? item + 1 : item);
    return writeGradientChunk(out, g->Stops, g->Repeat);
  };
  const FileResult code = writePresetSet(path, kGradientSetFormat, toStore, fillHeader, writeItem);
  if (code != kRcOk) return code;
  mngr.setFileName(path);
  mngr.setModified(false);
  return kRcOk;
}

bool gradMngrLoadFromFile(CGradMngr& mngr, const std::string& path, bool append, const IPresetPrefs* prefs) {
  const FileResult code = loadGradientFile(path, mngr, append, prefs);
  if (code != kRcOk) showPresetLoadFailed(kResGradientSetWord, code);
  return code == kRcOk;
}

bool gradMngrLoadDefaultSet(CGradMngr& mngr, bool fallback, IPresetPrefs& prefs) {
  return loadDefaultPresetFile(
      prefs, PresetSet::Gradients, fallback,
      [&](const std::string& path) { return gradMngrLoadFromFile(mngr, path, false, &prefs); },
      [&] { mngr.resetToBuiltins(); }, [&] { mngr.setFileName(std::string()); });
}

bool gradMngrSaveToFile(CGradMngr& mngr, const std::string& path) { return presetSaved(saveGradientFile(path, mngr), path); }

bool gradMngrOpenDialog(CGradMngr& mngr, bool append, const PresetFileDialog& dialog, const IPresetPrefs* prefs) {
  const std::string path = askPresetFile(dialog, kDialogGradients, mngr.fileName());
  return !path.empty() && gradMngrLoadFromFile(mngr, path, append, prefs);
}

bool gradMngrSaveAsDialog(CGradMngr& mngr, const PresetFileDialog& dialog) {
  const std::string path = askPresetFile(dialog, kDialogGradients + kDialogSaveOffset, mngr.fileName());
  return !path.empty() && gradMngrSaveToFile(mngr, path);
}

}  // namespace pg
