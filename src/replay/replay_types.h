#pragma once
// Results, refresh bits and the small interfaces of the replay engine.
#include <cstdint>
#include <string>

#include "brush/grade_map.h"
#include "brush/paint_param_records.h"
#include "brush/pen_shape_param.h"

namespace pg {

class CPenShapeObj;
class CGradeMapObj;

// What starting a replay gave; the window shows replayMessage of it.
enum class ReplayStart : uint8_t {
  Started = 0,
  Failed = 1,        // replay objects, or the stream does not begin with an image set-up
  FileError = 2,     // the event file could not be read
  PacketError = 3,   // the packet check failed
  VersionError = 4,  // the stream version is newer than this system's
};

// What one step gave.
enum class ReplayStep : uint8_t {
  EventDone = 0,
  Paused = 1,
  End = 2,
  Error = 3,
};

// Why a step failed, for the window's report and for tests.
enum class ReplayError : uint8_t {
  None = 0,
  ShortRead,        // a packet ends past the stream
  UnknownPacket,    // a type or subcode no executor knows
  BadField,         // a field outside what the packet may hold
  OperationFailed,  // the document operation answered false
  Version,          // the version item carries extension flags
  UnexpectedInStroke,
  NotReplaying,
};

// Refresh bits the executors set for the window.
inline constexpr uint8_t kRefreshLayout = 1;       // re-lay out and repaint the whole view
inline constexpr uint8_t kRefreshNavigator = 2;
inline constexpr uint8_t kRefreshTitle = 4;
inline constexpr uint8_t kRefreshLayers = 8;       // acted on only when bit 0 is clear
inline constexpr uint8_t kRefreshMasks = 16;       // acted on only when bit 0 is clear
inline constexpr uint8_t kRefreshPenMethod = 32;   // the tool window takes the pen state over
inline constexpr uint8_t kRefreshPenShape = 64;
inline constexpr uint8_t kRefreshCanvasSize = 128;

// The replayed pen state the tool window takes over.
struct SReplayPenState {
  SPenRenderParam render;    // the renderer's four values
  SStrokeParam stroke;       // the stroke manager's six values
  SGradeMapParam falloff;
  const CPenShapeObj* nib = nullptr;
  bool useTone = false;
  bool useGradation = false;
};

// The tool window as the replay sees it: it shows the replayed pen state in
// its paint-parameter fields. The window implements it; tests fake it.
class IReplayToolWindow {
 public:
  virtual ~IReplayToolWindow() = default;
  virtual void loadPaintParamFields(const SReplayPenState& state) = 0;
};

// The text of a start result (resource texts 65162..65166).
std::string replayMessage(ReplayStart result);
// The extension a stream version is saved with: ".kes" below 16, ".ke3"
// below 32, ".ke4" otherwise.
const char* replayFileExtension(uint8_t streamVersion);

}  // namespace pg
