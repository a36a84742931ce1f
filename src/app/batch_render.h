#pragma once
// The unattended batch modes: a recording (an event file, or a native file
// that carries one) replayed at full speed into a document of its own, with
// no window and no question. The render mode writes the replayed picture as
// a BMP and the recording beside it into the output folder; both modes end
// with a result code that goes out as the process's exit status.
#include <cstdint>
#include <string>

#include "app/command_line.h"

namespace pg {

class TMTC;

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

// Replays the source to its end. In render mode the picture and the
// recording are written to the output folder; in viewer mode nothing is
// written and `picture` (when given) receives the replayed composite. A
// source that does not open, or whose replay breaks off, gives OpenFailed
// and its marker in the output folder.
[[nodiscard]] SBatchOutcome runBatchReplay(const std::string& source, const StartupState& state, TMTC* picture = nullptr);

}  // namespace pg
