#pragma once
// Writing a document as a native layered image (".kci"): the header
// (native_header.h), then the sections the caller asks for: the thumbnail,
// every layer with its tiles, every mask with its tiles, the recorded events.
//
// The file is written beside the target and renamed over it at the end, so
// that a save that cannot complete the file leaves the old one as it was.
// An item that fails (a layer, a mask, the thumbnail, the events) is cut out
// of the file again and reported, and the items after it are still written;
// the file then stays readable, but the save answers false so that the
// document keeps its unsaved state.
#include <cstdint>
#include <string>

#include "record/progress.h"

namespace pg {

class CNativeOutputFile;
class TPaper;

// Writes the document to path with the section flags (kNativeLayers,
// kNativeMasks, kNativeThumbnail, kNativeEvents; higher bits are the
// writer's own and are ignored here). The target is replaced when the file
// could be written whole (its structure, with whatever items succeeded);
// answers true only when, besides, every item asked for was written. A
// failed layer or mask shows "%s ("%s") の保存に失敗しました! (err=%d)".
// An empty recording is nothing to write and no failure.
[[nodiscard]] bool writeNativeFile(const std::string& path, TPaper& doc, uint32_t flags);

// The layers from index 0 up, and the masks, each cut back out of the file
// and reported when it fails; one progress step each. Answer how many were
// written.
[[nodiscard]] int32_t writeLayers(CNativeOutputFile& file, const TPaper& doc, IProgress& progress);
[[nodiscard]] int32_t writeMasks(CNativeOutputFile& file, const TPaper& doc, IProgress& progress);

}  // namespace pg
