// The Filter menu as a user meets it: every filter's dialog opened from its
// item, a changed value previewed on the canvas, Cancel leaving every pixel,
// OK applying once (recorded, undoable), Repeat and Alt+Repeat; and the
// gradient map by the tool window's current gradient.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "brush/gradient_mngr.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "document/paper_gradient.h"
#include "document/undo_mngr_ex.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_table.h"
#include "filters/gradient_map_filter.h"
#include "filters/qt/filter_dialogs.h"
#include "filters/qt/filter_form.h"
#include "filters/qt/levels_dialog.h"
#include "filters/stripes_fill.h"
#include "record/event_store.h"
#include "replay/replay_fixture.h"
#include "replay/replay_session.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/gradient_pick_list.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/tool_form.h"

namespace pg {
namespace {

// Runs `inside` on the filter dialog once it shows; `inside` answers OK
// (true) or Cancel. `shown` counts the dialogs that opened.
template <typename Dialog = TFormFilterValues>
void onFilterDialog(std::function<bool(Dialog&)> inside, int* shown = nullptr) {
  QTimer::singleShot(0, [inside, shown] {
    auto* d = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
    if (d == nullptr) {
      ADD_FAILURE() << "no filter dialog";
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
      return;
    }
    if (shown != nullptr) ++*shown;
    if (inside(*d))
      d->ButtonOKClick();
    else
      d->reject();
  });
}

// Lets the event loop run until pred holds or the time is up.
bool waitFor(const std::function<bool()>& pred, int ms) {
  for (int t = 0; t < ms && !pred(); t += 10) QTest::qWait(10);
  return pred();
}

class MainFormFilters : public ::testing::Test {
 protected:
  static TMainForm& makeForm() {
    testing::ensureQtApp();
    return *new TMainForm;
  }
  void SetUp() override {
    resetFilterRepeat();
    resetFilterDialogMemory();
    form.resize(800, 600);
    form.show();
    window = form.newDrawWindow("a", 64, 48, 72);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(testing::fillStripesAndNoise(*layer().image));
    paper().redraw(true);
  }
  void TearDown() override {
    delete &form;
    resetFilterRepeat();
    resetFilterDialogMemory();
  }
  bool enabled(const char* name) { return testing::commandEnabled(form, name); }
  void run(const char* name) { testing::runCommand(form, name); }
  TPaper& paper() { return window->window().paper(); }
  CLayerData& layer() { return *paper().getLayer(paper().currentLayerIndex()); }
  uint64_t layerHash() { return test::imageHash(*layer().image); }
  CEventMngr& store() { return *documentEventStore(paper()); }
  int32_t undoCount() { return paper().undoMngr()->undoCount(); }

