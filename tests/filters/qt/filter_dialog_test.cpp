// The filter dialogs over a real document: canvas preview, OK, Cancel,
// repeat, and what every dialog's record does to a selection and to
// protected alpha.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "document/layer_data.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/undo_mngr_ex.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_run.h"
#include "filters/floor_command.h"
#include "filters/rotate_scale_filter.h"
#include "io/image_codecs.h"
#include "test_support/temp_folder.h"
#include "filters/qt/filter_dialogs.h"
#include "filters/qt/light_panes.h"
#include "filters/stripes_fill.h"
#include "document/paper_gradient.h"
#include "filters/qt/levels_dialog.h"
#include "platform/message_service.h"
#include "replay/replay_fixture.h"
#include "test_support/qt_app.h"
#include "ui/qt/num_fields.h"

namespace pg::test {
namespace {

// A layer of stripes and noise with varying alpha, so blurs, tones and
// distortions all change something.
struct DialogFixture : ReplayFixture {
  // A twin (owner false) leaves the process-wide remembered state alone.
  explicit DialogFixture(bool owner = true) : ReplayFixture(64, 48), owner_(owner) {
    pg::testing::ensureQtApp();
    if (owner_) {
      resetFilterRepeat();
      resetFilterDialogMemory();
    }
    EXPECT_TRUE(pg::testing::fillStripesAndNoise(*layer().image));
    x.doc->redraw(true);
  }
  ~DialogFixture() {
    if (!owner_) return;
    resetFilterRepeat();
    resetFilterDialogMemory();
  }
  CLayerData& layer() { return *x.doc->getLayer(x.doc->currentLayerIndex()); }
  uint64_t layerHash() { return imageHash(*layer().image); }

  // Runs a filter's command with its real dialog; `drive` plays the user
  // while the dialog is open and answers OK (true) or Cancel.
  FilterResult command(const char* name, const std::function<bool(TFormFilterValues&)>& drive,
                       bool reuse = false, int* shown = nullptr) {
    SFilterDialogHost host;
    host.showModal = [&](QDialog& d) {
      if (shown != nullptr) ++*shown;
      d.show();
      const bool ok = drive(static_cast<TFormFilterValues&>(d));
      d.hide();
      return ok ? kMrOk : kMrCancel;
    };
    host.target.refresh = [this] { ++refreshes; };
    host.target.visibleLayerRect = [this](TRect& r) {
      if (visible.Right <= visible.Left) return false;
      r = visible;
      return true;
    };
    host.layerProtect = [this]() -> uint8_t { return layer().protectAlpha ? 1 : 0; };
    return filterCommand(*x.doc, *x.flow, x.doc->currentLayerIndex(), *filterByCommand(name), reuse,
                         makeFilterDialog(host));
  }
  bool undo() {
    int32_t i = 0;
    TRect r{};
    return x.doc->undo(*x.flow, i, r);
  }

