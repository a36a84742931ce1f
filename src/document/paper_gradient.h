#pragma once
// What the document gradient needs of the tool window and the recorder: the
// tool window's active gradient and the repeat range of its gradient set,
// and the gradient a replay uses. The application installs a link that
// answers them; without one there is no gradient to take.
#include "brush/gradient.h"

namespace pg {

class TPaper;

class CDocGradientLink {
 public:
  virtual ~CDocGradientLink() = default;
  // The tool window's active gradient; null when there is none.
  virtual const CGradObj* activeGradient() const { return nullptr; }
  // The repeat range of the tool window's gradient set; false when there is none.
  [[nodiscard]] virtual bool gradientRange(SGradRepeat& /*out*/) const { return false; }
  // The gradient the replay of this document uses; null when it has none.
  virtual const CGradObj* replayGradient(const TPaper& /*doc*/) const { return nullptr; }
};

// The gradient a replaying document paints with: the one its recording set.
// The replay engine of the document answers it.
class IReplayGradientSource {
 public:
  virtual ~IReplayGradientSource() = default;
  // Null while the recording has set no gradient.
  virtual const CGradObj* replayGradientForDocument() = 0;
};

// The link in use: the installed one, else a link without gradients.
CDocGradientLink& docGradientLink();
// Installs a link (not owned; nullptr restores the default) and answers the
// previous one.
CDocGradientLink* setDocGradientLink(CDocGradientLink* link);

}  // namespace pg
