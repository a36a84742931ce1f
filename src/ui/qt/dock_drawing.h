#pragma once
// The owner-drawn faces of the docking framework and the pop-ups, one
// function per element, each composing into one of our off-screen graphics
// with the appearance manager's colours and graphics; the widgets copy the
// graphic in their paint handlers.
#include <QString>

#include "core/rect.h"
#include "ui/memory_graphic.h"

namespace pg {

class TAppearanceManager;

// The process-wide appearance manager, made from the application palette
// when the program has not made it yet.
const TAppearanceManager& dockAppearance();

// Renders a caption as an inactive and an active tab, each image sized to
// the measured tab and transparent around it.
[[nodiscard]] bool renderCaptionTabs(const QString& caption, TMemoryGraphic& inactive, TMemoryGraphic& active);
// The face of a pane's strip, as large as the graphic: on panes below the
// first a 2-pixel grip band at y = 1 and the face from y = 4; a raised 3D
// frame with a window-frame outline inside.
void paintStripFace(TMemoryGraphic& face, bool isTop);
// Composites a caption tab image at (x, y) and marks its covered pixels in
// the tab map with the index (colour bytes) and alpha 255.
void placeTab(TMemoryGraphic& face, TMemoryGraphic& tabMap, const TMemoryGraphic& tab, int32_t x, int32_t y,
              int32_t index);
// The menu button (the 17 x 15 drop-down glyph) with its glyph state.
void paintMenuButton(TMemoryGraphic& face, const TRect& r, uint8_t glyphState);
// A floating form's face: its frame and caption band with the title.
void paintFloatFrame(TMemoryGraphic& g, int32_t border, int32_t captionHeight, const QString& title);
// Where a dragged panel would land.
void paintDropIndicator(TMemoryGraphic& g);
// The thin border of a pop-up over a face in the button colour.
void paintPopupFrame(TMemoryGraphic& g);

}  // namespace pg
