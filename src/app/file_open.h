#pragma once
// How a file opens into a document window, without the window system: the
// route its kind takes (a document read into a window made for it, a picture
// that sizes its window, a recording replayed in a window of its own), the
// picture read before its window is made, and the filling of the window with
// the warnings to show. The main window makes and drops the windows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/planes.h"
#include "io/file_kinds.h"
#include "core/chunk_head.h"

namespace pg {

class TDrawWindow;

enum class OpenRoute : uint8_t {
  Document,         // the native format, read into a new window
  Picture,          // BMP, JPEG, PNG, PSD: read first, its window made at its size
  LegacyDocument,   // a version 1.1 document, read into a new window
  Recording,        // an event file, replayed in a new window
  LegacyRecording,  // a version 1.1 recording, replayed in a new window
  Unsupported,
};
OpenRoute openRouteOf(FileKind kind);

// A reader's failure: the file, the code and what the code means.
std::string openFailure(const std::string& path, FileResult code);

// A picture read for a new window: the picture and its resolution (72 when
// the file names none), or no picture and the message saying why.
struct SPictureLoad {
  std::unique_ptr<TMTC> picture;
  int32_t resolution = 72;
  std::string failure;
};
[[nodiscard]] SPictureLoad loadPictureForOpen(const std::string& path);

// What filling a window gave: whether the window now holds the file, and the
// warnings to show in this order. A window that does not hold it is dropped.
struct SOpenOutcome {
  bool ok = false;
  std::vector<std::string> warnings;
};
// Fills a window just made for the file: the native document read and
// adopted, the version 1.1 document imported, or the picture (already read,
// required for that route) put into the first layer. Other routes fail.
[[nodiscard]] SOpenOutcome fillWindowFromFile(TDrawWindow& window, const std::string& path, OpenRoute route,
                                              const TMTC* picture);

}  // namespace pg
