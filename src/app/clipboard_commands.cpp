#include "app/clipboard_commands.h"

#include <array>
#include <memory>

#include "app/document_files.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "io/clipboard_image.h"
#include "platform/clipboard.h"
#include "app/dialog_texts.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"

namespace pg {

namespace {

SClipOutcome failed(uint32_t textId) { return SClipOutcome{false, resString(textId)}; }

SRectXYWH wholeOf(const TMTC& picture) { return SRectXYWH{0, 0, picture.Width, picture.Height}; }

}  // namespace

SClipOutcome copyLayerToClipboard(const TPaper& doc) {
  const CLayerData* layer = doc.currentLayer();
  if (layer == nullptr) return {};
  std::unique_ptr<TMTC> picture = layerRect(
      doc, doc.currentLayerIndex(), SRectXYWH{-layer->offsetX, -layer->offsetY, layer->imageWidth(), layer->imageHeight()});
  if (!picture) return failed(kResNoMemory);
  if (!clipboardEmpty(true)) return {};
  // Without the attributes a paste takes the picture as it is.
  (void)putClipLayerAttr(*layer);
  if (!putClipboardImage32(*picture, wholeOf(*picture))) return failed(kResNoMemory);
  return SClipOutcome{true, {}};
}

SClipOutcome copyImageToClipboard(TPaper& doc) {
  std::unique_ptr<TMTC> picture = exportComposite(doc);
  if (!picture) return failed(kResNoMemory);
  if (!clipboardEmpty(true)) return {};
  SRectXYWH box;
  bool put = false;
  if (selectionBox(doc, box)) {
    (void)putClipBox(box);  // without the box a paste lands at the top left
    put = putClipboardImage32(*picture, box);
  } else {
    put = putClipboardImage24(*picture, wholeOf(*picture));
  }
  if (!put) return failed(kResNoMemory);
  return SClipOutcome{true, {}};
}

SClipOutcome cutToClipboard(TPaper& doc, TFlowImage& flow) {
  const CLayerData* layer = doc.currentLayer();
  SRectXYWH box;
  std::unique_ptr<TMTC> part = selectedLayerImage(doc, doc.currentLayerIndex(), box);
  if (layer == nullptr || !part || !clipboardEmpty(true)) return {};
  // The attributes and the box only refine a paste; the picture must be there.
  (void)putClipLayerAttr(*layer);
  (void)putClipBox(box);
  if (!putClipboardImage32(*part, wholeOf(*part))) return failed(kResNoMemory);
  return SClipOutcome{doc.cutSelection(flow, doc.currentLayerIndex(), true, -1), {}};
}

SClipOutcome pasteAsNewLayer(TPaper& doc, TFlowImage& flow) {
  std::unique_ptr<TMTC> picture = getClipboardImage();
  if (!picture) return failed(kResNoClipboardBitmap);
  SClipLayerAttr attr;
  std::string name;
  const bool withAttr = getClipLayerAttr(attr, name);
  const std::array<uint8_t, SClipLayerAttr::kBytes> bytes = attr.bytes();
  const bool pasted =
      doc.pasteLayerImage(&flow, *picture, withAttr ? name : std::string(), withAttr ? bytes.data() : nullptr, true);
  return SClipOutcome{pasted, {}};
}

}  // namespace pg
