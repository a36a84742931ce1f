#include "document/doc_recorder.h"

#include <memory>

namespace pg {

CDocEventRecorder::CDocEventRecorder() : store_(this, 0x10000, 0x100000) {}

bool CDocEventRecorder::startRecording(int32_t undoSteps) {
  // The tool window's stroke settings and tone set join when the recorders
  // of application state do; the store keeps what it is given.
  return store_.startRecording(nullptr, nullptr, undoSteps, undoSteps);
}

void CDocEventRecorder::activate(bool active) {
  if (active) store_.refreshEngines();
}

bool CDocEventRecorder::recordPaperColor(uint32_t pixel) {
  const uint32_t v = pixel & 0x00FFFFFFu;
  const uint8_t payload[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              0};
  return store_.writePacket(2, 1, 0, nullptr, sizeof payload, payload);
}

DocRecorderFactory eventStoreRecorderFactory() {
  return [](TPaper&) { return std::unique_ptr<IDocRecorder>(std::make_unique<CDocEventRecorder>()); };
}

}  // namespace pg
