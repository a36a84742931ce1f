// Changes of the layer list and of the layers' attributes: new, delete,
// duplicate, move, rename, visibility, opacity, blend mode and protect
// alpha, each through the edit protocol.
#include <algorithm>

#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"

namespace pg {

bool TPaper::selectLayer(TFlowImage* flow, int32_t index) {
  if (!isValidLayer(index)) return false;
  layers_->setCurrent(index);
  if (flow != nullptr) loadFlowImage(*flow, index, flow->layerIndex == index);
  return true;
}

bool TPaper::setCurrentLayer(TFlowImage* flow, int32_t index) {
  if (!selectLayer(flow, index)) return false;
  toolWindowLink().updateLayerPanel();
  toolWindowLink().updateMaskPanel();
  return true;
}

}  // namespace pg
