// Replays arbitrary packets into a document: whatever the bytes say,
// the replay never crashes, hangs or takes memory without bound, and every
// step ends with one of the driver's results.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/doc_recorder.h"
#include "fuzz_support.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"
#include "replay/replay_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pg;
  if (size > (1u << 16)) return 0;
  setMessageBatchMode(true);
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  TPaper doc(nullptr, services);
  TFlowImage flow(&doc);
  doc.setFlowImage(&flow);
  CEventMngr* store = documentEventStore(doc);
  if (store == nullptr) std::abort();

  // Bytes that begin by making the document's image are replayed as they
  // are, at the size they ask for (the wide_* seeds are the others behind an
  // image 3000 pixels wide and 8 high); any others after a small image made
  // first, so that they reach the executors. The replay has the memory of a
  // small machine: larger documents take the out-of-memory paths.
  const fuzz::MemoryBudget budget;
  const bool ownImage = size >= 2 && data[0] == kPktDocument && (data[1] == kDocImageCreate || data[1] == 0);
  std::vector<uint8_t> stream;
  if (!ownImage) {
    stream = {kPktDocument, kDocImageCreate};
    std::vector<uint8_t> body(28, 0);
    writeLE32(body.data(), 24);
    writeLE32(body.data() + 4, 16);
    writeLE32(body.data() + 8, 24);
    writeLE32(body.data() + 12, 16);
    body[20] = 255;
    stream.insert(stream.end(), body.begin(), body.end());
  }
  stream.insert(stream.end(), data, data + size);

  std::vector<std::unique_ptr<CMemSeg>> segments;
  segments.push_back(std::make_unique<CMemSeg>());
  if (!segments.back()->allocate(store->segmentSize())) std::abort();
  // A stream longer than one segment is not what this target explores.
  if (segments.back()->copyIn(0, stream.data(), uint32_t(stream.size())) != stream.size()) return 0;
  if (!store->loadStream(segments, uint32_t(stream.size()), 1, 43, 0)) std::abort();

  CReplayEngine engine(doc, flow, *store);
  if (engine.startLoaded() != ReplayStart::Started) return 0;
  engine.setStepPoints((size & 1) != 0);
  // Every step consumes at least a packet header or a buffered point.
  for (size_t steps = 0; steps < stream.size() * 16 + 16; ++steps) {
    const ReplayStep r = engine.replayNext();
    if (engine.replayPosition() > store->writePosition()) std::abort();
    if (r == ReplayStep::End || r == ReplayStep::Error) break;
    if (r != ReplayStep::EventDone) std::abort();
  }
  engine.finishStroke();
  return 0;
}
