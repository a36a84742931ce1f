// Renders the owner-drawn controls in their states into PNG files under
// control-faces/ of the picture folder (PIGMORA_PICTURE_DIR, else a temporary
// folder), for a person to look at. The checks only make sure that every face
// was drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <vector>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include "test_support/picture_folder.h"
#include "test_support/qt_app.h"
#include <QEnterEvent>

#include "ui/qt/air_map_controls.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/navigator.h"
#include "ui/qt/nib_editor_widget.h"
#include "ui/qt/popup_base_form.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/gradient_edit.h"
#include "ui/qt/item_pickers.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/panel_controls.h"
#include "ui/qt/progress_bar.h"
#include "ui/qt/small_controls.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/qt_appearance.h"
#include "ui/qt/trackbar.h"

namespace pg {
namespace {

std::vector<QImage>& faces() {
  static std::vector<QImage> all;
  return all;
}

QString facePath(const QString& name) {
  return QString::fromStdString(testing::pictureFolder("control-faces")) + "/" + name + ".png";
}

void saveFace(QWidget& w, const QString& name) {
  const QImage img = w.grab().toImage();
  faces().push_back(img);
  EXPECT_FALSE(img.isNull()) << name.toStdString();
  EXPECT_TRUE(img.save(facePath(name))) << name.toStdString();
}

TEST(ControlFaces, ValueControls) {
  testing::ensureQtApp();
  createQtUiManagers();
  QWidget form;
  form.setGeometry(0, 0, 400, 300);
  form.show();
  TNumMngr model;
  model.setValue(100);

  for (uint8_t o : {gtHorizontal, gtVertical, gtClockWise, gtCounterClockWise}) {
    TGraphicTrackbar bar(&form);
    bar.setOrientation(o);
    if (o == gtHorizontal)
      bar.resize(109, 14);
    else if (o == gtVertical)
      bar.resize(14, 109);
    else
      bar.resize(32, 32);
    bar.setCenterLine(true);
    bar.setPosition(0.3f);
    bar.show();
    saveFace(bar, QString("trackbar-%1").arg(o));
    bar.setEnabled(false);
    saveFace(bar, QString("trackbar-%1-disabled").arg(o));
  }
  TNumUpDown ud(&form);
  ud.setAssociate(&model);
  ud.show();
  saveFace(ud, "updown");
  model.setValue(255);
  saveFace(ud, "updown-at-max");
  TNumLabelEditPopup field(&form);
  field.setAssociate(&model);
  field.show();
  saveFace(field, "label-edit-popup");
  field.setEnabled(false);
  saveFace(field, "label-edit-popup-disabled");
  TNumLabelEdit label(&form);
  label.resize(50, 20);
  label.setAssociate(&model);
  label.show();
  saveFace(label, "num-label-edit");
  TLabelEdit text(&form);
  text.resize(80, 20);
  text.setCaption("Layer 1");
  text.show();
  saveFace(text, "label-edit");
}

TEST(ControlFaces, ColourControls) {
  testing::ensureQtApp();
  createQtUiManagers();
  QWidget form;
  form.setGeometry(0, 0, 400, 300);
  form.show();
  const SColorRec colour = rgbaToColorRec(0xFF3080C0u);
  for (uint8_t space = 0; space < kColorSpaceCount; ++space) {
    TColorPicker picker(&form);
    picker.resize(170, 152);
    picker.setColorSpace(space);
    picker.setColorRec(colour);
    picker.show();
    saveFace(picker, QString("colour-picker-%1").arg(space));
  }
  TPickerColorCell cell(&form);
  cell.resize(60, 40);
  cell.setInitialColorRec(rgbaToColorRec(0xFFFF0000u));
  cell.setColorRec(colour);
  cell.show();
  saveFace(cell, "colour-cell");
  cell.setDrawInitialColor(true);
  saveFace(cell, "colour-cell-initial");
  cell.setEnabled(false);
  saveFace(cell, "colour-cell-disabled");
  TGradientEdit grad(&form);
  grad.resize(215, 20);
  ASSERT_GE(grad.stops().addStopAt(0.3f, false), 0);
  ASSERT_GE(grad.stops().addStopAt(0.6f, true), 0);
  grad.stops().setOpacity(3, 0.2f);
  ASSERT_GE(grad.stops().addStopAt(0.8f, false), 0);
  grad.stops().unionRight(3);
  grad.changed();
  grad.show();
  saveFace(grad, "gradient-edit");
  TPressureGamma gamma(&form);
  gamma.resize(48, 48);
  gamma.setGamma(2.2f);
  gamma.show();
  saveFace(gamma, "pressure-gamma");
  TGrabberControl grabber(&form);
  grabber.setRotation(30);
  grabber.setScale(2);
  TMemoryGraphic g(kGrabberWidth, kGrabberHeight, uiSysColors().window);
  grabber.drawTo(g, 0, 0);
  const QImage grabbed = graphicImage(g).copy();
  faces().push_back(grabbed);
  EXPECT_TRUE(grabbed.save(facePath("grabber")));
  for (uint8_t mode = 0; mode < 4; ++mode) {
    TGraphicProgressBar bar(&form);
    bar.resize(160, 20);
    bar.setMode(mode);
    bar.setProgress(37, 100, 0);
    bar.show();
    saveFace(bar, QString("progress-%1").arg(mode));
  }
  TGraphicTabControl tabs(&form);
  tabs.resize(220, 40);
  (void)tabs.addTab("Layers");
  (void)tabs.addTab("Brushes");
  (void)tabs.addTab("Colours");
  tabs.setActiveIndex(1);
  tabs.show();
  saveFace(tabs, "tabs");
  TPathLabel path(&form);
  path.resize(120, 16);
  path.setPath("/home/ink/presets/watercolour brushes.pbr");
  path.setModified(true);
  path.show();
  saveFace(path, "path-label");
  TDropDownMenu drop(&form);
  drop.show();
  saveFace(drop, "drop-down");
  TBlendModeDropDwon blend(&form);
  blend.setBlendMode(3);
  blend.show();
  saveFace(blend, "blend-mode-drop-down");
  TSubPaintDropDown sub(&form);
  sub.setKind(2);
  sub.show();
  saveFace(sub, "sub-paint-drop-down");
  TItemButton split(&form);
  split.resize(40, 24);
  split.setStyle(kPickerSplit);
  split.setRoundedFrame(true);
  split.show();
  saveFace(split, "item-picker-split");
  TTwinColorCell twin(&form);
  twin.resize(45, 45);
  twin.setColorRec(colour);
  twin.show();
  saveFace(twin, "twin-colour-cell");
  TColorPickerForm dialog;
  dialog.setInitial(colour);
  dialog.show();
  saveFace(dialog, "colour-dialog");
}

// Hover as a person's pointer gives it.
void hoverAt(QWidget& w, QPoint p) {
  QEnterEvent enter(p, w.mapTo(w.window(), p), w.mapToGlobal(p));
  QApplication::sendEvent(&w, &enter);
  QMouseEvent move(QEvent::MouseMove, p, w.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &move);
}

TEST(ControlFaces, PanelControls) {
  testing::ensureQtApp();
  createQtUiManagers();
  QWidget form;
  form.setGeometry(0, 0, 400, 300);
  form.show();
  const SColorRec colour = rgbaToColorRec(0xFF3080C0u);
  for (uint8_t space : {cpRGB, cpHSV, cpHSL}) {
    for (bool follow : {true, false}) {
      TSliderColorPicker picker(&form);
      picker.resize(170, 100);
      picker.setColorSpace(space);
      picker.setFollowColor(follow);
      picker.setColorRec(colour);
      picker.show();
      saveFace(picker, QString("slider-picker-%1%2").arg(space).arg(follow ? "" : "-plain"));
    }
  }

  auto ownerPreview = [](TAspectRotation& e) {
    // The owner's picture: a soft grey dab of the nib's shape.
    e.OnPreview = [&e] {
      TMemoryGraphic& p = e.preview();
      const SNibGeometry g = e.geometry();
      const float m = (100.0f - e.valueA()) / 100.0f;
      p.fillEllipse(g.centre, g.radius * 0.6f, g.radius * 0.6f * m, e.valueB() * 3.14159265f / 180.0f, 0xFFB0B0B0u,
                    copyChannel, copyChannel);
    };
  };
  {
    TAspectRotation nib(&form);
    ownerPreview(nib);
    nib.setValues(true, 0, 0, 30, 40, 50, 10);
    nib.show();
    saveFace(nib, "nib-editor");
    hoverAt(nib, QPoint(20, 20));
    saveFace(nib, "nib-editor-hovered");
    nib.setOption2(true);
    nib.setSample(true, 64, 64, 150);
    hoverAt(nib, QPoint(78, 65));
    saveFace(nib, "nib-editor-image-list-hovered");
    nib.setOption1(false);
    saveFace(nib, "nib-editor-handles-off");
  }

  TPgGlyphButton glyph(&form);
  glyph.setGeometry(0, 0, 28, 28);
  glyph.setGlyphType(3);
  glyph.show();
  saveFace(glyph, "glyph-button");
  hoverAt(glyph, QPoint(10, 10));
  saveFace(glyph, "glyph-button-hovered");
  glyph.resize(36, 28);
  glyph.setStyle(kPickerSplit);
  saveFace(glyph, "glyph-button-split");
  glyph.setEnabled(false);
  saveFace(glyph, "glyph-button-disabled");

  for (uint8_t kind : {0, 1, 2, 3, 4, 5, 6}) {
    TAirMapDropDown drop(&form);
    drop.setActive(kAirMapFull);
    drop.setKind(kind);
    drop.setValueA(30);
    drop.setValueB(20);
    drop.show();
    saveFace(drop, QString("falloff-drop-down-%1").arg(kind));
  }
  {
    TAirMapDropDown drop(&form);
    drop.move(50, 50);
    drop.setActive(kAirMapFull);
    drop.setKind(0);
    drop.setValueA(40);
    drop.setValueB(25);
    drop.show();
    QTest::mouseClick(&drop, Qt::LeftButton, {}, QPoint(5, 5));
    if (TPopupBaseForm* popup = drop.popupForm()) {
      saveFace(*popup, "falloff-popup-full");
      popup->closePopup();
    }
    drop.setActive(kAirMapFive);
    drop.setKind(3);
    QTest::mouseClick(&drop, Qt::LeftButton, {}, QPoint(5, 5));
    if (TPopupBaseForm* popup = drop.popupForm()) {
      saveFace(*popup, "falloff-popup-five");
      popup->closePopup();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  TLoupeControl loupe(&form);
  loupe.resize(80, 60);
  loupe.show();
  saveFace(loupe, "loupe");
  loupe.setGrid(false);
  saveFace(loupe, "loupe-no-grid");

  TPenNibPreview nibPreview(&form);
  nibPreview.resize(40, 40);
  SShapeValues nibValues;
  nibValues.size = 14;
  nibValues.aspect = 0.5f;
  nibValues.angle = 30;
  nibPreview.setNib(nibValues);
  nibPreview.show();
  saveFace(nibPreview, "nib-preview");

  TGradientPreview gradPreview(&form);
  gradPreview.resize(80, 20);
  auto grad = CGradObj::CreateTwoColor(0x0000FFu, "red to blue", 0xFF0000u);
  (void)grad->Stops.putColor(1, 0xFF0000u, 64, 0x10000);
  (void)grad->normalize();
  gradPreview.setGradient(grad.get(), grad->Repeat);
  gradPreview.show();
  saveFace(gradPreview, "gradient-preview");
  gradPreview.setGradient(nullptr, SGradRepeat{});
  saveFace(gradPreview, "gradient-preview-none");

  TPreviewControl nav(&form);
  nav.resize(120, 90);
  nav.OnThumbnail = [](TMemoryGraphic& t, int32_t w, int32_t h) {
    t.gradientCorners({0, 0, w, h}, 0xFFFF8080u, 0xFF80FF80u, 0xFF8080FFu, 0xFFFFFFFFu, copyChannel, copyChannel);
  };
  nav.setImageSize(400, 300);
  nav.setViewSize(200, 120);
  nav.setCentre(150, 120);
  nav.setHasImage(true);
  nav.setRotation(0.4f);
  nav.show();
  saveFace(nav, "navigator");
  nav.setHasImage(false);
  saveFace(nav, "navigator-empty");
}

// All faces side by side, three times enlarged, on magenta.
TEST(ControlFaces, ZMontage) {
  int w = 0, h = 0;
  for (const QImage& f : faces()) {
    w += f.width() + 6;
    h = std::max(h, f.height());
  }
  if (w == 0) return;
  QImage m(w, h, QImage::Format_RGB32);
  m.fill(Qt::magenta);
  QPainter p(&m);
  int x = 0;
  for (const QImage& f : faces()) {
    p.drawImage(x, 0, f);
    x += f.width() + 6;
  }
  p.end();
  EXPECT_TRUE(m.scaled(w * 3, h * 3).save(facePath("all")));
}

}  // namespace
}  // namespace pg
