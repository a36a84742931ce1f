// The filter run and the command routine: apply with its event and undo
// record, previews, repeat-last, and the floor, which runs by its own path.
#include <gtest/gtest.h>

#include "filters/filter_run.h"
#include "filters/filter_table.h"
#include "document/undo_mngr_ex.h"
#include "filters/table_filters.h"
#include "record/packet_catalogue.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

struct FilterFixture : ReplayFixture {
  FilterFixture() {
    resetFilterRepeat();
    paint(line(5, 5, 50, 30, 30));
  }
  ~FilterFixture() { resetFilterRepeat(); }
  const SFilterEntry& entry(const char* command) { return *filterByCommand(command); }
  FilterResult command(const char* name, std::vector<uint8_t> params, bool reuse = false, bool* asked = nullptr) {
    const FilterDialog dialog = [&](const SFilterEntry&, CFlt4Core&, std::vector<uint8_t>& out) {
      if (asked != nullptr) *asked = true;
      if (params.empty() && !out.empty()) return false;  // cancelled
      out = params;
      return true;
    };
    return filterCommand(*x.doc, *x.flow, x.doc->currentLayerIndex(), entry(name), reuse, dialog);
  }
  bool undo() {
    int32_t i = 0;
    TRect r{};
    return x.doc->undo(*x.flow, i, r);
  }
  bool redo() {
    int32_t i = 0;
    TRect r{};
    return x.doc->redo(*x.flow, i, r);
  }
};

TEST(FilterRun, ApplyRecordsOneEventAndUndoesToTheUnfilteredPixels) {
  FilterFixture f;
  const std::string before = picture(*f.x.doc);
  const uint32_t events = f.x.store().committedCount();
  ASSERT_EQ(f.command("filterMosaic", {4, 0, 0, 0, 0, 0, 0, 0}), FilterResult::Done);
  const std::string after = picture(*f.x.doc);
  EXPECT_NE(after, before);
  EXPECT_EQ(f.x.store().committedCount(), events + 1);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilter2, 26}));
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(picture(*f.x.doc), before);
  ASSERT_TRUE(f.redo());
  EXPECT_EQ(picture(*f.x.doc), after);
}

// The grayscale command runs the older kernel with its own event, undoes,
// and is never the filter that Repeat runs again.
TEST(FilterRun, GrayscaleCommand) {
  FilterFixture f;
  const std::string before = picture(*f.x.doc);
  ASSERT_EQ(f.command("filterGrayscale", {}), FilterResult::Done);
  EXPECT_NE(picture(*f.x.doc), before);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilter0, 20}));
  EXPECT_FALSE(hasLastFilter());
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(picture(*f.x.doc), before);
  ASSERT_EQ(f.command("filterInvert", {}), FilterResult::Done);
  ASSERT_EQ(f.command("filterGrayscale", {}), FilterResult::Done);
  EXPECT_EQ(lastFilterAction(), filterByCommand("filterInvert")->action);
}

TEST(FilterRun, WithoutTheRecordFlagNothingIsWrittenOrKept) {
  FilterFixture f;
  const uint32_t end = f.x.store().committedEnd();
  const int32_t undoCount = f.x.doc->undoMngr()->undoCount();
  const std::string before = picture(*f.x.doc);
  ASSERT_EQ(runFilter(*f.x.doc, *f.x.flow, 0, f.entry("filterInvert"), nullptr, 0, nullptr, false),
            FilterResult::Done);
  EXPECT_NE(picture(*f.x.doc), before);
  EXPECT_EQ(f.x.store().committedEnd(), end);
  EXPECT_EQ(f.x.doc->undoMngr()->undoCount(), undoCount);
}

