#pragma once
// What the document model needs of the tool window: the refresh calls of the
// layer and mask panels and the edge of the list thumbnails. The tool window
// implements this interface; without one, the do-nothing default answers and
// the thumbnails use the default edge.
#include <cstdint>

namespace pg {

class CToolWindowLink {
 public:
  static constexpr int32_t kDefaultThumbEdge = 48;

  virtual ~CToolWindowLink() = default;

  // Edge in pixels of the item image of the layer list and of the mask list;
  // thumbnails are fitted into a square of that edge.
  virtual int32_t layerThumbHeight() const { return kDefaultThumbEdge; }
  virtual int32_t maskThumbHeight() const { return kDefaultThumbEdge; }

  // Redraw the named panel or list from the attached document.
  virtual void updateLayerPanel() {}
  virtual void updateMaskPanel() {}
  virtual void refreshLayerList() {}
  virtual void refreshMaskList() {}
};

// The link in use: the installed one, else a do-nothing default.
CToolWindowLink& toolWindowLink();

// Installs a link (not owned; nullptr restores the default) and answers the
// previous one, so that tests can put it back.
CToolWindowLink* setToolWindowLink(CToolWindowLink* link);

}  // namespace pg
