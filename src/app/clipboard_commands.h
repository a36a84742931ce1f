#pragma once
// The Edit menu's clipboard commands on a document, without the window
// system: copy the current layer, copy the picture (or the selection's box of
// it), cut the selected part of the current layer, paste the clipboard's
// picture as a new layer. Each answers whether it acted and the warning to
// show; the window marks itself modified and lays itself out again.
#include <string>

namespace pg {

class TFlowImage;
class TPaper;

struct SClipOutcome {
  bool done = false;
  std::string warning;  // empty: nothing to show
};

// The current layer's whole image with its attributes, so that a paste makes
// the same layer.
[[nodiscard]] SClipOutcome copyLayerToClipboard(const TPaper& doc);
// The whole picture as 24 bits; with a selection, its box of the picture as
// 32 bits with the box announced, so that a paste lands where it was.
[[nodiscard]] SClipOutcome copyImageToClipboard(TPaper& doc);
// The selected part of the current layer goes to the clipboard with the
// layer's attributes and the box, then leaves the layer through the
// document's own recorded cut.
[[nodiscard]] SClipOutcome cutToClipboard(TPaper& doc, TFlowImage& flow);
// The clipboard's picture as a new layer, with the copied layer's attributes
// when the clipboard holds them; they go into the recorded paste as well.
[[nodiscard]] SClipOutcome pasteAsNewLayer(TPaper& doc, TFlowImage& flow);

}  // namespace pg
