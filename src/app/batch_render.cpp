#include "app/batch_render.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <system_error>

#include "core/bmp_file.h"
#include "core/streams.h"
#include "document/doc_recorder.h"
#include "document/doc_services.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "platform/debug_output.h"
#include "record/event_file.h"
#include "record/event_store.h"
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
  FileResult code = writeEvents(*file, store, uint32_t(std::max(doc.width, 0)), uint32_t(std::max(doc.height, 0)),
                             nullProgress(), store.reservedWord(), store.streamVersion());
  if (code == kRcOk && !file->commit()) code = kRcShortWrite;
  if (code != kRcOk) file->discard();
  return code == kRcOk;
}

SBatchOutcome failedOpen(const std::string& source, const std::string& folder) {
  if (!writeBatchMarker(folder, source)) debugOutput("batch: the marker of " + source + " cannot be written");
  return SBatchOutcome{};
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

SBatchOutcome runBatchReplay(const std::string& source, const StartupState& state, TMTC* picture) {
  const std::string folder = batchOutputFolder(state, source);
  CBatchWindow window;
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  TPaper doc(&window, services);
  TFlowImage flow(&doc);
  doc.setFlowImage(&flow);
  CReplaySession session(doc, flow);
  if (session.open(source) != ReplayStart::Started) return failedOpen(source, folder);
  doc.name = fileTitle(source);

  ReplayStep last = ReplayStep::EventDone;
  while (last == ReplayStep::EventDone) last = session.step(std::numeric_limits<uint32_t>::max());
  // A recording that breaks off does not give its picture: reporting one
  // would pass a part of the work off as the whole.
  if (last != ReplayStep::End) {
    debugOutput("batch: the replay of " + source + " stopped on an error");
    session.stop();
    return failedOpen(source, folder);
  }
  session.stop();
  window.replaying = false;

  SBatchOutcome out;
  out.events = session.stepsDone();
  // The picture is the document's, without the grid.
  const SRectXYWH whole{0, 0, doc.composite.Width, doc.composite.Height};
  doc.composeRect(whole, false);
  if (!state.viewerMode) {
    const std::string title = fileTitle(source);
    out.imagePath = batchImagePath(folder, title);
    out.code = BatchCode::WriteFailed;
    if (!saveBmp24(doc.composite, out.imagePath, doc.resolution)) return out;
    const CEventMngr* store = documentEventStore(doc);
    const std::string events = store ? batchEventsPath(folder, title, store->streamVersion()) : std::string();
    // The recording already lies there when the source is that very file.
    if (store && !samePath(events, source)) {
      if (!writeRecording(events, *store, doc)) return out;
      out.eventsPath = events;
    }
    out.code = BatchCode::Written;
  } else {
    out.code = BatchCode::Viewed;
  }
  if (picture != nullptr) {
    if (!picture->Resize(doc.composite.Width, doc.composite.Height) || !picture->copyPixelsFrom(doc.composite))
      picture->FreeData();
  }
  return out;
}

}  // namespace pg
