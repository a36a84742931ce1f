#pragma once
// The unattended batch modes: a recording (an event file, or a native file
// that carries one) replayed at full speed into a document of its own, with
// no window and no question. The render mode writes the replayed picture as
// a BMP and the recording beside it into the output folder; both modes end
// with a result code that goes out as the process's exit status.
#include <cstdint>
#include <memory>
#include <string>

#include "app/command_line.h"

namespace pg {

class TMTC;
class TPaper;

// The result of a batch run.
enum class BatchCode : int32_t {
  Written = 8,      // render: the picture and the recording were written
  WriteFailed = 9,  // render: the picture or the recording could not be written
  OpenFailed = 10,  // the file did not open for replay, or its replay broke off
  Viewed = 13,      // viewer: the replay ran to its end
};

// The folder the results go to: the one of the command line, else the
// source's own folder.
std::string batchOutputFolder(const StartupState& state, const std::string& source);
// The name with the text after its last "." (in the last path component)
// replaced by the extension (which brings its own "."); appended when there is none.
std::string replaceExtension(const std::string& name, const std::string& extension);
// The file name without its folder.
std::string fileTitle(const std::string& path);
// "<folder>/<title>.bmp", "<folder>/<title>" with the recorder's extension,
// and the marker of a failed open "<folder>/<source name>.bad".
std::string batchImagePath(const std::string& folder, const std::string& title);
std::string batchEventsPath(const std::string& folder, const std::string& title, uint8_t streamVersion);
std::string batchMarkerPath(const std::string& folder, const std::string& source);

// Creates the empty marker of a failed open (once: an existing one is kept).
[[nodiscard]] bool writeBatchMarker(const std::string& folder, const std::string& source);

// What a batch replay gave.
struct SBatchOutcome {
  BatchCode code = BatchCode::OpenFailed;
  std::string imagePath;   // render: the BMP written
  std::string eventsPath;  // render: the recording written (empty when it is the source itself)
  uint32_t events = 0;     // events replayed
};

// A batch replay run in steps, so that the viewer can show the picture as
// it grows: open, step until done, finish. The recording is an event file,
// a native file that carries one, or a version 1.1 recording (".lge").
class CBatchReplay {
 public:
  CBatchReplay(const std::string& source, const StartupState& state);
  ~CBatchReplay();
  CBatchReplay(const CBatchReplay&) = delete;
  CBatchReplay& operator=(const CBatchReplay&) = delete;

  // Opens the source for replay; false when it does not open (finish then
  // answers OpenFailed and leaves the marker).
  [[nodiscard]] bool open();
  // Replays events until budgetMs milliseconds went by (0: to the end);
  // answers true while the replay goes on.
  bool step(uint32_t budgetMs);
  // Whether the replay ran to its end without an error.
  bool ended() const { return state_ == State::Ended; }
  // The document as replayed so far, with its composite current.
  TPaper& document();
  void composeDocument();
  // After the end (or a break): the render mode writes the picture and the
  // recording; the outcome. Call once.
  SBatchOutcome finish();

 private:
  enum class State : uint8_t { Closed, Running, Ended, Broken };
  SBatchOutcome failedOpen();
  std::string source_;
  StartupState startup_;
  std::string folder_;
  struct SParts;
  std::unique_ptr<SParts> parts_;
  State state_ = State::Closed;
  uint32_t events_ = 0;
};

// Replays the source to its end. In render mode the picture and the
// recording are written to the output folder; in viewer mode nothing is
// written and `picture` (when given) receives the replayed composite. A
// source that does not open, or whose replay breaks off, gives OpenFailed
// and its marker in the output folder.
[[nodiscard]] SBatchOutcome runBatchReplay(const std::string& source, const StartupState& state, TMTC* picture = nullptr);

}  // namespace pg
