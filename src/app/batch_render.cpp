#include "app/batch_render.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <system_error>

#include "brush/stroke_settings.h"
#include "core/bmp_file.h"
#include "core/streams.h"
#include "document/doc_recorder.h"
#include "document/doc_services.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "io/file_kinds.h"
#include "platform/debug_output.h"
#include "record/event_file.h"
#include "record/event_store.h"
#include "record/legacy_event_packet.h"
#include "record/progress.h"
#include "replay/replay_session.h"

namespace pg {

namespace fs = std::filesystem;

namespace {

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return (fs::path(folder) / name).string();
}

// The document's window in a batch run: there is nothing to show, and the
// recording alone edits the document.
class CBatchWindow final : public IDocWindow {
 public:
  bool canEdit(const EditGateFlags&) override { return !replaying; }
  void setModified(bool) override {}
  bool isReplaying() const override { return replaying; }
  void repaintDocRect(const TRect&) override {}
  void invalidateView() override {}
  void documentLayoutChanged(bool) override {}
  void setWaitCursor(bool) override {}
  bool replaying = true;
};

bool samePath(const std::string& a, const std::string& b) {
  std::error_code e1, e2;
  const fs::path pa = fs::weakly_canonical(a, e1);
  const fs::path pb = fs::weakly_canonical(b, e2);
  return !e1 && !e2 && pa == pb;
}

// The committed recording as an event file; the target is replaced only
// when it was written whole.
bool writeRecording(const std::string& path, const CEventMngr& store, const TPaper& doc) {
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Create);
  if (!file) return false;
  FileResult code = writeEvents(*file, store, uint32_t(std::max(doc.width(), 0)), uint32_t(std::max(doc.height(), 0)),
                             nullProgress(), store.reservedWord(), store.streamVersion());
  if (code == kRcOk && !file->commit()) code = kRcShortWrite;
  if (code != kRcOk) file->discard();
  return code == kRcOk;
}


}  // namespace

std::string batchOutputFolder(const StartupState& state, const std::string& source) {
  if (!state.batchOutputFolder.empty()) return state.batchOutputFolder;
  return fs::path(source).parent_path().string();
}

std::string fileTitle(const std::string& path) { return fs::path(path).filename().string(); }

std::string replaceExtension(const std::string& name, const std::string& extension) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  // A leading dot names a hidden file; it begins no extension.
  if (dot == std::string::npos || dot <= start) return name + extension;
  return name.substr(0, dot) + extension;
}

std::string batchImagePath(const std::string& folder, const std::string& title) {
  return joinPath(folder, replaceExtension(title, ".bmp"));
}

std::string batchEventsPath(const std::string& folder, const std::string& title, uint8_t streamVersion) {
  return joinPath(folder, replaceExtension(title, replayFileExtension(streamVersion)));
}

std::string batchMarkerPath(const std::string& folder, const std::string& source) {
  return joinPath(folder, replaceExtension(fileTitle(source), ".bad"));
}

bool writeBatchMarker(const std::string& folder, const std::string& source) {
  const std::string path = batchMarkerPath(folder, source);
  std::error_code ec;
  if (fs::exists(path, ec)) return true;
  std::ofstream out(path, std::ios::binary);
  return out.good();
}

struct CBatchReplay::SParts {
  CBatchWindow window;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
  // The current format.
  std::unique_ptr<CReplaySession> session;
  // A version 1.1 recording, played record by record with its own stroke settings.
  std::unique_ptr<TEventPacket> legacy;
  std::unique_ptr<TStroke> legacyStroke;
};

CBatchReplay::CBatchReplay(const std::string& source, const StartupState& state)
    : source_(source), startup_(state), folder_(batchOutputFolder(state, source)), parts_(std::make_unique<SParts>()) {
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  parts_->doc = std::make_unique<TPaper>(&parts_->window, services);
  parts_->flow = std::make_unique<TFlowImage>(parts_->doc.get());
  parts_->doc->setFlowImage(parts_->flow.get());
}

CBatchReplay::~CBatchReplay() {
  // The replay reads the document: it goes first.
  if (parts_->session && state_ == State::Running) parts_->session->stop();
  parts_->session.reset();
}

TPaper& CBatchReplay::document() { return *parts_->doc; }

void CBatchReplay::composeDocument() {
  TPaper& doc = *parts_->doc;
  if (doc.width() <= 0 || doc.height() <= 0 || !doc.composite().IsAllocated()) return;
  // The picture as the document shows it: with its grid when it shows one.
  doc.composeRect(SRectXYWH{0, 0, doc.composite().Width, doc.composite().Height}, doc.view().showGrid());
}

