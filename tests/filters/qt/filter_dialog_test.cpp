// The filter dialogs over a real document: canvas preview, OK, Cancel,
// repeat, and what every dialog's record does to a selection and to
// protected alpha.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTest>

#include "document/layer_data.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/undo_mngr_ex.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_run.h"
#include "filters/qt/filter_dialogs.h"
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
    CBlockVMTC& img = *layer().image;
    uint32_t s = 12345;
    for (int32_t y = 0; y < img.height(); ++y)
      for (int32_t x = 0; x < img.width(); ++x) {
        s = s * 1103515245u + 12345u;
        const uint32_t a = 128 + (x * 2) % 128;
        const uint32_t g = ((x / 4 + y / 3) % 2) ? 220 : 30;
        EXPECT_TRUE(img.setPixel(x, y, a << 24 | ((s >> 16) & 0xFF) << 16 | g << 8 | (255 - g)));
      }
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

// Every dialog's default record, through the command: unselected pixels stay,
// half-selected ones move part way, and protected alpha is kept.
TEST(FilterDialogs, EveryFilterKeepsToTheFeatheredSelectionAndProtectedAlpha) {
  for (const SFilterDialogDef& def : filterDialogTable()) {
    DialogFixture f;
    f.layer().protectAlpha = true;
    CMaskData& mask = *f.x.doc->masks()->currentMask();
    ASSERT_TRUE(mask.createImage(64, 48));
    // Unselected left of x = 20, a feathered ramp to x = 44, selected beyond.
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x) EXPECT_TRUE(mask.image->setPixel(x, y, uint8_t(std::clamp((x - 20) * 255 / 24, 0, 255))));
    DialogFixture plain(false);
    const FilterResult r = f.command(def.command, [](TFormFilterValues& d) {
      d.ButtonOKClick();
      return true;
    });
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
