#pragma once
// What the document commands behind a dialog do once the dialog said OK,
// without the window system: the layer and mask options, the canvas size,
// the resampling of the image or of one layer, the turn of a layer, a new
// layer from the new-layer dialog, and the crop to the selection. The menu
// shows the dialog, reads its record and hands it here; each answers whether
// the document changed, and every change is recorded so that a replay makes
// the same pixels.
#include <cstdint>

#include "app/image_size_model.h"
#include "app/layer_option_model.h"
#include "app/new_layer_model.h"

namespace pg {

class CLayerData;
class CMaskData;
class TFlowImage;
class TPaper;
class TStroke;

// The record the layer option dialog starts from: the layer's offset as a
// position on the document, no crop, its name, mode, opacity and dithering.
TLayerOptionValue layerOptionRecord(const CLayerData& layer);
// Every item the dialog changed, each as an operation of its own, in this
// order: name (cut to 32,766 characters), opacity, dithering, blend mode,
// crop to the canvas, move. True when any of them changed the layer.
[[nodiscard]] bool applyLayerOptions(TPaper& doc, TFlowImage& flow, int32_t layerIndex,
                                     const TLayerOptionValue& before, const TLayerOptionValue& chosen);

// The record the mask option dialog starts from.
TLayerOptionValue maskOptionRecord(const CMaskData& mask);
// Name, crop and move of the current mask, in that order; crop and move only
// for a mask that holds an image. True when any of them changed the mask.
[[nodiscard]] bool applyMaskOptions(TPaper& doc, TFlowImage& flow, const TLayerOptionValue& before,
                                    const TLayerOptionValue& chosen);

// The dialog counts the anchor cells row by row, the document column by column.
int32_t documentAnchor(int32_t dialogCell);
// The canvas to the chosen size, the old image placed by the anchor cell.
[[nodiscard]] bool applyCanvasSize(TPaper& doc, TFlowImage& flow, const SImageSizeRecord& chosen);
// The image resampled to the chosen size when it differs, then the chosen
// resolution; false (and the resolution kept) when the resampling failed.
[[nodiscard]] bool applyResolution(TPaper& doc, TFlowImage& flow, const SResolutionRecord& chosen);

// A new layer of the document's size above the current one, with the
// dialog's name, colour, opacity and blend mode.
[[nodiscard]] bool addNewLayer(TPaper& doc, TFlowImage& flow, const SNewLayerRecord& chosen);

// What Edit > Delete did to the current layer.
enum class DeleteResult : uint8_t { Nothing, SelectionErased, LayerCleared };
// With a selection, erases the selected area (tinted by the paper colour
// where a soft edge keeps some of the pixel); without one, clears the layer.
[[nodiscard]] DeleteResult deleteSelectionOrLayer(TPaper& doc, TFlowImage& flow, TStroke& stroke);

// Crops the document to the selected pixels' bounds clipped to the image;
// a selection wholly outside the image leaves the document alone.
[[nodiscard]] bool cropToSelection(TPaper& doc, TFlowImage& flow);

}  // namespace pg
