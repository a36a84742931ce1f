#include "ui/qt/qt_appearance.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QWidget>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <limits>

#include "platform/fonts.h"
#include "ui/glyph_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/ui_font_rule.h"

namespace pg {

namespace {

TUiColor fromQColor(const QColor& c) {
  return packRgba(static_cast<uint8_t>(c.blue()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.red()), 255);
}

}  // namespace

TUiSysColors loadSystemColors(const QPalette& p) {
  TUiSysColors c;
  c.dkShadow3D = fromQColor(p.color(QPalette::Active, QPalette::Shadow));
  c.btnFace = fromQColor(p.color(QPalette::Active, QPalette::Button));
  c.btnHighlight = fromQColor(p.color(QPalette::Active, QPalette::Light));
  c.light3D = fromQColor(p.color(QPalette::Active, QPalette::Midlight));
  c.btnShadow = fromQColor(p.color(QPalette::Active, QPalette::Dark));
  c.grayText = fromQColor(p.color(QPalette::Disabled, QPalette::Text));
  c.highlight = fromQColor(p.color(QPalette::Active, QPalette::Highlight));
  c.highlightText = fromQColor(p.color(QPalette::Active, QPalette::HighlightedText));
  c.window = fromQColor(p.color(QPalette::Active, QPalette::Base));
  c.windowFrame = fromQColor(p.color(QPalette::Active, QPalette::Shadow));
  c.windowText = fromQColor(p.color(QPalette::Active, QPalette::WindowText));
  deriveUiSysColors(c);
  return c;
}

TAppearanceManager& createQtAppearanceManager() { return createAppearanceManager(loadSystemColors(QApplication::palette())); }

void createQtUiManagers() {
  const TAppearanceManager& appearance = createQtAppearanceManager();
  createGlyphManager(appearance.colors());
}

void resetUiManagers() {
  resetGlyphManager();
  resetAppearanceManager();
}

int writingSystemOf(uint8_t charSet) {
  switch (charSet) {
    case kAnsiCharSet:
    case kTurkishCharSet:
    case kBalticCharSet:
    case kEastEuropeCharSet:
      return QFontDatabase::Latin;
    case kShiftJisCharSet:
      return QFontDatabase::Japanese;
    case kHangulCharSet:
    case kJohabCharSet:
      return QFontDatabase::Korean;
    case kGb2312CharSet:
      return QFontDatabase::SimplifiedChinese;
    case kChineseBig5CharSet:
      return QFontDatabase::TraditionalChinese;
    case kGreekCharSet:
      return QFontDatabase::Greek;
    case kRussianCharSet:
      return QFontDatabase::Cyrillic;
    case kHebrewCharSet:
      return QFontDatabase::Hebrew;
    case kArabicCharSet:
      return QFontDatabase::Arabic;
    case kThaiCharSet:
      return QFontDatabase::Thai;
    case kVietnameseCharSet:
      return QFontDatabase::Vietnamese;
    case kSymbolCharSet:
      return QFontDatabase::Symbol;
    default:
      return QFontDatabase::Any;
  }
}

bool fontInstalled(std::string_view face, uint8_t charSet) {
  const auto system = static_cast<QFontDatabase::WritingSystem>(writingSystemOf(charSet));
  const QByteArray wanted(face.data(), static_cast<qsizetype>(face.size()));
  for (const QString& family : QFontDatabase::families(system)) {
    // Families may carry a foundry suffix "Name [Foundry]".
    QString name = family;
    const qsizetype bracket = name.indexOf(QLatin1String(" ["));
    if (bracket > 0) name.truncate(bracket);
    const QByteArray utf8 = name.toUtf8();
    if (sameFaceName(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                     std::string_view(wanted.constData(), static_cast<size_t>(wanted.size()))))
      return true;
  }
  return false;
}

bool applyUiFont(QFont& font, uint8_t charSet) {
  const SUiFace* face = chooseUiFace(charSet, fontInstalled);
  if (face == nullptr) return false;
  font.setFamily(QString::fromUtf8(face->face));
  font.setPixelSize(face->pixelHeight);
  return true;
}

bool TQtTextDrawer::drawText(TMemoryGraphic& g, std::string_view utf8, TRect& rect, TUiColor colour,
                             uint32_t flags) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return pg::drawText(g, text, rect, font_, colour, flags);
}

