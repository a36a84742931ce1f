// The replay driver: starting, stepping, pausing and point-by-point stepping
// of strokes, and the dispatch of packets to their executors.
#include "replay/replay_engine.h"

#include "brush/pen_render.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "core/planes.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "record/event_file.h"
#include "record/packet_catalogue.h"
#include "record/packet_walker.h"
#include "record/state_items.h"

namespace pg {

namespace {

bool isPointType(uint8_t type) { return type == kPktStrokePoints || type == kPktStrokeLast; }

// Stroke begin types and their drawing modes; -1 for other types.
int drawModeOfBegin(uint8_t type) {
  switch (type) {
    case 16:
    case 20:
      return 0;
    case 21:
    case 22:
      return 1;
    case 23:
    case 24:
      return 2;
    case 48:
    case 49:
      return 4;
    default:
      return -1;
  }
}

bool beginSwitchesSmoothingOff(uint8_t type) { return type == 20 || type == 22 || type == 24 || type == 49; }

}  // namespace

std::string replayMessage(ReplayStart result) {
  const auto i = static_cast<size_t>(result);
  return i < kResReplayStart.size() ? resString(kResReplayStart[i]) : std::string();
}

const char* replayFileExtension(uint8_t streamVersion) {
  if (streamVersion < 16) return ".kes";
  if (streamVersion < 32) return ".ke3";
  return ".ke4";
}

CReplayEngine::CReplayEngine(TPaper& doc, TFlowImage& flow, CEventMngr& store)
    : doc_(doc), flow_(flow), store_(store) {}

CReplayEngine::~CReplayEngine() {
  // The document's pen engine was made over our stroke and renderer, and
  // its strokes read our tones.
  if (penEngineMade_) doc_.freePenEngine();
  doc_.setReplayTools(nullptr, nullptr);
  doc_.setReplayGradient(nullptr);
}

const CGradObj* CReplayEngine::replayGradientForDocument() {
  if (!stroke_) return nullptr;
  const CColorSlotGroup& stops = activeReplayGradient();
  if (!stops.isValid()) return nullptr;
  documentGradient_.Stops = stops;
  return &documentGradient_;
}

void CReplayEngine::ensurePenEngine() {
  // A document that has its engine already (every document of a window)
  // keeps it: each replayed stroke hands it our settings and renderer at
  // its begin. A document without one gets one over ours for the replay.
  if (penEngineMade_ || doc_.penEngine() != nullptr) return;
  penEngineMade_ = doc_.createPenEngine(*stroke_, *render_);
}

bool CReplayEngine::fail(ReplayError error) {
  if (error_ == ReplayError::None) error_ = error;
  stopped_ = true;
  return false;
}

int32_t CReplayEngine::recorderVersion() const {
  const std::vector<uint8_t>& v = cache_[kStateVersion];
  SVersionItem version;
  if (!cachedBits_.test(kStateVersion) || !readRecord(v.data(), v.size(), version, SVersionItem::fields)) return 200;
  return int32_t(version.major) * 100 + int32_t(version.minor);
}

// ---- reading ----------------------------------------------------------------------

bool CReplayEngine::read(void* destination, uint32_t count) {
  if (count == 0) return true;
  if (uint64_t(pos_) + count > store_.writePosition()) return fail(ReplayError::ShortRead);
  if (store_.readRange(pos_, destination, count) != count) return fail(ReplayError::ShortRead);
  pos_ += count;
  return true;
}

bool CReplayEngine::skip(uint32_t count) {
  if (uint64_t(pos_) + count > store_.writePosition()) return fail(ReplayError::ShortRead);
  pos_ += count;
  return true;
}

// ---- starting ----------------------------------------------------------------------

bool CReplayEngine::createReplayObjects() {
  // The document must not read the objects about to be replaced.
  doc_.setReplayTools(nullptr, nullptr);
  // The document's engine must not outlive the stroke and renderer it uses.
  if (penEngineMade_) {
    doc_.freePenEngine();
    penEngineMade_ = false;
  }
  try {
    stroke_ = std::make_unique<TStroke>();
    render_ = std::make_unique<CPenRender>();
    render_->setStroke(stroke_.get());
    tones_ = std::make_unique<CToneMngr>();
    nib_ = std::make_unique<CPenShapeObj>();
    // Replayed strokes and fills take the tones and renderer the recording sets.
    // The nib is the object (parametric or image) the recording chose
    // last; the objects live as long as this engine.
    doc_.setReplayTools(tones_.get(), render_.get(),
                        [this] { return const_cast<CPenShapeObj*>(activeReplayNib()); });
    doc_.setReplayGradient(this);
    imageNib_.reset();
    nibImages_.clear();
  } catch (...) {
    return false;
  }
  return true;
}

ReplayStart CReplayEngine::startReplay(const std::string& fileName) {
  const FileResult code = readEventFile(fileName, &store_);
  if (code == kRcVersion) return ReplayStart::VersionError;
  if (code != kRcOk) return ReplayStart::FileError;
  return startLoaded();
}

ReplayStart CReplayEngine::startLoaded() {
  if (!createReplayObjects()) return ReplayStart::Failed;
  // Fresh replay state.
  toneIds_.removeAll();
  nibIds_.removeAll();
  freeImageSlots();
  freeDataBlock();
  cachedBits_.reset();
  for (auto& c : cache_) c.clear();
  eventEnds_.clear();
  completed_ = 0;
  pos_ = 0;
  error_ = ReplayError::None;
  stopped_ = false;
  refresh_ = 0;
  store_.setStateBits(kEvEndReached | kEvReplayStrokeOpen | kEvReplayStarted | kEvPaused, false);
  store_.setReplayFlags(0);
  pointsInChunk_ = pointsDone_ = 0;
  strokeStarted_ = false;

  // The whole stream must walk by the size rule and end exactly at the write
  // position.
  const SWalkResult walk = walkPackets(store_.source(), 0, store_.writePosition());
  if (!walk.wellFormed()) {
    showWarning(resString(kResBadEventPacket));
    return ReplayStart::PacketError;
  }

  store_.setMode(EventMode::Replaying);
  // The first command must set an image up.
  SPacketHeader header;
  bool ok = true;
  do {
    if (!execPacket(header)) {
      ok = false;
      break;
    }
  } while (header.type == kPktState || header.type == kPktData);
  if (!ok || header.type != kPktDocument || (header.subcode != 0 && header.subcode != kDocImageCreate) ||
      !markEventDone()) {
    store_.setMode(EventMode::Idle);
    return ReplayStart::Failed;
  }
  lastHeader_ = header;
  store_.setStateBits(kEvReplayStarted, true);
  return ReplayStart::Started;
}

bool CReplayEngine::markEventDone() {
  try {
    eventEnds_.push_back(pos_);
  } catch (...) {
    return false;
  }
  ++completed_;
  return true;
}

// ---- packets ----------------------------------------------------------------------

bool CReplayEngine::execPacket(SPacketHeader& header) {
  // The position may lie inside a refused packet: nothing after an error runs.
  if (stopped_) return fail(ReplayError::NotReplaying);
  uint8_t h[2];
  if (store_.readBytes(pos_, h, 2) != 2) return fail(ReplayError::ShortRead);
  header = SPacketHeader{h[0], h[1]};
  if (strokeOpen()) {
    // Anything but points (and application state) closes the open stroke.
    if (header.type >= 2 && !isPointType(header.type)) {
      if (!finishReplayStroke() || !markEventDone()) return false;
    }
  } else if (isPointType(header.type)) {
    // Points without a begin: a stroke of the last drawing mode on the
    // current layer.
    if (!replayStrokeBegin(16, stroke_->drawMode)) return false;
  }
  pos_ += 2;

  const uint8_t type = header.type;
  const uint8_t sub = header.subcode;
  const int mode = drawModeOfBegin(type);
  if (mode >= 0) {
    if (beginSwitchesSmoothingOff(type)) switchSmoothingOff();
    // Type 16 is the internal begin; a stored one carries subcode 0.
    return replayStrokeBegin(sub, uint8_t(mode));
  }
  switch (type) {
    case kPktState:
      return replayAppState(sub);
    case kPktData:
      return replayDataPacket(sub);
    case kPktStrokePoints:
      return replayStrokePoints(sub, false);
    case kPktStrokeLast:
      return replayStrokePoints(sub, true);
    default:
      break;
  }
  // Every other packet is a command of the packet table.
  const SPacketRow* row = packetRow(type, sub);
  return row != nullptr ? replayCommand(*row) : fail(ReplayError::UnknownPacket);
}

bool CReplayEngine::execCommand(SPacketHeader& header) {
  if (!store_.hasData() || store_.mode() != EventMode::Replaying) return fail(ReplayError::NotReplaying);
  do {
    if (!execPacket(header)) return false;
  } while (header.type == kPktState || header.type == kPktData);
  return true;
}

ReplayStep CReplayEngine::execNext(SPacketHeader& header) {
  if (!execCommand(header)) return ReplayStep::Error;
  if ((store_.stateByte() & kEvEndReached) != 0) {
    store_.setStateBits(kEvEndReached, false);
    return ReplayStep::End;
  }
  return ReplayStep::EventDone;
}

ReplayStep CReplayEngine::replayNext() {
  if (isPaused()) return ReplayStep::Paused;
  error_ = ReplayError::None;
  refresh_ = 0;
  if (strokeOpen()) return continueStroke();
  if ((store_.replayFlags() & kRfResetStrokeMngr) != 0) {
    switchSmoothingOff();
    store_.setReplayFlags(uint8_t(store_.replayFlags() & ~kRfResetStrokeMngr));
  }
  store_.setStateBits(kEvStrokeOpen | kEvReplayStrokeOpen, false);
  // A stream saved while it records (a native file) has no seal: its clean
  // end, after a whole event, is the end of the replay too.
  if (store_.mode() == EventMode::Replaying && pos_ == store_.writePosition() && pos_ > 0) {
    store_.setMode(EventMode::Sealed);
    return ReplayStep::End;
  }

  SPacketHeader header;
  ReplayStep r;
  for (;;) {
    r = execNext(header);
    if (r != ReplayStep::EventDone || !strokeOpen()) break;
    const uint8_t t = header.type;
    if (isPointType(t)) {
      if ((store_.replayFlags() & kRfStopAtPoints) != 0) break;
      continue;
    }
    if (drawModeOfBegin(t) >= 0) continue;
    fail(ReplayError::UnexpectedInStroke);
    r = ReplayStep::Error;
    break;
  }
  lastHeader_ = header;
  if (r != ReplayStep::Error && !strokeOpen() && !markEventDone()) return ReplayStep::Error;
  if (r == ReplayStep::End) store_.setMode(EventMode::Sealed);
  return r;
}

ReplayStep CReplayEngine::continueStroke() {
  if (pointsDone_ < pointsInChunk_) {
    drawStrokePoints(pointsDone_, 1);
    ++pointsDone_;
    if (pointsDone_ < pointsInChunk_ || (store_.replayFlags() & kRfLastChunk) == 0) return ReplayStep::EventDone;
    if (!finishReplayStroke() || !markEventDone()) return ReplayStep::Error;
    return ReplayStep::EventDone;
  }
  SPacketHeader header;
  if (!execPacket(header)) return ReplayStep::Error;
  lastHeader_ = header;
  if (header.type == kPktStrokeLast && !strokeOpen()) {
    // A last chunk of a single point closed the stroke.
    return markEventDone() ? ReplayStep::EventDone : ReplayStep::Error;
  }
  if (header.type == kPktDocument && header.subcode == kDocSeal) {
    store_.setStateBits(kEvEndReached, false);
    store_.setMode(EventMode::Sealed);
    return ReplayStep::End;
  }
  return ReplayStep::EventDone;
}

ReplayStep CReplayEngine::finishStroke() {
  ReplayStep r = ReplayStep::EventDone;
  while (strokeOpen()) {
    if (stopped_ && pointsDone_ >= pointsInChunk_) {
      // Stopped by an error: the stroke ends with the points read before the
      // refused packet; nothing past it is read.
      (void)finishReplayStroke();  // the replay has failed already
      return ReplayStep::Error;
    }
    r = continueStroke();
    if (r == ReplayStep::Error || r == ReplayStep::End) break;
  }
  return r;
}

// ---- objects --------------------------------------------------------------------

const TMTC* CReplayEngine::imageSlot(int slot) const { return slot == 1 ? slot1_.get() : slot2_.get(); }

int CReplayEngine::freeImageSlots() {
  const int r = (slot1_ ? 1 : 0) | (slot2_ ? 2 : 0);
  slot1_.reset();
  slot2_.reset();
  return r;
}

void CReplayEngine::freeDataBlock() {
  dataBlock_.clear();
  dataBlock_.shrink_to_fit();
  hasDataBlock_ = false;
}

bool CReplayEngine::replayStrokeChanged() const { return stroke_ && stroke_->changed != 0; }

bool CReplayEngine::takeReplayStrokeChanged(bool value) {
  if (!stroke_) return false;
  const bool old = stroke_->changed != 0;
  stroke_->setChanged(value);
  return old;
}

void CReplayEngine::cacheItem(uint8_t subcode, const uint8_t* body, uint32_t size) {
  cache_[subcode].assign(body, body + size);
  cachedBits_.set(subcode);
}

}  // namespace pg
