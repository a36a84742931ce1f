#include "document/tool_window_link.h"

namespace pg {

namespace {
CToolWindowLink gDefaultLink;
CToolWindowLink* gLink = nullptr;
}  // namespace

CToolWindowLink& toolWindowLink() { return gLink ? *gLink : gDefaultLink; }

CToolWindowLink* setToolWindowLink(CToolWindowLink* link) {
  CToolWindowLink* old = gLink;
  gLink = link;
  return old;
}

}  // namespace pg
