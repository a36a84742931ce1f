#pragma once
// The Qt side of the appearance manager: the UI colour table from the
// application palette, the process-wide manager made from it, the UI font
// rule over Qt's font database, text drawing for the toolkit-free painters,
// and the monitor a pop-up is placed on.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

#include <cstdint>
#include <string_view>

#include "core/rect.h"
#include "ui/appearance_manager.h"

namespace pg {

// The colour table of a palette: 3D dark shadow and window frame from
// Shadow, button face from Button, 3D highlight from Light, 3D light from
// Midlight, button shadow from Dark, grey text from the disabled Text,
// highlight and its text, window from Base, window text from WindowText.
TUiSysColors loadSystemColors(const QPalette& palette);

// Makes the process-wide manager from the application palette. Call once the
// QApplication exists, before any control is made.
TAppearanceManager& createQtAppearanceManager();
// The appearance manager, then the glyph manager in its colours; and their
// removal in the reverse order (at exit, and between tests).
void createQtUiManagers();
void resetUiManagers();

// Qt's writing system for a character set number.
int writingSystemOf(uint8_t charSet);
// A family of that name (without regard to ASCII case) is installed for the
// character set.
bool fontInstalled(std::string_view face, uint8_t charSet);
// Gives the font the first face of the UI font list installed for the
// character set, at its pixel height; false (the font unchanged) when none is.
[[nodiscard]] bool applyUiFont(QFont& font, uint8_t charSet);

// Draws text into graphics with one font.
class TQtTextDrawer : public ITextDrawer {
 public:
  explicit TQtTextDrawer(const QFont& font) : font_(font) {}
  bool drawText(TMemoryGraphic& g, std::string_view utf8, TRect& rect, TUiColor colour, uint32_t flags) override;

 private:
  QFont font_;
};

// A caption tab with the tab font (the UI font for character set 128) and the
// process-wide manager; false when no manager exists.
[[nodiscard]] bool paintCaptionTab(TMemoryGraphic& g, const QString& caption, TRect& rect, uint32_t flags, bool active);

// The full rectangle of the monitor nearest to a point of the desktop.
TRect monitorRectNear(QPoint p);

// ---- window services ------------------------------------------------------------

// The cursor position in the control's own coordinates.
QPoint cursorPosIn(const QWidget& control);
// Width and height the window's frame adds around its client area; false for
// a window that is not shown (its frame is not known yet).
[[nodiscard]] bool windowFrameExtent(const QWidget& control, int32_t& width, int32_t& height);

// Frames painted with a painter: the rectangle's top and left edges in the
// first colour, right and bottom in the second, and the inside filled unless
// the fill is invalid (QColor()).
void frame3D(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight, const QColor& fill);
void frame3DDouble(QPainter& p, const QRect& r, const QColor& outerTopLeft, const QColor& innerTopLeft,
                   const QColor& innerBottomRight, const QColor& outerBottomRight, const QColor& fill);
// A sunken well (button shadow and highlight outside, window frame inside) and
// a raised face (button highlight and shadow), in the UI colours.
void frameSunken(QPainter& p, const QRect& r, const QColor& fill);
void frameRaised(QPainter& p, const QRect& r, const QColor& fill);
QColor toQColor(TUiColor c);

}  // namespace pg