  int refreshes = 0;
  TRect visible{};
  bool owner_ = true;
};

// A tool window whose active gradient runs from black to white.
struct BlackToWhite final : CDocGradientLink {
  std::unique_ptr<CGradObj> gradient = CGradObj::CreateTwoColor(0x000000u, "bw", 0xFFFFFFu);
  const CGradObj* activeGradient() const override { return gradient.get(); }
};

// Lets the event loop run until pred holds or the time is up.
bool waitFor(const std::function<bool()>& pred, int ms) {
  for (int t = 0; t < ms && !pred(); t += 10) QTest::qWait(10);
  return pred();
}

// The layer a direct run of the record gives, on a twin of the fixture.
uint64_t directResult(const char* name, const std::vector<uint8_t>& record) {
  DialogFixture twin(false);
  EXPECT_EQ(runFilter(*twin.x.doc, *twin.x.flow, twin.x.doc->currentLayerIndex(), *filterByCommand(name),
                      record.data(), uint32_t(record.size()), nullptr, false),
            FilterResult::Done);
  return twin.layerHash();
}

TEST(FilterDialogs, ADraggedValuePreviewsAfterTheDelayAndCancelRestoresEveryPixel) {
  DialogFixture f;
  const std::string before = picture(*f.x.doc);
  const uint64_t original = f.layerHash();
  const uint32_t events = f.x.store().committedCount();
  const int32_t undoCount = f.x.doc->undoMngr()->undoCount();
  uint64_t shownFirst = 0, afterChange = 0, afterDelay = 0;
  const FilterResult r = f.command("filterGaussianBlur", [&](TFormFilterValues& d) {
    // Opening previews the remembered amount at once.
    shownFirst = f.layerHash();
    d.model().num(0).setValue(4.0f);
    afterChange = f.layerHash();
    EXPECT_TRUE(d.TimerUpdate.isActive());
    EXPECT_TRUE(waitFor([&] { return f.layerHash() != afterChange; }, 5000));
    afterDelay = f.layerHash();
    return false;
  });
  EXPECT_EQ(r, FilterResult::Cancelled);
  EXPECT_NE(shownFirst, original);
  EXPECT_EQ(afterChange, shownFirst);  // not yet: the value is still moving
  EXPECT_EQ(afterDelay, directResult("filterGaussianBlur", {0, 0, 0x80, 0x40, 0, 0, 0, 0}));
  EXPECT_EQ(picture(*f.x.doc), before);
  EXPECT_EQ(f.x.store().committedCount(), events);
  EXPECT_EQ(f.x.doc->undoMngr()->undoCount(), undoCount);
  // Cancel remembers nothing.
  EXPECT_FLOAT_EQ(rememberedFor(*filterDialogFor("filterGaussianBlur")).values.values[0], 1.0f);
  EXPECT_FALSE(hasLastFilter());
}

TEST(FilterDialogs, OkAppliesOnceRecordedAndUndoableAndRepeatReapplies) {
  DialogFixture f;
  const std::string before = picture(*f.x.doc);
  const uint32_t events = f.x.store().committedCount();
  const std::vector<uint8_t> mosaic6 = {6, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(f.command("filterMosaic", [&](TFormFilterValues& d) {
    d.edit(0)->selectAll();
    QTest::keyClicks(d.edit(0), QStringLiteral("6"));
    d.ButtonOKClick();
    return true;
  }), FilterResult::Done);
  EXPECT_EQ(f.layerHash(), directResult("filterMosaic", mosaic6));
  EXPECT_EQ(f.x.store().committedCount(), events + 1);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilter2, 26}));
  EXPECT_FLOAT_EQ(rememberedFor(*filterDialogFor("filterMosaic")).values.values[0], 6.0f);
  const uint64_t once = f.layerHash();
  // Repeat without the dialog applies the same record to the filtered layer.
  int shown = 0;
  ASSERT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, {}), FilterResult::Done);
  EXPECT_EQ(f.x.store().committedCount(), events + 2);
  // Repeat with the dialog opens it with the remembered size.
  float opened = 0.0f;
  ASSERT_EQ(f.command("filterMosaic", [&](TFormFilterValues& d) {
    opened = d.model().value(0);
    return false;
  }, false, &shown), FilterResult::Cancelled);
  EXPECT_EQ(shown, 1);
  EXPECT_FLOAT_EQ(opened, 6.0f);
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.layerHash(), once);
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(picture(*f.x.doc), before);
}

TEST(FilterDialogs, TheBoxUncheckedShowsNoCanvasPreviewUntilChecked) {
  DialogFixture f;
  const uint64_t original = f.layerHash();
  // Motion blur opens with its box unchecked.
  uint64_t whileUnchecked = 0, checked = 0, unchecked = 0;
  (void)f.command("filterMotionBlur", [&](TFormFilterValues& d) {
    d.model().num(1).setValue(20.0f);
    d.protocol().timerTick();
    QTest::qWait(50);
    whileUnchecked = f.layerHash();
    d.CheckBoxPreview->click();
    checked = f.layerHash();
    d.CheckBoxPreview->click();
    unchecked = f.layerHash();
    return false;
  });
  EXPECT_EQ(whileUnchecked, original);
  EXPECT_NE(checked, original);
  EXPECT_EQ(unchecked, original);
}