  TMainForm& form = makeForm();
  TDrawWindowWidget* window = nullptr;
};

// Moves a value to the top of its range, else to the middle or the bottom; false when none
// of them differs from the value it has.
bool moveValue(TNumMngr& n) {
  const float before = n.value();
  for (const float v : {n.valueMax(), (n.valueMin() + n.valueMax()) / 2, n.valueMin()}) {
    n.setValue(v);
    if (n.value() != before) return true;
  }
  return false;
}

// Changes what the dialog offers first: a value, else a choice, else a check
// (levels: the output's white point). Answers false when the dialog has
// nothing to change.
bool changeSomething(TFormFilter& dialog) {
  if (auto* levels = dynamic_cast<TFormLevels4*>(&dialog)) return moveValue(levels->model().outMax);
  auto* values = dynamic_cast<TFormFilterValues*>(&dialog);
  if (values == nullptr) return false;
  TFormFilterValues& d = *values;
  CFilterDialogModel& m = d.model();
  for (size_t i = 0; i < m.valueCount(); ++i) {
    if (m.valueEnabled(i) && moveValue(m.num(i))) return true;
  }
  if (QAbstractButton* b = d.choice() != nullptr ? d.choice()->buttons().value(1) : nullptr) {
    b->click();
    return true;
  }
  if (d.choiceList() != nullptr && d.choiceList()->count() > 1) {
    d.choiceList()->setCurrentIndex(d.choiceList()->currentIndex() == 0 ? 1 : 0);
    return true;
  }
  if (d.checkBox(0) != nullptr) {
    d.checkBox(0)->click();
    return true;
  }
  return false;
}

// The filters of the menu that open a dialog, and those that run at once.
bool opensDialog(const SFilterEntry& e) {
  return filterDialogFor(e.command) != nullptr || std::string_view(e.command) == "filterLevels";
}

// One case per filter, each a test of its own that runs beside the others.
std::vector<const char*> filtersWithADialog() {
  std::vector<const char*> commands;
  for (const SFilterEntry& e : filterTable())
    if (e.action != nullptr && filterCommandAvailable(e) && opensDialog(e)) commands.push_back(e.command);
  return commands;
}

class MainFormFilterDialog : public MainFormFilters, public ::testing::WithParamInterface<const char*> {};

// Every filter that has a dialog, from its menu item: the canvas follows a
// change, Cancel restores every pixel and records nothing, OK applies once
// (one event, one undo step), Repeat reapplies without the dialog and
// Alt+Repeat opens it again.
TEST_P(MainFormFilterDialog, FromItsMenuItem) {
  // The gradient map maps by the tool window's current gradient.
  ASSERT_NE(form.toolWindow(), nullptr);
  const SFilterEntry* entry = filterByCommand(GetParam());
  ASSERT_NE(entry, nullptr);
  ASSERT_TRUE(enabled(entry->action));
  paper().redraw(true);
  const uint64_t original = layerHash();
  const uint32_t events = store().committedCount();
  const int32_t undos = undoCount();

  // Cancel after a change that the canvas shows.
  uint64_t opened = 0, followed = 0;
  int shown = 0;
  onFilterDialog<TFormFilter>(
      [&](TFormFilter& d) {
        // A dialog whose preview starts unchecked previews once checked.
        if (!d.CheckBoxPreview->isChecked()) d.CheckBoxPreview->click();
        (void)waitFor([&] { return !d.TimerUpdate.isActive(); }, 3000);
        QTest::qWait(20);
        opened = layerHash();
        EXPECT_TRUE(changeSomething(d));
        (void)waitFor([&] { return layerHash() != opened; }, 3000);
        followed = layerHash();
        return false;
      },
      &shown);
  run(entry->action);
  EXPECT_EQ(shown, 1);
  EXPECT_NE(followed, opened) << "the canvas follows the change";
  EXPECT_EQ(layerHash(), original) << "Cancel leaves every pixel";
  EXPECT_EQ(store().committedCount(), events);
  EXPECT_EQ(undoCount(), undos);

  // OK applies once.
  onFilterDialog<TFormFilter>([&](TFormFilter& d) { return changeSomething(d); }, &shown);
  run(entry->action);
  EXPECT_EQ(shown, 2);
  const uint64_t applied = layerHash();
  EXPECT_NE(applied, original);
  EXPECT_EQ(store().committedCount(), events + 1);
  EXPECT_EQ(undoCount(), undos + 1);

  // Repeat applies again without asking; with Alt held it asks.
  QTimer::singleShot(0, [&] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      ++shown;
      w->close();
    }
  });
  run("ActFilterRepeat");
  QTest::qWait(0);
  EXPECT_EQ(shown, 2) << "Repeat asks nothing";
  EXPECT_EQ(store().committedCount(), events + 2);
  QTest::keyPress(&form, Qt::Key_Alt, Qt::AltModifier);
  onFilterDialog<TFormFilter>([](TFormFilter&) { return false; }, &shown);
  run("ActFilterRepeat");
  QTest::keyRelease(&form, Qt::Key_Alt, Qt::NoModifier);
  EXPECT_EQ(shown, 3) << "Alt+Repeat opens the dialog";
  EXPECT_EQ(store().committedCount(), events + 2);

  // Both applications undo to the original pixels.
  run("ActEditUndo");
  EXPECT_EQ(layerHash(), applied);
  run("ActEditUndo");
  EXPECT_EQ(layerHash(), original);
}

INSTANTIATE_TEST_SUITE_P(EveryFilter, MainFormFilterDialog, ::testing::ValuesIn(filtersWithADialog()),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// The filters without a dialog apply at once from their items, recorded and
// undoable; Repeat reapplies those that may be repeated.
TEST_F(MainFormFilters, EveryFilterWithoutADialogFromTheMenu) {
  for (const SFilterEntry& e : filterTable()) {
    if (e.action == nullptr || !filterCommandAvailable(e) || opensDialog(e)) continue;
    SCOPED_TRACE(e.command);
    paper().redraw(true);
    const uint64_t original = layerHash();
    const uint32_t events = store().committedCount();
    const int32_t undos = undoCount();
    QTimer::singleShot(0, [] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "a dialog opened";
        w->close();
      }
    });
    run(e.action);
    QTest::qWait(0);
    const uint64_t applied = layerHash();
    EXPECT_NE(applied, original);
    EXPECT_EQ(store().committedCount(), events + 1);
    EXPECT_EQ(undoCount(), undos + 1);
    int32_t steps = 1;
    if (lastFilterAction() == e.action) {
      run("ActFilterRepeat");
      EXPECT_EQ(store().committedCount(), events + 2);
      ++steps;
    }
    for (int32_t i = 0; i < steps; ++i) run("ActEditUndo");
    EXPECT_EQ(layerHash(), original);
    resetFilterRepeat();
  }
}

// A ramp of opaque greys across the layer.
void greys(CBlockVMTC& img) {
  for (int32_t y = 0; y < img.height(); ++y)
    for (int32_t x = 0; x < img.width(); ++x) ASSERT_TRUE(img.setPixel(x, y, 0xFF000000u | uint32_t(x * 4) * 0x010101u));
}

// The table of a gradient of the tool window.
std::array<uint32_t, 256> tableOf(const CGradMngr& gradients, int32_t i) {
  std::array<uint32_t, 256> table{};
  buildGradientMapTable(gradients.getItem(i)->Stops, false, table);
  return table;
}

