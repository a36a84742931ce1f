#pragma once
// The kind of a file, judged by its name's extension: the open routine picks
// the reader by it, the file dialogs and the picture writers the format.
#include <cstdint>
#include <string_view>

namespace pg {

enum class FileKind : uint8_t {
  None = 0,
  LegacyDocument = 1,   // ".lgb", a version-1.1 document
  LegacyRecording = 2,  // ".lge", a version-1.1 recording
  Native = 3,           // ".kci", the layered image
  EventsV1 = 4,         // ".kes", event file, first version
  EventsV3 = 5,         // ".ke3", ".kv3"
  EventsV4 = 6,         // ".ke4", ".kv4"
  Bmp = 7,              // ".bmp"
  Jpeg = 8,             // ".jpg", ".jpeg", ".jpe", ".jif", ".jfif", ".jfi"
  Png = 9,              // ".png"
  Psd = 10,             // ".psd"
};

// The extension is everything from the last "." of the path on, compared
// without regard to ASCII letter case; a path without "." and an extension of
// none of the kinds give None.
FileKind fileKindFromExt(std::string_view path);

}  // namespace pg