TEST(FilterRun, PreviewsStartFromTheUnfilteredPixelsAndEndRestoresThem) {
  FilterFixture f;
  const std::string before = picture(*f.x.doc);
  std::string onlySecond;
  {
    CFlt4Core core(*f.x.doc, *f.x.flow, false, &posterize4Kernel, 0);
    ASSERT_TRUE(core.isValid());
    const uint8_t four[8] = {4, 0, 0, 0, 0, 0, 0, 0};
    const uint8_t two[8] = {2, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(core.preview(two, 8));
    onlySecond = picture(*f.x.doc);
    ASSERT_TRUE(core.preview(four, 8));
    ASSERT_TRUE(core.preview(two, 8));
    EXPECT_EQ(picture(*f.x.doc), onlySecond);
    EXPECT_TRUE(core.endPreview());
    EXPECT_FALSE(core.endPreview());
  }
  EXPECT_NE(onlySecond, before);
  EXPECT_EQ(picture(*f.x.doc), before);
}

TEST(FilterRun, NoLayerMeansNoCore) {
  FilterFixture f;
  CFlt4Core core(*f.x.doc, *f.x.flow, true, &invert4Kernel, 5);
  EXPECT_FALSE(core.isValid());
  EXPECT_EQ(runFilter(*f.x.doc, *f.x.flow, 5, f.entry("filterInvert"), nullptr, 0, nullptr, true),
            FilterResult::Refused);
}

TEST(FilterRun, RepeatLast) {
  FilterFixture f;
  EXPECT_FALSE(hasLastFilter());
  EXPECT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, {}), FilterResult::Refused);
  ASSERT_EQ(f.command("filterMosaic", {6, 0, 0, 0, 0, 0, 0, 0}), FilterResult::Done);
  EXPECT_EQ(lastFilterAction(), "actFilterMosaic4");
  // A cancelled dialog keeps the repeat target.
  bool asked = false;
  EXPECT_EQ(f.command("filterTwirl", {}, false, &asked), FilterResult::Cancelled);
  EXPECT_TRUE(asked);
  EXPECT_EQ(lastFilterAction(), "actFilterMosaic4");
  // Luminance to transparency and greyscale are never the repeat target.
  ASSERT_EQ(f.command("filterLumaToAlpha", {0, 0, 0, 0, 1, 0, 0, 0}), FilterResult::Done);
  EXPECT_EQ(lastFilterAction(), "actFilterMosaic4");
  ASSERT_EQ(f.command("filterGrayscale", {}), FilterResult::Done);
  EXPECT_EQ(f.x.store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilter0, 20}));
  EXPECT_EQ(lastFilterAction(), "actFilterMosaic4");
  // Repeating reuses the remembered parameters without asking.
  asked = false;
  const uint32_t events = f.x.store().committedCount();
  const FilterDialog dialog = [&](const SFilterEntry&, CFlt4Core&, std::vector<uint8_t>&) { return asked = true; };
  EXPECT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, true, dialog), FilterResult::Done);
  EXPECT_FALSE(asked);
  EXPECT_EQ(f.x.store().committedCount(), events + 1);
  // Without reuse the dialog opens again.
  EXPECT_EQ(repeatLastFilter(*f.x.doc, *f.x.flow, 0, false, dialog), FilterResult::Done);
  EXPECT_TRUE(asked);
}

// Every entry runs a kernel (the run takes it unchecked); the floor needs
// textures from its own path, so the plain run refuses it and records
// nothing.
TEST(FilterRun, EveryEntryHasAKernelAndThePlainRunRefusesTheFloor) {
  for (const SFilterEntry& e : filterTable()) EXPECT_NE(e.kernel, nullptr) << int(e.op);
  FilterFixture f;
  const SFilterEntry& floor = f.entry("filterFloor");
  const uint32_t events = f.x.store().committedCount();
  std::vector<uint8_t> params(floor.bytes, 0);
  EXPECT_EQ(runFilter(*f.x.doc, *f.x.flow, 0, floor, params.data(), floor.bytes, nullptr, false),
            FilterResult::Refused);
  EXPECT_EQ(f.x.store().committedCount(), events);
}

// The Repeat item names the last filter by its menu text.
TEST(FilterRun, RepeatCaptionNamesTheLastFilter) {
  struct Case {
    const char* menu;
    const char* caption;
  };
  const Case cases[] = {
      {"ぼかし(ガウス)(&G)...", "ぼかし(ガウス)(&L)"},
      {"モザイク(&M)...", "モザイク(&L)"},
      {"&Blur", "Blur(&L)"},
      {"R&&D", "R&D(&L)"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(repeatCaption(c.menu), c.caption) << c.menu;
}

}  // namespace
}  // namespace pg::test
