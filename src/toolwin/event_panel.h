#pragma once
// The event view of the tool window while a document window replays: its
// caption and pause button follow the pause, its buttons apply only to what
// the replay allows, its progress bar steps through three displays, and it
// shows the replayed brush (kind, colours, tone and gradation switches)
// with the log of replayed events beneath. The widget shows this state; the
// commands themselves are the main window's Event menu commands.
#include <cstdint>
#include <string>

#include "toolwin/event_log.h"

namespace pg {

// Glyphs of the event view.
inline constexpr uint8_t kGlyphReplayPaused = 82;   // the pause button while paused
inline constexpr uint8_t kGlyphReplayPlaying = 83;  // the pause button while playing
inline constexpr uint8_t kGlyphReplayStep = 84;
inline constexpr uint8_t kGlyphReplayStop = 85;
inline constexpr uint8_t kGlyphGradationOn = 55;
inline constexpr uint8_t kGlyphGradationOff = 56;
inline constexpr uint8_t kGlyphToneOn = 58;
inline constexpr uint8_t kGlyphToneOff = 59;

// What the replayed strokes show.
struct SReplayedBrush {
  uint32_t foreground = 0;  // pixels, blue low
  uint32_t background = 0;
  uint8_t strokeKind = 0;
  bool tone = false;
  bool gradation = false;
  friend bool operator==(const SReplayedBrush&, const SReplayedBrush&) = default;
};

class CEventPanelModel {
 public:
  // The replay display on or off; a new replay starts unpaused with an
  // empty progress. Answers whether it changed (a second call does nothing).
  bool setReplaying(bool on, bool newFormat);
  bool replaying() const { return replaying_; }
  // Pause and step apply to a replay of the current event format only.
  bool pauseEnabled() const { return replaying_ && newFormat_; }
  bool stepEnabled() const { return replaying_ && newFormat_; }
  bool stopEnabled() const { return replaying_; }

  void setPaused(bool paused) { paused_ = replaying_ && paused; }
  bool paused() const { return paused_; }
  // "イベント" without a replay, else "イベント - 再生" or "イベント - 一時停止".
  std::string caption() const;
  uint8_t pauseGlyph() const { return paused_ ? kGlyphReplayPaused : kGlyphReplayPlaying; }

  void setProgress(uint32_t done, uint32_t total);
  uint32_t progressDone() const { return done_; }
  uint32_t progressTotal() const { return total_; }
  // A click on the progress bar: its display steps 0, 1, 2, 0.
  void progressClick() { progressMode_ = uint8_t((progressMode_ + 1) % 3); }
  uint8_t progressMode() const { return progressMode_; }

  // The replayed brush; answers whether anything shown changed.
  bool setBrush(const SReplayedBrush& brush);
  const SReplayedBrush& brush() const { return brush_; }
  uint8_t brushGlyph() const;
  uint8_t toneGlyph() const { return brush_.tone ? kGlyphToneOn : kGlyphToneOff; }
  uint8_t gradationGlyph() const { return brush_.gradation ? kGlyphGradationOn : kGlyphGradationOff; }

  TEventLogModel& log() { return log_; }
  const TEventLogModel& log() const { return log_; }

 private:
  bool replaying_ = false;
  bool newFormat_ = false;
  bool paused_ = false;
  uint32_t done_ = 0;
  uint32_t total_ = 0;
  uint8_t progressMode_ = 0;
  SReplayedBrush brush_;
  TEventLogModel log_;
};

}  // namespace pg
