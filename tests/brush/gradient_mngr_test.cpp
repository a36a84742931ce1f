#include "brush/gradient_mngr.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

class FakeRangePrefs : public IGradRangePrefs {
 public:
  SGradRepeat readGradRange() const override { return Stored; }
  void writeGradRange(const SGradRepeat& r) override {
    Stored = r;
    ++Writes;
  }
  SGradRepeat Stored{0, 2, 1, 0, 3};
  int Writes = 0;
};

// A manager holding n two-colour presets named by their index.
std::unique_ptr<CGradMngr> managerWith(int n) {
  auto m = std::make_unique<CGradMngr>(false);
  for (int i = 0; i < n; ++i) {
    auto g = CGradObj::CreateTwoColor(0xFF000000u + static_cast<uint32_t>(i), std::to_string(i), 0xFFFFFFFFu);
    EXPECT_GE(m->add(std::move(g)), 0);
  }
  m->setModified(false);
  return m;
}

TEST(GradMngr, FixedEntryTakesPreferenceRange) {
  FakeRangePrefs prefs;
  CGradMngr m(true, &prefs);
  ASSERT_EQ(m.count(), 1);
  EXPECT_TRUE(m.hasFixedEntry());
  EXPECT_TRUE(m.isFixed(0));
  const CGradObj* f = m.getFixed();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Stops.name(), "** 2色固定 **");
  EXPECT_EQ(f->Stops.getSlot(0)->Color, 0x00000000u);  // marker 0: the first colour
  EXPECT_EQ(f->Stops.getSlot(1)->Color, 0xFFFFFFFFu);
  EXPECT_EQ(f->Repeat, (SGradRepeat{0, 2, 1, 0, 3}));
  EXPECT_EQ(m.getRange(), f->Repeat);
  EXPECT_EQ(prefs.Writes, 1);  // the range is written back at creation

  m.ensureFixedEntry(true);  // only one
  EXPECT_EQ(m.count(), 1);
  m.ensureFixedEntry(false);
  EXPECT_EQ(m.count(), 0);
  EXPECT_FALSE(m.hasFixedEntry());
}

TEST(GradMngr, SetRangeReachesPresetsWithoutOwnSettings) {
  FakeRangePrefs prefs;
  CGradMngr m(false, &prefs);
  EXPECT_GE(m.add(std::make_unique<CGradObj>()), 0);
  auto own = std::make_unique<CGradObj>();
  own->setRepeat({1, 1, 0, 0, 7});
  EXPECT_GE(m.add(std::move(own)), 0);

  m.setRange({1, 2, 1, 1, 0});  // own-settings and count are made sound
  const SGradRepeat expected{0, 2, 1, 1, 1};
  EXPECT_EQ(m.getRange(), expected);
  EXPECT_EQ(m.getItem(0)->Repeat, expected);
  EXPECT_EQ(m.getItem(1)->Repeat, (SGradRepeat{1, 1, 0, 0, 7}));
  EXPECT_EQ(prefs.Stored, expected);
}