TEST(FilterDialogs, TheVisiblePartIsPreviewedFirstAndTheRestFollows) {
  DialogFixture f;
  f.visible = TRect{8, 8, 24, 20};
  const uint64_t original = f.layerHash();
  uint32_t inside = 0, outside = 0;
  uint64_t completed = 0;
  (void)f.command("filterPosterize", [&](TFormFilterValues& d) {
    CBlockVMTC& img = *f.layer().image;
    // Right after the show: only the visible part is filtered.
    DialogFixture plain(false);
    inside = img.getPixel(10, 10) != plain.layer().image->getPixel(10, 10);
    outside = img.getPixel(40, 40) != plain.layer().image->getPixel(40, 40);
    EXPECT_TRUE(waitFor([&] { return img.getPixel(40, 40) != plain.layer().image->getPixel(40, 40); }, 2000));
    completed = f.layerHash();
    (void)d;
    return false;
  });
  EXPECT_EQ(inside, 1u);
  EXPECT_EQ(outside, 0u);
  EXPECT_EQ(completed, directResult("filterPosterize", {4, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(f.layerHash(), original);
}

// Every filter of the menu with its dialog's default record, through the
// command: unselected pixels stay, half-selected ones move part way, and
// protected alpha is kept.
TEST(FilterDialogs, EveryFilterKeepsToTheFeatheredSelectionAndProtectedAlpha) {
  // The gradient map needs the tool window's active gradient.
  BlackToWhite link;
  CDocGradientLink* previous = setDocGradientLink(&link);
  for (const SFilterEntry& entry : filterTable()) {
    if (entry.action == nullptr || !filterCommandAvailable(entry)) continue;
    const SFilterEntry& def = entry;
    DialogFixture f;
    f.layer().protectAlpha = true;
    CMaskData& mask = *f.x.doc->masks()->currentMask();
    ASSERT_TRUE(mask.createImage(64, 48));
    // Unselected left of x = 20, a feathered ramp to x = 44, selected beyond.
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x) EXPECT_TRUE(mask.image->setPixel(x, y, uint8_t(std::clamp((x - 20) * 255 / 24, 0, 255))));
    DialogFixture plain(false);
    SFilterDialogHost host;
    host.showModal = [](QDialog& d) {
      d.show();
      static_cast<TFormFilter&>(d).ButtonOKClick();
      return kMrOk;
    };
    host.layerProtect = [&f]() -> uint8_t { return f.layer().protectAlpha ? 1 : 0; };
    host.toolColours = [](uint32_t& foreground, uint32_t& background) {
      foreground = 0x203040;
      background = 0xE0D0C0;
    };
    const FilterResult r =
        filterCommand(*f.x.doc, *f.x.flow, f.x.doc->currentLayerIndex(), entry, false, makeFilterDialog(host));
    ASSERT_EQ(r, FilterResult::Done) << def.command;
    const CBlockVMTC& img = *f.layer().image;
    const CBlockVMTC& was = *plain.layer().image;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x) {
        ASSERT_EQ(img.getPixel(x, y) >> 24, was.getPixel(x, y) >> 24) << def.command << " alpha at " << x << "," << y;
        if (x <= 20) {
          ASSERT_EQ(img.getPixel(x, y), was.getPixel(x, y)) << def.command << " at " << x << "," << y;
        }
      }
  }
  setDocGradientLink(previous);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// The lighting dialog through its command: a recorded application, undone
// by the undo list, replays to the same pixels.
TEST(LightingDialog, ARecordedApplicationReplaysToTheSamePixels) {
  ReplayFixture f(64, 48);
  pg::testing::ensureQtApp();
  resetFilterRepeat();
  resetFilterDialogMemory();
  f.paint(ReplayFixture::line(5, 5, 50, 30, 30));
  const std::string before = picture(*f.x.doc);
  SFilterDialogHost host;
  bool directedEnabled = true;
  host.showModal = [&](QDialog& dialog) {
    auto& d = static_cast<TFormFilterValues&>(dialog);
    d.show();
    // The point light opens with its direction controls off.
    directedEnabled = d.edit(5)->isEnabled();
    d.choiceList()->setCurrentIndex(2);
    emit d.choiceList()->activated(2);
    d.model().num(8).setValue(40.0f);
    d.ButtonOKClick();
    return kMrOk;
  };
  ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, f.x.doc->currentLayerIndex(), *filterByCommand("filterLighting"),
                          false, makeFilterDialog(host)),
            FilterResult::Done);
  EXPECT_FALSE(directedEnabled);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilterRecord, 74}));
  const std::string lit = picture(*f.x.doc);
  EXPECT_NE(lit, before);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.replayAll();
  EXPECT_EQ(picture(*f.y.doc), lit);
  // Repeat applies the same lamp again without asking.
  ASSERT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, {}), FilterResult::Done);
  int32_t i = 0;
  TRect r{};
  ASSERT_TRUE(f.x.doc->undo(*f.x.flow, i, r));
  EXPECT_EQ(picture(*f.x.doc), lit);
  ASSERT_TRUE(f.x.doc->undo(*f.x.flow, i, r));
  EXPECT_EQ(picture(*f.x.doc), before);
  resetFilterRepeat();
  resetFilterDialogMemory();
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

