#pragma once
// Pictures and layers on the clipboard, over the program's clipboard seam
// (platform/clipboard.h), so that the same code runs on Qt's clipboard and on
// the in-process one of the tests.
//
// A picture travels as "image/png", which every other program reads and
// writes; a copy made here adds the copied layer's attribute record
// ("pgLayerAttr", the native file's "KLYR" record with flag 0x40) and the
// copied area ("pgClipBox", x, y, width, height as four little-endian 32-bit
// integers) in private formats. A picture of 15 MB or more of pixels is
// written to the clipboard file instead (a BMP file beside the preferences)
// and the PNG is only made when another program asks for it; "pgClipFile"
// marks such a copy, and pasting it here reads the file back.
//
// Everything read from the clipboard is untrusted: records are bounded by
// their data, pictures decoded by the checked decoders.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/planes.h"
#include "core/rect.h"
#include "document/layer_attr_record.h"

namespace pg {

class CLayerData;

inline constexpr const char* kClipPng = "image/png";
inline constexpr int64_t kClipFileThreshold = 0xF00000;  // bytes of DIB pixels and header

// The private formats' MIME types.
std::string clipLayerAttrFormat();
std::string clipBoxFormat();
std::string clipFileFormat();

// The clipboard file ("pgClip.bmp" in the preferences folder); an empty path
// switches it off, and every picture then goes to the clipboard itself.
void setClipboardFile(const std::string& path);
const std::string& clipboardFile();

// The 18 words after the record's head, as read back (the name comes apart).
using SClipLayerAttr = SLayerAttrRecord;

// Puts the rectangle of the plane (clipped to it; empty fails) as a picture:
// opaque (alpha dropped) or with its alpha.
[[nodiscard]] bool putClipboardImage24(const TMTC& plane, const SRectXYWH& rect);
[[nodiscard]] bool putClipboardImage32(const TMTC& plane, const SRectXYWH& rect);

[[nodiscard]] bool putClipLayerAttr(const CLayerData& layer);
[[nodiscard]] bool clipHasLayerAttr();
// The record from bytes: the tag "KLYR", a size of at least 72 that fits the
// data, and a name ending within the data.
[[nodiscard]] bool parseClipLayerAttr(const uint8_t* data, size_t size, SClipLayerAttr& attr, std::string& name);
[[nodiscard]] bool getClipLayerAttr(SClipLayerAttr& attr, std::string& name);

[[nodiscard]] bool putClipBox(const SRectXYWH& box);
[[nodiscard]] bool getClipBox(SRectXYWH& box);

// A picture can be pasted: a PNG on the clipboard, or our clipboard file.
[[nodiscard]] bool canPasteImage();
// A new 32-bit plane of the clipboard picture, or none.
[[nodiscard]] std::unique_ptr<TMTC> getClipboardImage();

}  // namespace pg
