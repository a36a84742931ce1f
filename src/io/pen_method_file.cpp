#include "io/pen_method_file.h"

#include <algorithm>

#include "core/byte_cursor.h"
#include "io/pen_shape_file.h"
#include "io/preset_pen_methods.h"
#include "io/thumbnail_chunk.h"

namespace pg {

namespace {

constexpr uint32_t kTagPenMethodFile = chunkTag("PMST");
// The set's header: the count, the current method, which selections follow,
// the second selection and the slots' indices, a byte each.
void penMethodSetHeaderFields(CByteCursor& c, SPresetSetHeader& h) {
  presetSetHeadFields(c, h);
  c.zeros(3).field(h.count).field(h.current).field(h.flags).field(h.second);
  for (uint8_t& slot : h.slotIndex) c.field(slot);
  c.zeros(5);
}
static_assert(kPenMethodSlotCount == int32_t(kPresetHeaderSlots));
constexpr SPresetSetFormat kPenMethodSetFormat{kTagPenMethodFile, kPenMethodFileVersion, penMethodSetHeaderFields,
                                               kTagPenMethod, kResPenMethodSetWord};
constexpr uint32_t kFileSecondSelection = 0x1;
constexpr uint32_t kFileSlots = 0x2;

constexpr uint32_t kHasShape = 0x1;
constexpr uint32_t kHasIcon = 0x2;
constexpr uint32_t kWorkPlane = 0x10;
constexpr uint32_t kGradation = 0x100;
constexpr uint32_t kTone = 0x200;
constexpr uint32_t kPressureSize = 0x10000;
constexpr uint32_t kPressureOpacity = 0x20000;

// The icon's scramble: groups of 5, every other byte keyed.
constexpr uint8_t kIconGroup = 5;
constexpr uint8_t kIconStep = 1;

uint16_t field16(int32_t v) { return uint16_t(std::clamp<int32_t>(v, 0, 0xFFFF)); }

class PenMethodChunkParser final : public PresetChunkParser {
 public:
  explicit PenMethodChunkParser(CPenMethodMngr& list) : list_(list) {}

  [[nodiscard]] FileResult parseChunk(CStream& stream, const SChunkHead& head, int64_t) override {
    return readPenMethodChunk(stream, head, item_, budget_);
  }
  [[nodiscard]] bool offerItem() override { return list_.add(std::move(item_)) >= 0; }