// Clicks item i of the gradient map dialog's list.
void pickGradient(TFormFilterValues& d, int32_t i) {
  auto* pick = dynamic_cast<TGradientPickList*>(d.gradientList());
  ASSERT_NE(pick, nullptr);
  const TRect r = pick->list().getItemRect(i);
  QTest::mouseClick(pick->view(), Qt::LeftButton, Qt::NoModifier,
                    QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

// The gradient map takes the tool window's current gradient: its item is
// enabled, the dialog's list shows the tool window's gradients with the
// current one active, the canvas previews with the one picked there, OK
// applies it once (recorded, undoable, replayed to the same pixels) and
// Cancel leaves every pixel. Either way the tool window keeps its choice.
TEST_F(MainFormFilters, TheGradientMapMapsByTheGradientPickedFromTheToolWindowsSet) {
  CGradMngr& gradients = form.toolWindow()->gradients();
  // Without a gradient in the tool window the item cannot run.
  gradients.clearAll();
  gradients.clearWork();
  EXPECT_FALSE(enabled("actFilterGradateMap"));
  const int32_t dark = gradients.add(CGradObj::CreateTwoColor(0x000000, "dark", 0xFFFFFF));
  const int32_t warm = gradients.add(CGradObj::CreateTwoColor(0x0000FF, "warm", 0xFF0000));
  gradients.select(warm);
  ASSERT_TRUE(enabled("actFilterGradateMap"));
  // Opaque greys, so the mapped colour is the table's entry itself.
  CBlockVMTC& img = *layer().image;
  greys(img);
  paper().redraw(true);
  const uint64_t original = layerHash();
  const uint32_t events = store().committedCount();
  const int32_t undos = undoCount();
  const uint32_t grey = img.getPixel(20, 5) & 0xFF;

  uint32_t opened = 0, picked = 0;
  int32_t active = -1;
  onFilterDialog<TFormFilterValues>([&](TFormFilterValues& d) {
    opened = img.getPixel(20, 5);
    auto* pick = dynamic_cast<TGradientPickList*>(d.gradientList());
    if (pick != nullptr) active = pick->list().getActiveIndex();
    pickGradient(d, dark);
    picked = img.getPixel(20, 5);
    return false;
  });
  run("actFilterGradateMap");
  EXPECT_EQ(active, warm) << "the list opens at the tool window's gradient";
  EXPECT_EQ(opened, tableOf(gradients, warm)[grey]) << "the canvas previews the current gradient";
  EXPECT_EQ(picked, tableOf(gradients, dark)[grey]) << "a pick previews at once";
  EXPECT_EQ(gradients.currentIndex(), warm);
  EXPECT_EQ(layerHash(), original);
  EXPECT_EQ(store().committedCount(), events);

  onFilterDialog<TFormFilterValues>([&](TFormFilterValues& d) {
    pickGradient(d, dark);
    return true;
  });
  run("actFilterGradateMap");
  EXPECT_EQ(img.getPixel(20, 5), tableOf(gradients, dark)[grey]);
  EXPECT_EQ(gradients.currentIndex(), warm);
  EXPECT_EQ(store().committedCount(), events + 1);
  EXPECT_EQ(store().firstCommandOfLastEvent(), (SPacketHeader{kPktFilterRecord, 54}));
  EXPECT_EQ(undoCount(), undos + 1);
  const std::string mapped = test::picture(paper());

  // The recording replays to the same pixels in a fresh document, whatever
  // gradient the tool window has by then (warm). The greys were put in by
  // hand, not recorded: they go into the replayed layer once the document is
  // set up.
  test::RecordedDoc replayed(nullptr);
  replayed.window.replaying = true;
  ASSERT_TRUE(store().seal());
  CReplaySession session(*replayed.doc, *replayed.flow);
  ASSERT_EQ(session.openStore(store()), ReplayStart::Started);
  ReplayStep step = ReplayStep::EventDone;
  for (int guard = 0; guard < 10000 && step == ReplayStep::EventDone; ++guard) {
    step = session.engine().replayNext();
    if (session.engine().lastHeader() == SPacketHeader{2, 254}) greys(*replayed.doc->getLayer(0)->image);
  }
  EXPECT_EQ(test::picture(*replayed.doc), mapped);
  ASSERT_TRUE(store().resume());

  run("ActEditUndo");
  EXPECT_EQ(layerHash(), original);
}

// The documents ask the tool window's set while it lives and nothing once it
// has gone, whichever closes first.
TEST(MainFormGradientLink, TheLinkGoesWithTheToolWindow) {
  testing::ensureQtApp();
  for (const bool documentsFirst : {true, false}) {
    auto form = std::make_unique<TMainForm>();
    form->show();
    TDrawWindowWidget* w = form->newDrawWindow("a", 32, 32, 72);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(docGradientLink().activeGradient(), form->toolWindow()->gradients().work());
    if (documentsFirst) {
      w->window().setModified(false);
      form->documentArea()->closeAllSubWindows();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(form->drawWindows().isEmpty());
      EXPECT_NE(docGradientLink().activeGradient(), nullptr);
    }
    form.reset();
    EXPECT_EQ(docGradientLink().activeGradient(), nullptr) << documentsFirst;
  }
}

}  // namespace
}  // namespace pg
