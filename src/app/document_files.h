#pragma once
// What the document window's file and clipboard commands do to a document,
// without the window system: a picture into a document, a document or a
// layer out to a file by its kind, the flattened picture of an export, the
// dated BMP name, a clipboard picture as a new layer.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "core/planes.h"
#include "core/rect.h"
#include "io/image_codecs.h"

namespace pg {

class TPaper;

// Puts a picture into the first layer of a document just set up with its
// size, records it as the layer's image and rebuilds the composite. False
// when the picture cannot be placed or recorded (the caller discards the
// new document).
[[nodiscard]] bool loadPictureIntoDocument(TPaper& doc, const TMTC& picture);

// The composite as another program should see it: flattened onto white
// when the document hides its canvas colour (the document's own display
// settings are restored before this returns). None without a composite.
[[nodiscard]] std::unique_ptr<TMTC> exportComposite(TPaper& doc);
// A layer's image over the document rectangle, with its alpha.
[[nodiscard]] std::unique_ptr<TMTC> exportLayer(const TPaper& doc, int32_t layerIndex);

// The outcome of a save: success and the message to show (information on
// success, warning otherwise; empty for nothing to show).
struct SSaveOutcome {
  bool ok = false;
  std::string message;
};

// Asked for the JPEG settings before a JPEG is written; false cancels the
// save without a message.
using JpegOptionsAsk = std::function<bool(SJpegSaveOptions&)>;

// Writes the document by the kind of the path's extension: native (flags
// layers and thumbnail, masks when there are any, events when the
// recording holds some), BMP (24-bit), JPEG (after the options), PNG;
// legacy and event kinds are refused, every other kind is not supported.
[[nodiscard]] SSaveOutcome saveDocumentToFile(TPaper& doc, const std::string& path, const JpegOptionsAsk& askJpeg);
// Writes a layer with its alpha as BMP or PNG.
[[nodiscard]] SSaveOutcome saveLayerToFile(const TPaper& doc, int32_t layerIndex, const std::string& path);

// The proposed name of a layer export: "%s[%d](%s)" with the document
// title, the layer index and the layer name, or "名称未設定[%d](%s)".
std::string layerExportName(const std::string& title, int32_t index, const std::string& layerName);

// "<folder>/<year>-<month>-<day>-<n>.bmp" with the first n from 0 whose
// file does not exist (exists is asked for each candidate).
std::string datedBmpName(const std::string& folder, const std::tm& date,
                         const std::function<bool(const std::string&)>& exists);

// A rectangle of a layer (document coordinates, clipped to the layer image)
// as a plane with its alpha; for the copy commands.
[[nodiscard]] std::unique_ptr<TMTC> layerRect(const TPaper& doc, int32_t layerIndex, const SRectXYWH& docRect);

// The selection's bounding box in document coordinates (clipped to the
// document); false without an active selection.
[[nodiscard]] bool selectionBox(const TPaper& doc, SRectXYWH& box);
// The layer's whole image with its alpha multiplied by the selection (a new
// layer from the selection), and the selection's box; none without a
// selection.
[[nodiscard]] std::unique_ptr<TMTC> selectedLayerImage(const TPaper& doc, int32_t layerIndex, SRectXYWH& box);

}  // namespace pg