TEST(FilterDialogs, CloudsTakeTheToolColoursWithoutADialog) {
  DialogFixture f;
  SFilterDialogHost host;
  int shown = 0;
  host.showModal = [&](QDialog&) { return ++shown, kMrCancel; };
  host.toolColours = [](uint32_t& fg, uint32_t& bg) {
    fg = 0x00FF0000u;  // red
    bg = 0x000000FFu;  // blue
  };
  ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, 0, *filterByCommand("filterClouds"), false, makeFilterDialog(host)),
            FilterResult::Done);
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilter4, 70}));
  // Every pixel lies between the two colours: no green at all.
  const CBlockVMTC& img = *f.layer().image;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ((img.getPixel(x, y) >> 8) & 0xFF, 0u) << x << "," << y;
  // A repeat reads the colours again: now green and black, so no red.
  host.toolColours = [](uint32_t& fg, uint32_t& bg) {
    fg = 0x0000FF00u;
    bg = 0x00000000u;
  };
  ASSERT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, makeFilterDialog(host)), FilterResult::Done);
  EXPECT_EQ(shown, 0);
  bool green = false;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      ASSERT_EQ((img.getPixel(x, y) >> 16) & 0xFF, 0u) << x << "," << y;
      green = green || ((img.getPixel(x, y) >> 8) & 0xFF) > 0;
    }
  EXPECT_TRUE(green);
}

// Luminance to transparency runs without a dialog, tinted by the drawing
// colour, and leaves the repeat target alone.
TEST(FilterDialogs, LumaToAlphaTakesTheDrawingColourWithoutADialog) {
  DialogFixture f;
  SFilterDialogHost host;
  int shown = 0;
  host.showModal = [&](QDialog&) { return ++shown, kMrCancel; };
  host.toolColours = [](uint32_t& fg, uint32_t& bg) {
    fg = 0x00123456u;
    bg = 0x00FFFFFFu;
  };
  ASSERT_TRUE(filterCommandAvailable(*filterByCommand("filterLumaToAlpha")));
  ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, 0, *filterByCommand("filterLumaToAlpha"), false, makeFilterDialog(host)),
            FilterResult::Done);
  EXPECT_EQ(shown, 0);
  EXPECT_FALSE(hasLastFilter());
  const std::vector<uint8_t> record = {0x56, 0x34, 0x12, 0, 1, 0, 0, 0};
  EXPECT_EQ(f.layerHash(), directResult("filterLumaToAlpha", record));
}

}  // namespace
}  // namespace pg::test