bool CBatchReplay::open() {
  if (state_ != State::Closed) return state_ == State::Running;
  state_ = State::Broken;
  TPaper& doc = *parts_->doc;
  if (fileKindFromExt(source_) == FileKind::LegacyRecording) {
    auto packet = std::make_unique<TEventPacket>();
    SLegacyStreamInfo info;
    if (!packet->loadFromFile(source_, info)) return false;
    // Such a stream cannot be continued in the current format: the document
    // records nothing while it plays.
    if (CEventMngr* store = documentEventStore(doc)) store->setMode(EventMode::Idle);
    doc.enterOlderFormatMode();
    auto stroke = std::make_unique<TStroke>();
    uint16_t code = 0;
    bool refresh = false;
    if (!doc.playPenPacket(*parts_->flow, *packet, code, refresh, *stroke)) {
      (void)doc.leaveOlderFormatMode();  // already failing: the document is not used again
      return false;
    }
    parts_->legacy = std::move(packet);
    parts_->legacyStroke = std::move(stroke);
    events_ = 1;
  } else {
    parts_->session = std::make_unique<CReplaySession>(doc, *parts_->flow);
    if (parts_->session->open(source_) != ReplayStart::Started) return false;
  }
  doc.setName(fileTitle(source_));
  state_ = State::Running;
  return true;
}

bool CBatchReplay::step(uint32_t budgetMs) {
  if (state_ != State::Running) return false;
  const auto start = std::chrono::steady_clock::now();
  const auto spent = [&] {
    return budgetMs != 0 && std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(budgetMs);
  };
  TPaper& doc = *parts_->doc;
  if (parts_->legacy) {
    TEventPacket& packet = *parts_->legacy;
    while (!spent()) {
      const bool inStroke = packet.insideStroke();
      uint16_t code = 0;
      bool refresh = false;
      if (!doc.playPenPacket(*parts_->flow, packet, code, refresh, *parts_->legacyStroke)) {
        const bool end = code == kLegacyEndCode && packet.atEnd();
        (void)doc.leaveOlderFormatMode();  // already failing: the document is not used again
        state_ = end ? State::Ended : State::Broken;
        if (!end) debugOutput("batch: the replay of " + source_ + " stopped on an error");
        return false;
      }
      if (!inStroke) ++events_;
    }
    return true;
  }
  CReplaySession& session = *parts_->session;
  ReplayStep last = ReplayStep::EventDone;
  do {
    last = session.step(budgetMs == 0 ? std::numeric_limits<uint32_t>::max() : 64, budgetMs);
  } while (last == ReplayStep::EventDone && !spent());
  if (last == ReplayStep::EventDone) return true;
  events_ = session.stepsDone();
  session.stop();
  parts_->window.replaying = false;
  // A recording that breaks off does not give its picture: reporting one
  // would pass a part of the work off as the whole.
  state_ = last == ReplayStep::End ? State::Ended : State::Broken;
  if (state_ == State::Broken) debugOutput("batch: the replay of " + source_ + " stopped on an error");
  return false;
}

SBatchOutcome CBatchReplay::failedOpen() {
  if (!writeBatchMarker(folder_, source_)) debugOutput("batch: the marker of " + source_ + " cannot be written");
  return SBatchOutcome{};
}

SBatchOutcome CBatchReplay::finish() {
  if (state_ == State::Running) (void)step(0);  // the state it leaves is what finish() reads
  if (state_ != State::Ended) return failedOpen();
  TPaper& doc = *parts_->doc;
  SBatchOutcome out;
  out.events = events_;
  composeDocument();
  if (startup_.viewerMode) {
    out.code = BatchCode::Viewed;
    return out;
  }
  const std::string title = fileTitle(source_);
  out.imagePath = batchImagePath(folder_, title);
  out.code = BatchCode::WriteFailed;
  if (!saveBmp24(doc.composite(), out.imagePath, doc.resolution())) return out;
  // The recording beside the picture, unless that is the source itself: a
  // version 1.1 stream through its own writer, else an event file with the
  // recorder's extension.
  std::string events;
  bool written = true;
  if (parts_->legacy) {
    events = joinPath(folder_, replaceExtension(title, ".lge"));
    if (!samePath(events, source_)) written = parts_->legacy->saveToFile(events);
  } else if (const CEventMngr* store = documentEventStore(doc)) {
    events = batchEventsPath(folder_, title, store->streamVersion());
    if (!samePath(events, source_)) written = writeRecording(events, *store, doc);
  }
  if (!written) return out;
  if (!events.empty() && !samePath(events, source_)) out.eventsPath = events;
  out.code = BatchCode::Written;
  return out;
}

SBatchOutcome runBatchReplay(const std::string& source, const StartupState& state, TMTC* picture) {
  CBatchReplay run(source, state);
  if (run.open()) (void)run.step(0);  // finish() reads the state the run ended in
  const SBatchOutcome out = run.finish();
  if (picture != nullptr && out.code == BatchCode::Viewed) {
    const TPaper& doc = run.document();
    if (!picture->Resize(doc.composite().Width, doc.composite().Height) || !picture->copyPixelsFrom(doc.composite()))
      picture->FreeData();
  }
  return out;
}

}  // namespace pg
