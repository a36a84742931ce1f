// The replay of a recording as the document window and the batch modes drive it.
#include "replay/replay_session.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "io/file_kinds.h"
#include "io/native_file_reader.h"
#include "record/event_file.h"

namespace pg {

CEventMngr* documentEventStore(TPaper& doc) {
  auto* rec = dynamic_cast<CDocEventRecorder*>(doc.events());
  return rec != nullptr ? &rec->store() : nullptr;
}

namespace {

// The first `length` bytes of the committed stream of `from` in segments of
// the size `to` keeps; false when memory fails or the bytes cannot be read.
bool copyStreamHead(const CEventMngr& from, const CEventMngr& to, uint32_t length,
                    std::vector<std::unique_ptr<CMemSeg>>& segments) {
  const uint32_t seg = to.segmentSize();
  if (seg == 0 || length > from.committedEnd()) return false;
  try {
    std::vector<uint8_t> buffer(seg);
    uint32_t done = 0;
    do {
      auto s = std::make_unique<CMemSeg>();
      if (!s->allocate(seg)) return false;
      const uint32_t n = std::min(seg, length - done);
      if (n > 0) {
        if (from.readRange(done, buffer.data(), n) != n) return false;
        if (s->copyIn(0, buffer.data(), n) != n) return false;
      }
      segments.push_back(std::move(s));
      done += n;
    } while (done < length);
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace

bool copyRecording(const CEventMngr& from, CEventMngr& to) {
  std::vector<std::unique_ptr<CMemSeg>> segments;
  if (!copyStreamHead(from, to, from.committedEnd(), segments)) return false;
  return to.loadStream(segments, from.committedEnd(), from.committedCount(), from.streamVersion(), from.reservedWord());
}

bool recordAfterReplay(CEventMngr& store, uint32_t length, uint32_t events) {
  std::vector<std::unique_ptr<CMemSeg>> segments;
  if (!copyStreamHead(store, store, length, segments)) return false;
  const EventMode before = store.mode();
  store.setMode(EventMode::Recording);
  if (!store.loadStream(segments, length, events, store.streamVersion(), store.reservedWord())) {
    store.setMode(before);
    return false;
  }
  return true;
}

FileResult readRecording(const std::string& path, CEventMngr& store) {
  if (fileKindFromExt(path) != FileKind::Native) return readEventFile(path, &store);
  // Only the recording: the file's layers are never read.
  const FileResult code = readNativeRecording(path, store);
  if (code != kRcOk) return code;
  return store.committedEnd() == 0 ? kRcNoEvents : kRcOk;
}

CReplaySession::CReplaySession(TPaper& doc, TFlowImage& flow) : doc_(doc), store_(documentEventStore(doc)) {
  if (store_ == nullptr) {
    ownStore_ = std::make_unique<CEventMngr>(nullptr);
    // A store that could not be prepared has no index: loading a recording
    // into it fails, and the start reports that.
    (void)ownStore_->prepare(nullptr, nullptr, 8, 8);
    store_ = ownStore_.get();
  }
  engine_ = std::make_unique<CReplayEngine>(doc, flow, *store_);
}

CReplaySession::~CReplaySession() = default;

ReplayStart CReplaySession::open(const std::string& path) {
  const FileResult code = readRecording(path, *store_);
  if (code == kRcVersion) return ReplayStart::VersionError;
  if (code != kRcOk) return ReplayStart::FileError;
  const ReplayStart r = engine_->startLoaded();
  running_ = r == ReplayStart::Started;
  steps_ = 0;
  refresh_ = engine_->refreshFlags();
  return r;
}

ReplayStart CReplaySession::openStore(const CEventMngr& source) {
  if (!copyRecording(source, *store_)) return ReplayStart::FileError;
  const ReplayStart r = engine_->startLoaded();
  running_ = r == ReplayStart::Started;
  steps_ = 0;
  refresh_ = engine_->refreshFlags();
  return r;
}

ReplayStep CReplaySession::step(uint32_t maxEvents, uint32_t budgetMs) {
  if (!running_) return last_;
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t i = 0; i < maxEvents; ++i) {
    last_ = engine_->replayNext();
    refresh_ = uint8_t(refresh_ | engine_->refreshFlags());
    if (last_ != ReplayStep::EventDone) break;
    ++steps_;
    if (budgetMs != 0 && std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(budgetMs)) break;
  }
  if (last_ == ReplayStep::End || last_ == ReplayStep::Error) running_ = false;
  return last_;
}

void CReplaySession::stop() {
  if (engine_->strokeOpen()) engine_->finishStroke();
  if (store_->mode() == EventMode::Replaying) store_->setMode(EventMode::Sealed);
  running_ = false;
}

}  // namespace pg
