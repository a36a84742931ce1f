#pragma once
// The owner-drawn faces of the docking framework and the pop-ups, one
// function per element, each drawing into an off-screen image of ours that
// the widget then copies. Colours come from the application palette (the
// system colours).
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace pg {

// The size a caption tab needs for the text.
QSize measureCaptionTab(const QString& text);
// A caption tab into a transparent image of the measured size; the active tab
// stands out in the highlight colours.
void paintCaptionTab(QImage& image, const QString& text, bool active);
// The face of a pane's strip: on panes below the first a 2-pixel grip band
// at y = 1 and the face from y = 4; a raised frame with a window-frame outline.
void paintStripFace(QImage& face, bool isTop);
// The menu button (a drop-down arrow, 17 x 15) at r; state 0 normal,
// 1 hovered, 2 disabled.
void paintMenuButton(QImage& face, const QRect& r, int state);
// A floating form's own frame and caption band.
void paintFloatFrame(QPainter& p, const QRect& bounds, int border, int captionHeight, const QString& title);
// Where a dragged panel would land.
void paintDropIndicator(QPainter& p, const QRect& r);
// The thin border of a pop-up.
void paintPopupFrame(QPainter& p, const QRect& r);

}  // namespace pg
