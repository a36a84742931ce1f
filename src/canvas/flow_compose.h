#pragma once
// The document's composition of a rectangle while a stroke is open: the
// layers in their order with the flow image (the working copy the stroke
// paints into) standing in for the layer it was loaded from, so that the
// view shows the stroke before it is merged into the layer's tiles.
#include "core/rect.h"

namespace pg {

class TPaper;
class TFlowImage;

// Rebuilds rect (document coordinates) of the document's composite; without
// a loaded flow image it is the document's own composition. Draws the grid
// over it when the document shows one.
void composeWithFlow(TPaper& doc, const TFlowImage& flow, const TRect& rect);

}  // namespace pg