namespace pg::test {
namespace {

TEST(LevelsDialog, OutputLevelsSwappedInvertTheColoursAndKeepAlpha) {
  DialogFixture f;
  levelsRemembered() = SLevelsRemembered{};
  DialogFixture plain(false);
  SFilterDialogHost host;
  bool histogramShown = false;
  host.showModal = [&](QDialog& dialog) {
    auto& d = static_cast<TFormLevels4&>(dialog);
    d.show();
    histogramShown = d.CmbC->currentIndex() == 0;
    d.model().outMin.setValue(255.0f);
    d.model().outMax.setValue(0.0f);
    d.ButtonOKClick();
    return kMrOk;
  };
  ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, 0, *filterByCommand("filterLevels"), false, makeFilterDialog(host)),
            FilterResult::Done);
  EXPECT_TRUE(histogramShown);
  const CBlockVMTC& img = *f.layer().image;
  const CBlockVMTC& was = *plain.layer().image;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(img.getPixel(x, y), was.getPixel(x, y) ^ 0x00FFFFFFu) << x << "," << y;
  EXPECT_EQ(levelsRemembered().record.OutLow[0], 255);
  levelsRemembered() = SLevelsRemembered{};
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// A repeat takes the layer's protect flag as it is now: polar coordinates
// refuse a record whose flag differs from the layer's.
TEST(FilterDialogs, RepeatTakesTheLayersProtectFlagAsItIsNow) {
  DialogFixture f;
  ASSERT_EQ(f.command("filterPolarCoordinates", [](TFormFilterValues& d) {
    d.ButtonOKClick();
    return true;
  }), FilterResult::Done);
  f.layer().protectAlpha = true;
  const uint32_t events = f.x.store().committedCount();
  EXPECT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, {}), FilterResult::Done);
  EXPECT_EQ(f.x.store().committedCount(), events + 1);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// The floor dialog: the planes interlock, a texture taken from an image