 private:
  CPenMethodMngr& list_;
  std::unique_ptr<CPenMethodObj> item_;
  SPresetPictureBudget budget_;
};

// The 72-byte pen method record after the chunk head "PMTD"; the name, then
// the icon and the own nib (as the flags say) follow.
struct SPenMethodWire {
  uint16_t nameLength = 0;
  uint16_t version = kPenMethodRecordVersion;
  uint32_t flags = 0;
  uint8_t method = 0, subMode = 0, shapeFlag = 0;
  uint32_t effect = 0, env = 0, speed = 0;
  uint16_t opacity = 0, gamma = 0, spacing = 0, dabEveryStep = 0, splitStep = 0;
};

void penMethodRecordFields(CByteCursor& c, SPenMethodWire& r) {
  c.zeros(2).field(r.nameLength).field(r.version).zeros(2).field(r.flags).zeros(4);
  c.field(r.method).field(r.subMode).field(r.shapeFlag).zeros(1).field(r.effect).field(r.env).field(r.speed).zeros(8);
  c.field(r.opacity).field(r.gamma).field(r.spacing).field(r.dabEveryStep).field(r.splitStep).zeros(22);
}

}  // namespace

FileResult readPenMethodChunk(CStream& stream, const SChunkHead& head, std::unique_ptr<CPenMethodObj>& method,
                           SPresetPictureBudget& budget) {
  const int64_t remaining = int64_t{head.size} - kPenMethodRecordBytes;
  if (remaining < 0) return kRcChunkPastEnd;
  const int64_t chunkEnd = stream.position() + int64_t{head.size};
  uint8_t rec[kPenMethodRecordBytes];
  SPenMethodWire w;
  if (!stream.readExact(rec, kPenMethodRecordBytes) || !readRecord(rec, kPenMethodRecordBytes, w, penMethodRecordFields))
    return kRcShortRead;
  const uint32_t nameLength = w.nameLength;
  std::string name;
  FileResult code = readCountedString(stream, nameLength, name, remaining);
  if (code != kRcOk) return code;
  if (chunkEnd > stream.size() || stream.seek(chunkEnd, SeekOrigin::Begin) != chunkEnd) return kRcShortRead;
  if (w.version > kPenMethodMaxRecordVersion) return kRcVersion;

  const uint32_t flags = w.flags;
  SPenMethodParams p;
  p.render.method = w.method;
  p.render.subMode = w.subMode;
  p.render.shapeFlag = w.shapeFlag;
  p.render.workPlane = (flags & kWorkPlane) ? 1 : 0;
  p.render.effect = int32_t(w.effect);
  p.render.env = int32_t(w.env);
  p.render.speed = int32_t(w.speed);
  p.useGradation = (flags & kGradation) ? 1 : 0;
  p.useTone = (flags & kTone) ? 1 : 0;
  p.stroke.pressureSize = (flags & kPressureSize) ? 1 : 0;
  p.stroke.pressureOpacity = (flags & kPressureOpacity) ? 1 : 0;
  p.stroke.opacity = w.opacity;
  p.stroke.gamma = w.gamma;
  p.stroke.spacing = w.spacing;
  p.stroke.dabEveryStep = w.dabEveryStep;
  p.stroke.splitStep = w.splitStep;

  auto m = std::make_unique<CPenMethodObj>();
  m->setName(presetNameFromFile(name));
  m->setParams(p);
  if (flags & kHasIcon) {
    code = checkPresetPicture(stream, 4, budget);
    if (code != kRcOk) return code;
    TMTC icon;
    code = readThumbnail(stream, icon);
    if (code != kRcOk) return code;
    if (!m->setIcon(&icon)) return kRcOutOfMemory;
  }
  if (flags & kHasShape) {
    SChunkHead shapeHead;
    if (readChunkHead(stream, shapeHead) != kRcOk) return kRcShortRead;
    if (checkChunkTag(shapeHead, kTagPenShape) != kRcOk) return kRcWrongTag;
    if (int64_t{shapeHead.size} > stream.remaining()) return kRcChunkPastEnd;
    auto shape = std::make_unique<CPenShapeObj>();
    code = readPenShapeChunk(stream, shapeHead, *shape, budget);
    if (code != kRcOk) return code;
    m->setPenShape(std::move(shape));
  }
  method = std::move(m);
  return kRcOk;
}

FileResult writePenMethodChunk(CStream& stream, const CPenMethodObj& method) {
  const SPenMethodParams p = method.getParams();
  const std::string name = presetNameToFile(method.name(), 0xFFFF);
  const uint64_t padded = paddedTo4(name.size());
  uint32_t flags = 0;
  if (method.hasOwnShape()) flags |= kHasShape;
  if (method.hasIcon()) flags |= kHasIcon;
  if (p.render.workPlane) flags |= kWorkPlane;
  if (p.useGradation) flags |= kGradation;
  if (p.useTone) flags |= kTone;
  if (p.stroke.pressureSize) flags |= kPressureSize;
  if (p.stroke.pressureOpacity) flags |= kPressureOpacity;

  SPenMethodWire w;
  w.nameLength = uint16_t(name.size());
  w.flags = flags;
  w.method = p.render.method;
  w.subMode = p.render.subMode;
  w.shapeFlag = p.render.shapeFlag;
  w.effect = uint32_t(p.render.effect);
  w.env = uint32_t(p.render.env);
  w.speed = uint32_t(p.render.speed);
  w.opacity = field16(p.stroke.opacity);
  w.gamma = field16(p.stroke.gamma);
  w.spacing = field16(p.stroke.spacing);
  w.dabEveryStep = field16(p.stroke.dabEveryStep);
  w.splitStep = field16(p.stroke.splitStep);
  uint8_t rec[kChunkHeadBytes + kPenMethodRecordBytes];
  storeChunkHead(rec, {kTagPenMethod, uint32_t(uint64_t(kPenMethodRecordBytes) + padded)});
  if (!writeRecord(rec + kChunkHeadBytes, kPenMethodRecordBytes, w, penMethodRecordFields)) return kRcShortWrite;
  if (!stream.writeExact(rec, sizeof rec) || !writeStringToStream(stream, name) ||
      writeChunkPadding(stream, name.size()) != kRcOk)
    return kRcShortWrite;

  if (flags & kHasIcon) {
    const TMTC& icon = *method.icon();
    SThumbnailDesc desc;
    desc.format = kThumbnailScrambled;
    desc.kind = kPictureIcon;
    desc.group = kIconGroup;
    desc.key = kThumbnailKey;
    desc.step = kIconStep;
    desc.sourceWidth = desc.width = uint32_t(icon.Width);
    desc.sourceHeight = desc.height = uint32_t(icon.Height);
    const FileResult code = writeThumbnailChunk(stream, desc, icon.Bits);
    if (code != kRcOk) return code;
  }
  if (flags & kHasShape) return writePenShapeChunk(stream, *method.penShape());
  return kRcOk;
}

FileResult loadPenMethodFile(const std::string& path, CPenMethodMngr& list, bool append) {
  return readPresetFile(path, [&](CStream& in) { return readPenMethodSet(in, list, append, path); });
}

FileResult readPenMethodSet(CStream& in, CPenMethodMngr& list, bool append, const std::string& path) {
  SPresetSetHeader header;
  PenMethodChunkParser parser(list);
  const auto begin = [&] {
    if (!append) list.clear();
  };
  const auto end = [&](int32_t) {
    if (!append) {
      const uint32_t flags = header.flags;
      list.setCurrentIndex(std::min<int32_t>(header.current, list.count() - 1));
      if (flags & kFileSecondSelection) list.setSecondSelection(header.second, true);
      if (flags & kFileSlots) {
        PenMethodSlots slots;
        for (int32_t i = 0; i < kPenMethodSlotCount; ++i)
          slots[size_t(i)] = std::min<int32_t>(header.slotIndex[size_t(i)], list.count() - 1);
        list.setSlots(slots);
      }
      list.setFileName(path);
    }
    list.setModified(append);
  };
  return readPresetSet(in, kPenMethodSetFormat, parser, header, begin, end);
}

FileResult savePenMethodFile(const std::string& path, CPenMethodMngr& list) {
  const auto fillHeader = [&](SPresetSetHeader& header) {
    header.current = uint16_t(std::max(list.currentIndex(), 0));
    uint32_t flags = 0;
    if (list.isValidIndex(list.secondSelection())) {
      flags |= kFileSecondSelection;
      header.second = uint16_t(list.secondSelection());
    }
    // Slot indices take one byte each: slots that do not fit are not stored.
    PenMethodSlots slots;
    if (list.getSlots(slots) &&
        std::all_of(slots.begin(), slots.end(), [](int32_t s) { return s >= 0 && s <= 0xFF; })) {
      flags |= kFileSlots;
      for (size_t i = 0; i < kPresetHeaderSlots; ++i) header.slotIndex[i] = uint8_t(slots[i]);
    }
    header.flags = flags;
  };
  const auto writeItem = [&](CStream& out, int32_t i) { return writePenMethodChunk(out, *list.getItem(i)); };
  const FileResult code = writePresetSet(path, kPenMethodSetFormat, list.count(), fillHeader, writeItem);
  if (code != kRcOk) return code;
  list.setFileName(path);
  list.setModified(false);
  return kRcOk;
}

}  // namespace pg
