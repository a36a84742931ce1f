#pragma once
// What a replaying document window tells the rest of the program while it
// replays: the tool window switches into its replay display, logs each
// replayed event, follows the progress and shows the replayed brush and
// colours. The main window implements it (and hands on only what concerns
// the window the tool window follows); tests record the calls.
#include <cstdint>

namespace pg {

class TDrawWindow;
class TStroke;
struct SReplayPenState;

class IReplayDisplay {
 public:
  virtual ~IReplayDisplay() = default;
  // The window started (on) or left (off) replaying.
  virtual void replayDisplay(TDrawWindow& window, bool on) = 0;
  // A step replayed an event of this name index (0 for none).
  virtual void eventReplayed(TDrawWindow& window, uint8_t nameIndex) = 0;
  // Events done of all the recording holds; at most once a second, and at
  // the end.
  virtual void replayProgress(TDrawWindow& window, uint32_t done, uint32_t total) = 0;
  // The replayed stroke settings changed their paint parameters.
  virtual void replayStrokeChanged(TDrawWindow& window, const TStroke& stroke) = 0;
  // The replayed colours differ from those shown last (pixels, blue low).
  virtual void replayColors(TDrawWindow& window, uint32_t foreground, uint32_t background) = 0;
  // The replayed pen-method state (nib, renderer and stroke values) changed.
  virtual void replayPenState(TDrawWindow& window, const SReplayPenState& state) = 0;
};

}  // namespace pg
