#pragma once
// The document gradient's link to the tool window's gradient set: the active
// gradient is the set's working copy of its current preset, the repeat range
// the set's. A link installs itself while it lives and takes itself out when
// it goes, so documents and dialogs that outlive the tool window fall back to
// having no gradient instead of asking a freed set.
#include "brush/gradient_mngr.h"
#include "document/paper_gradient.h"

namespace pg {

class CToolGradientLink final : public CDocGradientLink {
 public:
  // Installs itself over the link in use; gradients outlives the link.
  explicit CToolGradientLink(const CGradMngr& gradients);
  ~CToolGradientLink() override;
  CToolGradientLink(const CToolGradientLink&) = delete;
  CToolGradientLink& operator=(const CToolGradientLink&) = delete;

  const CGradObj* activeGradient() const override;
  bool gradientRange(SGradRepeat& out) const override;

 private:
  const CGradMngr& gradients_;
  // The link this one was installed over; put back when this one goes while
  // in use.
  CDocGradientLink* previous_ = nullptr;
};

}  // namespace pg
