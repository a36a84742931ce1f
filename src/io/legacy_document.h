#pragma once
// Documents of version 1.1 (".lgb"): a 32-byte header ("LGB2"), the layers
// with their run-length pixels (rows bottom first, three bytes a pixel) and
// the recording of the drawing process in the version 1.1 event stream.
//
// Everything in the file is untrusted: the header is checked before the
// document is touched (a size outside 1..10,000 is refused), every length is
// checked against the bytes that are there, and the layers are built in a
// list of their own that takes the document's place once they are all read.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pg {

class TEventPacket;
class TMTC;
class TPaper;

inline constexpr char kLegacyDocumentMagic[4] = {'L', 'G', 'B', '2'};
inline constexpr char kLegacyDocumentMagicV1[4] = {'L', 'G', 'B', ' '};
// Above this a file is refused whole.
inline constexpr uint64_t kLegacyDocumentMax = uint64_t{1} << 30;

struct SLegacyDocHeader {
  char magic[4] = {};
  uint32_t storage = 0;     // layers are stored only when 0
  int32_t width = 0;
  int32_t height = 0;
  uint32_t paperColor = 0;  // 0x00RRGGBB
  uint8_t lastLayer = 0;    // the file holds lastLayer + 1 layers
  uint8_t currentLayer = 0;
  uint8_t legacyFlag = 0;  // part of the layout; the program has no use for it
  uint32_t eventBytes = 0;  // the size of the embedded stream, 0: none
};
inline constexpr size_t kLegacyDocHeaderBytes = 32;

struct SLegacyDocLayer {
  uint8_t kind = 0;  // the blend mode; kinds below 3 are opaque
  uint8_t opacity = 255;
  uint8_t visible = 1;
};
inline constexpr size_t kLegacyDocLayerBytes = 8;

class CByteCursor;
void legacyDocHeaderFields(CByteCursor& c, SLegacyDocHeader& h);
void legacyDocLayerFields(CByteCursor& c, SLegacyDocLayer& l);

// Decodes run-length pixels into a top-down plane whose rows the data holds
// bottom first: a byte below 125 repeats the next pixel that many times, a
// byte from 125 up introduces 255 - byte literal pixels; a pixel is red,
// green, blue and becomes 0x00RRGGBB. Stops when the plane is full or the
// bytes end (a packet cut short writes the pixels that are whole). Answers
// the number of pixels written.
size_t decodeLegacyPixels(const uint8_t* data, size_t size, TMTC& plane);

// The fewest pixel bytes that can fill a width x height image: every packet
// the longest run (124 pixels in four bytes).
[[nodiscard]] uint64_t leastLegacyPixelBytes(int32_t width, int32_t height);

// "Pg1.1 events cannot be continued! The event data is ignored...": shown
// after a document with a recording was opened.
inline constexpr uint32_t kResLegacyEventsIgnored = 68300;

enum class LegacyImport : uint8_t {
  Layers,         // the layers were read
  NoLayers,       // the file stores none: the document keeps its one layer
  UnknownFormat,  // not a version 1.1 document; the document is untouched
  FirstVariant,   // the first variant ("LGB "), which is not read
  BadSize,        // a size outside 1..10,000, or one the first layer's pixel bytes cannot fill; the
                  // document is untouched
  Unreadable,     // the file cannot be read or is beyond the limit
  Broken,         // a layer record or its pixels pass the end of the file
};

struct SLegacyImportResult {
  LegacyImport status = LegacyImport::Unreadable;
  bool eventsRefused = false;  // the embedded stream did not pass (the packet is cleared)
  // The window dropped the stream it read: it cannot be continued.
  bool eventsIgnored = false;
  // The text to show the user, empty when there is none.
  std::string message;
};

// Reads a version 1.1 document into a document the caller has just made,
// and its embedded recording into the packet. The document is named name.
[[nodiscard]] SLegacyImportResult importLegacyBytes(const uint8_t* data, size_t size, const std::string& name,
                                                    TPaper& doc, TEventPacket& packet);
[[nodiscard]] SLegacyImportResult importLegacyDocument(const std::string& path, TPaper& doc, TEventPacket& packet);

}  // namespace pg
