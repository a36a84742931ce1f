#pragma once
// The preferences as the documents and their windows read them: the grid,
// the caption and the undo limit are read from the profile each time they
// are needed, so that a change in the preferences dialog holds at once; the
// windows' mouse, cursor and scroll settings are copied into the canvas's
// shared settings whenever the preferences change.
#include "document/doc_services.h"
#include "document/paper_view.h"

namespace pg {

class CAppProfile;
struct SCanvasPrefs;

class CProfileDocPrefs final : public CViewPrefs, public IDocPrefs {
 public:
  explicit CProfileDocPrefs(const CAppProfile& profile) : p_(profile) {}
  int32_t gridW() const override;
  int32_t gridH() const override;
  // Stored with red in the low byte and the opacity in the top byte, as the
  // grid drawing reads it.
  uint32_t gridColor() const override;
  bool fullPathCaption() const override;
  int32_t undoMax() const override;

 private:
  const CAppProfile& p_;
};

// The document windows' settings from the preferences (the range settings
// of the seed tools are the options panel's and stay as they are).
void canvasPrefsFromProfile(const CAppProfile& p, SCanvasPrefs& c);

}  // namespace pg