// file (an unreadable one warns and changes nothing) drives the preview and
// travels with the recorded event, and the replay gives the same pixels.
TEST(FloorDialog, FileTexturesPreviewRecordAndReplay) {
  pg::testing::TempFolder dir;
  TMTC tiles(16, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) *tiles.pixelAt(x, y) = ((x / 4 + y / 4) % 2) ? 0xFFFF2020u : 0xFF2020FFu;
  const std::string png = dir.file("tiles.png");
  ASSERT_EQ(pngSaveImage(png, tiles, 72, false), kRcOk);

  ReplayFixture f(64, 48);
  pg::testing::ensureQtApp();
  resetFilterRepeat();
  resetFilterDialogMemory();
  floorRememberedTextures() = {};
  f.paint(ReplayFixture::line(5, 5, 50, 30, 30));
  const std::string before = picture(*f.x.doc);
  RecordingMessageService messages;
  ScopedMessageService scoped(messages);
  std::string previewBeforeFile, previewWithFile;
  bool releaseBefore = true, releaseAfter = false, floorStillOn = false;
  SFilterDialogHost host;
  host.showModal = [&](QDialog& dialog) {
    auto& d = static_cast<TFormFilterValues&>(dialog);
    d.show();
    EXPECT_NE(d.floorTextures(), nullptr);
    d.protocol().updatePreview(true);
    previewBeforeFile = picture(*f.x.doc);
    // Turning off the ceiling, then the floor: the floor stays on.
    d.checkBox(2)->click();
    d.checkBox(3)->click();
    floorStillOn = d.checkBox(3)->isChecked();
    releaseBefore = d.textureButton(3)->isEnabled();
    EXPECT_FALSE(d.loadTexture(1, dir.file("missing.png")));
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(d.loadTexture(1, png));
    releaseAfter = d.textureButton(3)->isEnabled();
    previewWithFile = picture(*f.x.doc);
    d.ButtonOKClick();
    return kMrOk;
  };
  ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, f.x.doc->currentLayerIndex(), *filterByCommand("filterFloor"), false,
                          makeFilterDialog(host)),
            FilterResult::Done);
  EXPECT_TRUE(floorStillOn);
  EXPECT_FALSE(releaseBefore);
  EXPECT_TRUE(releaseAfter);
  EXPECT_NE(previewBeforeFile, before);
  EXPECT_NE(previewWithFile, previewBeforeFile);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilterRecord, 40}));
  const std::string floored = picture(*f.x.doc);
  EXPECT_EQ(floored, previewWithFile);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.replayAll();
  EXPECT_EQ(picture(*f.y.doc), floored);
  // Repeat takes the remembered file texture.
  int32_t i = 0;
  TRect r{};
  ASSERT_TRUE(f.x.doc->undo(*f.x.flow, i, r));
  ASSERT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, {}), FilterResult::Done);
  EXPECT_EQ(picture(*f.x.doc), floored);
  resetFilterRepeat();
  resetFilterDialogMemory();
  floorRememberedTextures() = {};
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// Dragging the lamp in the lighting dialog's pane sets X and Y (and, for a
// directed lamp, direction and pitch); the side view sets the height.
TEST(LightingDialog, ThePanesSetTheLampsFields) {
  DialogFixture f;
  float x = 0, y = 0, z = 0, pitch = 0;
  const FilterResult r = f.command("filterLighting", [&](TFormFilterValues& d) {
    EXPECT_NE(d.lightPreview(), nullptr);
    TLightPreview& pane = *d.lightPreview();
    const TPointF lamp = pane.model().lampPoint(pane.view());
    QTest::mousePress(&pane, Qt::LeftButton, {}, QPoint(int(lamp.X), int(lamp.Y)));
    QTest::mouseMove(&pane, QPoint(int(lamp.X) + 20, int(lamp.Y) - 15));
    QTest::mouseRelease(&pane, Qt::LeftButton, {}, QPoint(int(lamp.X) + 20, int(lamp.Y) - 15));
    x = d.model().value(2);
    y = d.model().value(3);
    TLightControl& side = *d.lightSide();
    QTest::mousePress(&side, Qt::LeftButton, {}, QPoint(CLightSideModel::kTrackX, CLightSideModel::kTrackTop));
    QTest::mouseRelease(&side, Qt::LeftButton, {}, QPoint(CLightSideModel::kTrackX, CLightSideModel::kTrackTop));
    z = d.model().value(4);
    // A spot lamp: a press 12 pixels below the lamp points it down the pane.
    d.choiceList()->setCurrentIndex(2);
    emit d.choiceList()->activated(2);
    const TPointF at = pane.model().lampPoint(pane.view());
    QTest::mousePress(&pane, Qt::LeftButton, {}, QPoint(int(at.X), int(at.Y) + 12));
    QTest::mouseRelease(&pane, Qt::LeftButton, {}, QPoint(int(at.X), int(at.Y) + 12));
    pitch = d.model().value(6);
    return false;
  });
  EXPECT_EQ(r, FilterResult::Cancelled);
  EXPECT_GT(x, 0.0f);
  EXPECT_LT(y, 0.0f);
  EXPECT_EQ(z, 300.0f);
  EXPECT_NEAR(pitch, 30.0f, 1.0f);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// The gradient map maps by the active gradient: without one it cannot run;
// with one, reversed black-to-white inverts a grey picture, is recorded
// with the stops, replays to the same pixels and repeats without asking.
TEST(GradientMapDialog, MapsByTheActiveGradientRecordsAndReplays) {
  ReplayFixture f(64, 48);
  pg::testing::ensureQtApp();
  resetFilterRepeat();
  resetFilterDialogMemory();
  f.tool.setColor(0x00808080u);
  f.paint(ReplayFixture::line(2, 10, 60, 10, 20, 6.0f));
  CBlockVMTC& img = *f.x.doc->getLayer(f.x.doc->currentLayerIndex())->image;
  const uint32_t grey = img.getPixel(30, 10);
  ASSERT_EQ(grey >> 24, 0xFFu);
  const std::string before = picture(*f.x.doc);
  const SFilterEntry& entry = *filterByCommand("filterGradientMap");
  int shown = 0;
  SFilterDialogHost host;
  host.showModal = [&](QDialog& dialog) {
    ++shown;
    auto& d = static_cast<TFormFilterValues&>(dialog);
    d.show();
    d.checkBox(0)->click();  // reverse
    d.ButtonOKClick();
    return kMrOk;
  };
  EXPECT_FALSE(filterCanRunNow(entry));
  EXPECT_EQ(filterCommand(*f.x.doc, *f.x.flow, 0, entry, false, makeFilterDialog(host)), FilterResult::Refused);
  EXPECT_EQ(shown, 0);

  BlackToWhite link;
  CDocGradientLink* previous = setDocGradientLink(&link);
  EXPECT_TRUE(filterCanRunNow(entry));
  ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, 0, entry, false, makeFilterDialog(host)), FilterResult::Done);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilterRecord, 54}));
  EXPECT_NEAR(int(img.getPixel(30, 10) & 0xFF), 255 - int(grey & 0xFF), 2);
  EXPECT_EQ(img.getPixel(30, 10) >> 24, 0xFFu);
  EXPECT_NE(picture(*f.x.doc), before);
  const std::string mapped = picture(*f.x.doc);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.replayAll();
  EXPECT_EQ(picture(*f.y.doc), mapped);
  // Repeat maps again without asking: inverted twice.
  ASSERT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, makeFilterDialog(host)), FilterResult::Done);
  EXPECT_EQ(shown, 1);
  EXPECT_NEAR(int(img.getPixel(30, 10) & 0xFF), int(grey & 0xFF), 3);
  setDocGradientLink(previous);
  resetFilterRepeat();
  resetFilterDialogMemory();
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// The scale's OK remembers its percentages; a repeat without the dialog on
// a layer of another size scales that layer by them.
TEST(FilterDialogs, ScaleRepeatTakesTheConfirmedPercentagesToAnotherLayer) {
  DialogFixture f;
  ASSERT_EQ(f.command("filterScale", [](TFormFilterValues& d) {
    d.edit(1)->selectAll();
    QTest::keyClicks(d.edit(1), QStringLiteral("50"));  // the height follows: the aspect is kept
    d.checkBox(1)->click();                               // mirrored left to right
    d.ButtonOKClick();
    return true;
  }), FilterResult::Done);
  ASSERT_TRUE(f.x.doc->newLayerEx(f.x.flow.get(), 1, true, 255, 0, 30, 100, true));
  ASSERT_EQ(f.x.doc->currentLayerIndex(), 1);
  ASSERT_TRUE(pg::testing::fillStripesAndNoise(*f.layer().image));
  const uint64_t before = f.layerHash();
  ASSERT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 1, true, {}), FilterResult::Done);
  const uint64_t repeated = f.layerHash();
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.layerHash(), before);
  SFltScale half;
  half.NewWidth = -50;
  half.NewHeight = 15;
  std::vector<uint8_t> bytes(SFltScale::kSize);
  half.write(bytes.data());
  ASSERT_EQ(runFilter(*f.x.doc, *f.x.flow, 1, *filterByCommand("filterScale"), bytes.data(), uint32_t(bytes.size()),
                      nullptr, false),
            FilterResult::Done);
  EXPECT_EQ(f.layerHash(), repeated);
}

}  // namespace
}  // namespace pg::test