TEST(GradMngr, SelectClampsAndNotifies) {
  auto m = managerWith(3);
  int notes = 0;
  m->setOnChange([&notes](CGradMngr&) { ++notes; });
  const int32_t cases[][2] = {{1, 1}, {7, 2}, {-4, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(m->select(c[0]), c[1]);
    EXPECT_EQ(m->currentItem(), m->getItem(c[1]));
    ASSERT_NE(m->work(), nullptr);
    EXPECT_TRUE(m->work()->Stops.equals(m->currentItem()->Stops));
  }
  EXPECT_EQ(notes, 3);

  CGradMngr empty(false);
  EXPECT_EQ(empty.select(0), -1);
  EXPECT_EQ(empty.currentItem(), nullptr);
  EXPECT_EQ(empty.workCopy(), nullptr);
  EXPECT_FALSE(empty.setWorkRepeat({}, false));
  EXPECT_FALSE(empty.applyColors(0, 0));
}

TEST(GradMngr, DeleteKeepsTheCurrentItem) {
  struct Case {
    const char* Name;
    int32_t Current, Deleted;
    bool Ok;
    int32_t NewIndex;
    const char* NewName;  // name of the current item afterwards, "" for none
  };
  const Case cases[] = {
      {"current deleted: the next takes its place", 1, 1, true, 1, "2"},
      {"last and current deleted: the one before", 2, 2, true, 1, "1"},
      {"deleted below the current", 2, 0, true, 1, "2"},
      {"deleted above the current", 0, 2, true, 0, "0"},
      {"invalid index", 1, 3, false, 1, "1"},
      {"negative index", 1, -1, false, 1, "1"},
  };
  for (const Case& c : cases) {
    auto m = managerWith(3);
    m->select(c.Current);
    EXPECT_EQ(m->deleteItem(c.Deleted), c.Ok) << c.Name;
    EXPECT_EQ(m->currentIndex(), c.NewIndex) << c.Name;
    ASSERT_NE(m->currentItem(), nullptr) << c.Name;
    EXPECT_EQ(m->currentItem()->Stops.name(), c.NewName) << c.Name;
    EXPECT_EQ(m->modified(), c.Ok) << c.Name;
  }
  auto m = managerWith(1);
  m->select(0);
  EXPECT_TRUE(m->deleteItem(0));
  EXPECT_EQ(m->currentIndex(), -1);
  EXPECT_EQ(m->currentItem(), nullptr);
  EXPECT_EQ(m->work(), nullptr);
}

TEST(GradMngr, InsertKeepsTheCurrentAndTheFixedEntryOnTheirItems) {
  struct Case {
    int32_t at;
    int32_t placed, current, fixed;
  };
  // The fixed entry at 0, then a and b; b is current.
  for (const Case& c : {Case{0, 0, 3, 1}, Case{1, 1, 3, 0}, Case{2, 2, 3, 0}, Case{3, 3, 2, 0}, Case{4, -1, 2, 0},
                        Case{-1, -1, 2, 0}}) {
    SCOPED_TRACE(c.at);
    CGradMngr m(true);
    EXPECT_GE(m.addTwoColor(0x0000FFu, 0xFFFFFFu), 0);
    EXPECT_GE(m.addTwoColor(0x00FF00u, 0xFFFFFFu), 0);
    m.select(2);
    CGradObj* current = m.currentItem();
    m.setModified(false);
    EXPECT_EQ(m.insert(c.at, std::make_unique<CGradObj>()), c.placed);
    EXPECT_EQ(m.currentIndex(), c.current);
    EXPECT_EQ(m.getItem(m.currentIndex()), current);
    EXPECT_EQ(m.fixedIndex(), c.fixed);
    EXPECT_EQ(m.modified(), c.placed >= 0);
  }
  CGradMngr m(false);
  EXPECT_EQ(m.insert(0, nullptr), -1);
}

TEST(GradMngr, BuiltinPresets) {
  CGradMngr m(false);
  m.resetToBuiltins();
  ASSERT_EQ(m.count(), 4);
  EXPECT_EQ(m.currentIndex(), 0);
  struct Case {
    int32_t Item;
    int32_t T;
    uint32_t Colour;
  };
  const Case cases[] = {
      {0, 0, 0xFF000000u},      {0, 0x10000, 0xFFFFFFFFu}, {1, 0x10000, 0xFF00FFFFu},
      {2, 0, 0xFFFF0000u},      {2, 0x8000, 0xFF00FF00u},  {2, 0x10000, 0xFF0000FFu},
      {3, 10000, 0xFFFF0000u},  {3, 21845, 0xFFFF0000u},   {3, 21846, 0xFF00FF00u},
      {3, 30000, 0xFF00FF00u},  {3, 43691, 0xFF0000FFu},   {3, 60000, 0xFF0000FFu},
  };
  for (const Case& c : cases) EXPECT_EQ(m.getItem(c.Item)->Stops.colorAt(c.T), c.Colour) << c.Item << " " << c.T;
  for (int32_t k = 0; k < 4; ++k) {
    EXPECT_EQ(m.getItem(k)->Stops.name(), "untitled" + std::to_string(k + 1));
    EXPECT_EQ(m.getItem(k)->Repeat, SGradRepeat{});
  }
  // Removing the middle stop of the third leaves blue to red over the whole range.
  CColorSlotGroup& g = m.getItem(2)->Stops;
  ASSERT_TRUE(g.removeStop(1));
  EXPECT_EQ(g.colorAt(0), 0xFFFF0000u);
  EXPECT_EQ(g.colorAt(0x10000), 0xFF0000FFu);
  EXPECT_EQ(g.colorAt(0x8000), 0xFF7F007Fu);
}

TEST(GradMngr, ApplyColorsReachesPresetsAndWorkCopy) {
  CGradMngr m(true);
  EXPECT_GE(m.addTwoColor(0x01000000u, 0x00000000u), 0);  // second colour, then first
  m.select(1);
  ASSERT_TRUE(m.applyColors(0x00112233u, 0x00445566u));
  EXPECT_EQ(m.getFixed()->Stops.getSlot(0)->Color, 0x00112233u);
  EXPECT_EQ(m.getFixed()->Stops.getSlot(1)->Color, 0xFFFFFFFFu);
  EXPECT_EQ(m.getItem(1)->Stops.getSlot(0)->Color, 0x01445566u);
  EXPECT_EQ(m.work()->Stops.getSlot(1)->Color, 0x00112233u);
}

TEST(GradMngr, WorkCopyAndRepeat) {
  auto m = managerWith(2);
  m->select(1);
  CGradObj* w = m->workCopy();
  ASSERT_NE(w, nullptr);
  const int32_t id = w->Id;
  EXPECT_TRUE(m->setWorkRepeat({1, 1, 1, 0, 0}, true));
  EXPECT_NE(w->Id, id);
  EXPECT_EQ(w->Repeat.Count, 1);
  EXPECT_EQ(m->getItem(1)->Repeat.Shape, 0);  // the item itself is untouched
}

TEST(GradMngr, ModifiedAndFileNameNotify) {
  CGradMngr m(false);
  int notes = 0;
  m.setOnChange([&notes](CGradMngr&) { ++notes; });
  m.setFileName("a.kgs");
  m.setFileName("a.kgs");  // unchanged: no notice
  m.setModified(true);
  EXPECT_EQ(notes, 2);
  EXPECT_EQ(m.add(nullptr), -1);
  EXPECT_EQ(m.add(std::make_unique<CGradObj>()), 0);
  EXPECT_TRUE(m.modified());
  EXPECT_EQ(m.clear(), 1);
  EXPECT_EQ(m.count(), 0);
}

}  // namespace
}  // namespace pg