bool paintCaptionTab(TMemoryGraphic& g, const QString& caption, TRect& rect, uint32_t flags, bool active) {
  const TAppearanceManager* m = appearanceManager();
  if (m == nullptr) return false;
  QFont font = QApplication::font();
  (void)applyUiFont(font, kShiftJisCharSet);  // without an installed UI face the application font is used
  TQtTextDrawer drawer(font);
  const QByteArray utf8 = caption.toUtf8();
  return paintCaptionTab(g, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), rect, flags,
                         active, *m, drawer);
}

TRect monitorRectNear(QPoint p) {
  QScreen* best = QGuiApplication::screenAt(p);
  if (best == nullptr) {
    int64_t bestDist = std::numeric_limits<int64_t>::max();
    for (QScreen* s : QGuiApplication::screens()) {
      const QRect g = s->geometry();
      const int64_t dx = p.x() < g.left() ? g.left() - p.x() : (p.x() > g.right() ? p.x() - g.right() : 0);
      const int64_t dy = p.y() < g.top() ? g.top() - p.y() : (p.y() > g.bottom() ? p.y() - g.bottom() : 0);
      if (dx * dx + dy * dy < bestDist) {
        bestDist = dx * dx + dy * dy;
        best = s;
      }
    }
  }
  if (best == nullptr) return {0, 0, 0, 0};
  const QRect g = best->geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

QPoint cursorPosIn(const QWidget& control) { return control.mapFromGlobal(QCursor::pos()); }

bool windowFrameExtent(const QWidget& control, int32_t& width, int32_t& height) {
  const QWidget* w = control.window();
  if (w == nullptr || !w->isVisible()) return false;
  width = w->frameGeometry().width() - w->geometry().width();
  height = w->frameGeometry().height() - w->geometry().height();
  return true;
}

QColor toQColor(TUiColor c) { return QColor(uiRed(c), uiGreen(c), uiBlue(c), uiAlpha(c)); }

void frame3D(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight, const QColor& fill) {
  if (r.width() <= 0 || r.height() <= 0) return;
  const int left = r.left(), top = r.top(), right = r.left() + r.width() - 1, bottom = r.top() + r.height() - 1;
  const QPen old = p.pen();
  // Each polyline stops short of its last point, so the bottom-left corner
  // keeps the top-left colour and the top-right corner takes the other.
  p.setPen(topLeft);
  p.drawLine(left, bottom, left, top);
  if (right - 1 >= left) p.drawLine(left, top, right - 1, top);
  p.setPen(bottomRight);
  p.drawLine(right, top, right, bottom);
  if (left + 1 <= right) p.drawLine(right, bottom, left + 1, bottom);
  p.setPen(old);
  if (fill.isValid() && right - left > 1 && bottom - top > 1)
    p.fillRect(QRect(QPoint(left + 1, top + 1), QPoint(right - 1, bottom - 1)), fill);
}

void frame3DDouble(QPainter& p, const QRect& r, const QColor& outerTopLeft, const QColor& innerTopLeft,
                   const QColor& innerBottomRight, const QColor& outerBottomRight, const QColor& fill) {
  frame3D(p, r, outerTopLeft, outerBottomRight, QColor());
  frame3D(p, r.adjusted(1, 1, -1, -1), innerTopLeft, innerBottomRight, fill);
}

void frameSunken(QPainter& p, const QRect& r, const QColor& fill) {
  const TUiSysColors& c = uiSysColors();
  frame3DDouble(p, r, toQColor(c.btnShadow), toQColor(c.windowFrame), toQColor(c.windowFrame),
                toQColor(c.btnHighlight), fill);
}

void frameRaised(QPainter& p, const QRect& r, const QColor& fill) {
  const TUiSysColors& c = uiSysColors();
  frame3D(p, r, toQColor(c.btnHighlight), toQColor(c.btnShadow), fill);
}

}  // namespace pg
