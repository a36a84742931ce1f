#include "toolwin/tool_gradient_link.h"

#include <algorithm>
#include <vector>

namespace pg {

namespace {
// The living links, so that one that goes while another was installed over
// it is taken out of that one's memory too (tool windows may close in any
// order).
std::vector<CToolGradientLink*>& liveLinks() {
  static std::vector<CToolGradientLink*> links;
  return links;
}
}  // namespace

CToolGradientLink::CToolGradientLink(const CGradMngr& gradients) : gradients_(gradients) {
  previous_ = setDocGradientLink(this);
  liveLinks().push_back(this);
}

CToolGradientLink::~CToolGradientLink() {
  auto& links = liveLinks();
  links.erase(std::remove(links.begin(), links.end(), this), links.end());
  for (CToolGradientLink* other : links)
    if (other->previous_ == this) other->previous_ = previous_;
  if (&docGradientLink() == this) (void)setDocGradientLink(previous_);  // answers the link being removed
}

const CGradObj* CToolGradientLink::activeGradient() const {
  // The working copy follows the current preset and carries the edits the
  // tool options make to it; without one, the preset itself.
  if (const CGradObj* work = gradients_.work()) return work;
  return gradients_.currentItem();
}

bool CToolGradientLink::gradientRange(SGradRepeat& out) const {
  if (gradients_.count() == 0) return false;
  out = gradients_.getRange();
  return true;
}

}  // namespace pg
