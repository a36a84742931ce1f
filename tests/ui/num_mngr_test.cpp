#include "ui/num_mngr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/trackbar_logic.h"

namespace pg {
namespace {

struct Probe : INumListener {
  explicit Probe(std::vector<Probe*>* log = nullptr) : log(log) {}
  void numRefresh() override {
    ++refreshes;
    if (log) log->push_back(this);
  }
  std::vector<Probe*>* log;
  int refreshes = 0;
};

TEST(NumMngr, WrapTable) {
  struct {
    float lo, hi, in, out;
  } cases[] = {{0, 360, 370, 10},     {0, 360, -10, 350},    {0, 360, 360, 0},     {0, 360, 720, 0},
               {-180, 180, 190, -170}, {-180, 180, 180, 180}, {-180, 180, -190, 170}};
  for (const auto& c : cases) {
    TNumMngr m;
    ASSERT_TRUE(m.setRange(0, -1000, 1000));
    m.setWrapMin(c.lo);
    m.setWrapMax(c.hi);
    m.setWrapAround(true);
    m.setValue(1.5f);  // away from every expected value
    m.setValue(c.in);
    EXPECT_EQ(m.value(), c.out) << c.lo << ".." << c.hi << " " << c.in;
  }
}

TEST(NumMngr, EmptyWrapRangeClampsInsteadOfDividingByZero) {
  TNumMngr m;
  m.setWrapMax(0);  // wrap range 0..0
  m.setWrapAround(true);
  m.setValue(300);
  EXPECT_EQ(m.value(), 255);
  // Raising the minimum above the wrap maximum leaves an inverted wrap range.
  TNumMngr n;
  n.setWrapAround(true);
  n.setValueMin(300);
  EXPECT_EQ(n.wrapMin(), 300);
  EXPECT_EQ(n.wrapMax(), 255);
  n.setValue(400);
  EXPECT_EQ(n.value(), 300);
}

TEST(NumMngr, ClampAndUnchangedValueFiresNothing) {
  TNumMngr m;
  int changes = 0;
  m.onChange = [&](TNumMngr&) { ++changes; };
  Probe a;
  a.setAssociate(&m);
  const int before = a.refreshes;
  EXPECT_EQ(m.setValueFrom(nullptr, 300), 255);
  EXPECT_EQ(m.setValueFrom(nullptr, -5), 0);
  EXPECT_EQ(changes, 2);
  m.setValue(0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(a.refreshes, before + 2);
}

TEST(NumMngr, CentreStepping) {
  struct {
    float from;
    bool up, large;
    float to;
  } cases[] = {{0, true, false, 10}, {0, false, false, -1}, {-5, true, true, 5}, {5, false, false, -5}};
  for (const auto& c : cases) {
    TNumMngr m;
    ASSERT_TRUE(m.setRange(c.from, -100, 100));
    m.UseCenter = true;
    m.setValueCenter(0);
    m.AmountLow = 1;
    m.AmountHigh = 10;
    if (c.up)
      m.increment(c.large);
    else
      m.decrement(c.large);
    EXPECT_EQ(m.value(), c.to) << c.from;
  }
}

TEST(NumMngr, RatioWithCentre) {
  TNumMngr m;
  ASSERT_TRUE(m.setRange(0, -100, 100));
  m.UseCenter = true;
  struct {
    float v, r;
  } cases[] = {{-100, 0}, {-50, 0.25f}, {0, 0.5f}, {50, 0.75f}, {100, 1}};
  for (const auto& c : cases) {
    m.setValue(c.v);
    EXPECT_FLOAT_EQ(m.getRatio(), c.r) << c.v;
  }
  m.setRatio(0.75f);
  EXPECT_EQ(m.value(), 50);
  m.setRatio(0.25f);
  EXPECT_EQ(m.value(), -50);
}

TEST(NumMngr, ZeroWidthRangeHasARatio) {
  TNumMngr m;
  ASSERT_TRUE(m.setRange(5, 10, 10));
  EXPECT_EQ(m.value(), 10);
  EXPECT_EQ(m.getRatio(), 0.0f);
  m.UseCenter = true;
  m.setValueCenter(10);
  EXPECT_EQ(m.getRatio(), 0.5f);
  EXPECT_FALSE(m.setRange(5, 10, 9));
  EXPECT_EQ(m.valueMax(), 10);
}

TEST(NumMngr, BoundSettersPushNeighbours) {
  TNumMngr m;
  m.setValueMin(300);
  EXPECT_EQ(m.wrapMin(), 300);
  EXPECT_EQ(m.valueMax(), 300);
  EXPECT_EQ(m.value(), 300);
  EXPECT_EQ(m.wrapMax(), 255);

  TNumMngr n;
  n.setValue(200);
  n.setValueMax(100);
  EXPECT_EQ(n.wrapMax(), 100);
  EXPECT_EQ(n.value(), 100);

  TNumMngr loading;
  loading.beginLoad();
  loading.setValueMin(300);
  loading.endLoad();
  EXPECT_EQ(loading.valueMax(), 255) << "loading stores raw values";
}

TEST(NumMngr, ListenersRefreshExceptTheSender) {
  std::vector<Probe*> log;
  TNumMngr m;
  Probe a(&log), b(&log);
  a.setAssociate(&m);
  b.setAssociate(&m);
  EXPECT_EQ(m.addListener(&a), 1) << "re-adding moves it last";
  log.clear();
  m.setValueFrom(&a, 7);
  EXPECT_EQ(log, std::vector<Probe*>{&b});
  log.clear();
  m.increment(false);
  EXPECT_EQ(log, (std::vector<Probe*>{&b, &a})) << "a step refreshes the caller too";
  EXPECT_EQ(m.removeListener(&b), 0);
  EXPECT_EQ(m.removeListener(&b), -1);
  {
    Probe gone;
    gone.setAssociate(&m);
    EXPECT_EQ(m.listeners().size(), 2u);
  }
  EXPECT_EQ(m.listeners().size(), 1u) << "a destroyed listener leaves by itself";
}

TEST(NumMngr, DestroyDetachesListeners) {
  Probe a;
  {
    TNumMngr m;
    a.setAssociate(&m);
  }
  EXPECT_EQ(a.associate(), nullptr);
}

TEST(NumMngr, ParseNumberTable) {
  struct {
    const char* text;
    bool neg;
    bool ok;
    float v;
  } cases[] = {{"a-1.2.3", true, true, -1.23f}, {"12-3", true, true, 123}, {"-", true, false, 0},
               {".", true, false, 0},          {"-.", true, false, 0},   {"-5", false, true, 5},
               {"", true, false, 0},           {"x", true, false, 0},    {"0.5", false, true, 0.5f}};
  for (const auto& c : cases) {
    const auto n = parseNumber(c.text, c.neg);
    EXPECT_EQ(n.has_value(), c.ok) << c.text;
    if (n && c.ok) {
      EXPECT_FLOAT_EQ(*n, c.v) << c.text;
    }
  }
  EXPECT_FLOAT_EQ(*parseNumber("1,5", false, ','), 1.5f);
  TNumMngr m;
  m.setValue(9);
  EXPECT_EQ(valueFromText(m, "-."), 9) << "an unconvertible text leaves the value";
  EXPECT_EQ(valueFromText(m, "-20"), 20) << "the minus is dropped on an unsigned model";
}

TEST(NumMngr, FormatValue) {
  struct {
    const char* fmt;
    float v;
    char sep;
    const char* out;
  } cases[] = {{"%1.0f", 254.6f, '.', "255"}, {"%1.2f", 1.5f, ',', "1,50"}, {"%1.1f%%", 12.25f, '.', "12.2%"},
               {"%1.0f px", 3, '.', "3 px"},  {"bad", 2.4f, '.', "2"}};
  for (const auto& c : cases) EXPECT_EQ(formatValue(c.fmt, c.v, c.sep), c.out) << c.fmt;
}

TEST(NumMngr, KeyFilter) {
  EXPECT_TRUE(acceptNumChar("12", U'3', false));
  EXPECT_FALSE(acceptNumChar("12", U'a', true));
  EXPECT_FALSE(acceptNumChar("1.2", U'.', true));
  EXPECT_TRUE(acceptNumChar("12", U'.', true));
  EXPECT_FALSE(acceptNumChar("12", U'-', false));
  EXPECT_TRUE(acceptNumChar("12", U'-', true));
  EXPECT_TRUE(acceptNumChar("12", U'\b', false));
}

// ---- sliders ---------------------------------------------------------------------

TEST(Trackbar, PointerMapping) {
  struct {
    uint8_t o;
    int w, h;
    float x, y, p;
  } cases[] = {{gtHorizontal, 109, 14, 3, 5, 0},   {gtHorizontal, 109, 14, 53, 5, 0.5f},
               {gtHorizontal, 109, 14, 103, 5, 1}, {gtHorizontal, 109, 14, 400, 5, 1},
               {gtHorizontal, 109, 14, -9, 5, 0},  {gtVertical, 14, 109, 5, 3, 1},
               {gtVertical, 14, 109, 5, 54, 0.5f}, {gtVertical, 14, 109, 5, 105, 0},
               {gtClockWise, 32, 32, 0, 16, 0},    {gtClockWise, 32, 32, 16, 32, 0.25f},
               {gtClockWise, 32, 32, 32, 16, 0.5f}, {gtClockWise, 32, 32, 16, 0, 0.75f},
               {gtCounterClockWise, 32, 32, 16, 0, 0.25f}, {gtCounterClockWise, 32, 32, 16, 32, 0.75f}};
  for (const auto& c : cases) {
    const float p = trackPositionAt(c.o, c.w, c.h, c.x, c.y);
    // The left of a dial is 0 and 1 at once.
    if (c.o >= gtClockWise && c.p == 0)
      EXPECT_TRUE(p < 1e-4f || p > 1 - 1e-4f) << p;
    else
      EXPECT_NEAR(p, c.p, 1e-4f) << int(c.o) << " " << c.x << "," << c.y;
  }
}

TEST(Trackbar, DialNeedleFollowsThePositionAsThePointerDoes) {
  for (uint8_t o : {gtClockWise, gtCounterClockWise})
    for (float p : {0.1f, 0.3f, 0.6f, 0.9f}) {
      const TPointF end = dialNeedleEnd(o, 40, 40, p);
      EXPECT_NEAR(trackPositionAt(o, 40, 40, end.X, end.Y), p, 1e-3f) << int(o) << " " << p;
    }
}

TEST(Trackbar, LayoutAndThumb) {
  EXPECT_EQ(trackRect(gtHorizontal, 109, 14), (TRect{3, 0, 106, 8}));
  EXPECT_EQ(trackRect(gtVertical, 14, 109), (TRect{3, 2, 11, 107}));
  EXPECT_EQ(trackRect(gtClockWise, 32, 40), (TRect{1, 1, 31, 31}));
  EXPECT_EQ(trackThumbAt(gtHorizontal, 109, 14, 9, 10, 0.5f), (TPoint{50, 2}));
  EXPECT_EQ(trackThumbAt(gtVertical, 14, 109, 10, 9, 1.0f), (TPoint{2, 0}));
  EXPECT_EQ(verticalPopupLift(1.0f), 8);
  EXPECT_EQ(verticalPopupLift(0.0f), 110);
  EXPECT_EQ(popupLabelRect(60, 20), (TRect{2, 2, 42, 18}));
  EXPECT_EQ(popupButtonRect(60, 20), (TRect{42, 2, 58, 18}));
}

TEST(UpDown, StatesFollowTheModel) {
  TNumMngr m;
  m.setValue(255);
  SUpDownStates s = upDownStates(m, true, kUdNone, kUdDown);
  EXPECT_EQ(s.up, kBtnDisabled) << "at the maximum";
  EXPECT_EQ(s.down, kBtnHot);
  m.setValue(0);
  s = upDownStates(m, true, kUdUp, kUdUp);
  EXPECT_EQ(s.up, kBtnPressed);
  EXPECT_EQ(s.down, kBtnDisabled);
  m.setValue(5);
  s = upDownStates(m, false, kUdNone, kUdNone);
  EXPECT_EQ(s.up, kBtnDisabled);
  EXPECT_EQ(s.down, kBtnDisabled);
}

TEST(Trackbar, ReapplyRatioNeverMovesTheValue) {
  TNumMngr m;
  ASSERT_TRUE(m.setRange(0, -180, 360));
  m.setWrapMin(-180);
  m.setWrapMax(180);
  m.setWrapAround(true);
  m.UseCenter = true;
  m.setValueCenter(90);
  for (float v : {-170.0f, 0.1f, 33.3f, 120.7f}) {
    m.setValue(v);
    reapplyRatio(m);
    EXPECT_EQ(m.value(), v);
  }
}

}  // namespace
}  // namespace pg
