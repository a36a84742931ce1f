// The English interface: with the English module beside the program
// installed, no window, menu or dialog shows a Japanese character. Font names
// and the user's own texts (a memo, a name field) may be in any script.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <functional>

#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/qt/text_tool_window.h"
#include "platform/fonts.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/qt/gradient_editor_form.h"
#include "toolwin/qt/tool_form.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/item_pickers.h"

namespace pg {
namespace {

// Kana, the ideographs, the Japanese punctuation and the full-width forms.
bool isJapanese(char16_t c) {
  return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

bool hasJapanese(const QString& s) {
  return std::any_of(s.begin(), s.end(), [](QChar c) { return isJapanese(c.unicode()); });
}

// Walks widgets, menus and actions and keeps every Japanese text they show,
// with the object it was found on.
class CJapaneseFinder {
 public:
  void widget(QWidget* w) {
    visit(w);
    for (QWidget* child : w->findChildren<QWidget*>()) visit(child);
  }
  void text(const QString& where, const QString& s) {
    if (hasJapanese(s)) found << where + ": " + s;
  }
  QStringList found;

 private:
  static QString nameOf(const QObject* o) {
    return QString::fromLatin1(o->metaObject()->className()) + "(" + o->objectName() + ")";
  }
  void visit(QWidget* w) {
    if (seen_.contains(w)) return;
    seen_.insert(w);
    const QString at = nameOf(w);
    text(at + " title", w->windowTitle());
    text(at + " tooltip", w->toolTip());
    text(at + " status tip", w->statusTip());
    if (auto* m = qobject_cast<QMenu*>(w)) {
      emit m->aboutToShow();  // menus fill their captions as they open
      text(at + " menu title", m->title());
    }
    if (auto* l = qobject_cast<QLabel*>(w)) text(at, l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text(at, b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) text(at, g->title());
    if (auto* s = qobject_cast<QSpinBox*>(w)) text(at, s->prefix() + s->suffix());
    if (auto* e = qobject_cast<QLineEdit*>(w)) text(at + " placeholder", e->placeholderText());
    if (auto* t = qobject_cast<QTabBar*>(w))
      for (int i = 0; i < t->count(); ++i) text(at + " tab", t->tabText(i));
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i)
        if (!fonts_.contains(c->itemText(i))) text(at + " item", c->itemText(i));
    for (QAction* a : w->actions()) action(at, a);
  }
  void action(const QString& owner, QAction* a) {
    if (a->isSeparator()) return;
    const QString at = owner + " > " + nameOf(a);
    text(at, a->text());
    text(at + " tooltip", a->toolTip());
    text(at + " status tip", a->statusTip());
    if (QMenu* sub = a->menu()) widget(sub);
  }
  // The faces a font list may show, under the names either font enumeration gives.
  static QSet<QString> fontNames() {
    QSet<QString> names;
    for (const QString& f : QFontDatabase::families()) names.insert(f);
    for (const SFontFamily& f : enumFontFamilies(kDefaultCharSet)) {
      const QString face = QString::fromStdString(f.FaceName);
      names.insert(face.startsWith('@') ? face.mid(1) : face);
    }
    return names;
  }
  QSet<const QObject*> seen_;
  const QSet<QString> fonts_ = fontNames();
};

// The program with its English module, one document open, and everything it
// shows walked; the built-in texts come back afterwards for the other tests.
class EnglishTexts : public ::testing::Test {
 protected:
  static TMainForm& makeForm() {
    testing::ensureQtApp();
    EXPECT_EQ(installResourceModule(resourceModulePath(PIGMORA_PROGRAM)), ResourceModuleResult::Ok);
    return *new TMainForm;
  }
  void SetUp() override {
    form.resize(1000, 760);
    form.show();
    window = form.newDrawWindow("a", 200, 150, 72);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    delete &form;
    resetResStrings();
  }
  void expectNoJapanese() {
    for (const RecordingMessageService::Shown& m : messages.shown())
      finder.text("message", QString::fromStdString(m.text));
    EXPECT_TRUE(finder.found.isEmpty()) << finder.found.join('\n').toStdString();
  }
  // Runs the command while a watcher walks every modal window it opens and
  // closes it; `inside` runs on the first one before it closes. Answers how
  // many modal windows opened.
  int walkModal(const std::function<void()>& command, const std::function<void(QWidget*)>& inside = {}) {
    int opened = 0;
    QWidget* last = nullptr;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
      QWidget* m = QApplication::activeModalWidget();
      if (m == nullptr || m == last) return;
      last = m;
      ++opened;
      finder.widget(m);
      if (inside && opened == 1) {
        watcher.stop();  // a nested window gets a watcher of its own
        inside(m);
      }
      if (auto* d = qobject_cast<QDialog*>(m))
        d->reject();
      else
        m->close();
    });
    watcher.start();
    command();
    watcher.stop();
    return opened;
  }
  void trigger(const char* name) { testing::runCommand(form, name); }

  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  TMainForm& form = makeForm();
  TDrawWindowWidget* window = nullptr;
  CJapaneseFinder finder;
};

TEST_F(EnglishTexts, TheMainWindowTheToolWindowAndEveryMenu) {
  // The panels a user can bring up, shown as the Window menu shows them.
  for (const char* panel : {"actShowToolBox", "actShowCtrlWindow", "actShowPreviewWindow", "ActShowInfomationView",
                            "ActShowEventView", "actShowColorWindow", "actShowPalWindow", "actShowPenMtdList",
                            "actShowLayerWindow", "actShowSelectWindow"}) {
    form.actions().updateAll();
    QAction* a = form.actions().action(panel);
    ASSERT_NE(a, nullptr) << panel;
    if (a->isEnabled() && a->isCheckable() && !a->isChecked()) a->trigger();
  }
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w == &form || w->isAncestorOf(&form) || form.isAncestorOf(w) || w->parentWidget() == nullptr) finder.widget(w);
  finder.widget(form.menuBar());
  expectNoJapanese();
}

// Each menu command that opens a window, walked while it is open: the row
// names the command and, where it needs one, a command to run first.
TEST_F(EnglishTexts, EveryDialogTheMenusOpen) {
  struct Row {
    const char* command;
    const char* before;
  };
  const Row rows[] = {
      {"ActFileNew", nullptr},          {"ActFileOpen", nullptr},        {"ActFileSaveAs", nullptr},
      {"ActLyrSaveAs", nullptr},        {"ActEditOpt", nullptr},         {"ActImgSize", nullptr},
      {"ActImgReso", nullptr},          {"ActLyrNew", nullptr},          {"ActLyrRot", nullptr},
      {"ActLyrScale", nullptr},         {"ActLyrOpt", nullptr},          {"ActMaskOption", nullptr},
      {"ActSelColorRange", nullptr},    {"ActSelExp", "ActSelAll"},      {"ActSelCol2", "ActSelAll"},
      {"ActFilePrint", nullptr},        {"ActEventOpen", nullptr},       {"ActEventSaveAs", nullptr},
      {"actAboutBox", nullptr},         {"actFilterLevels4", nullptr},   {"actFilterGamma4", nullptr},
      {"actFilterContrast4", nullptr},  {"actFilterHLS4", nullptr},      {"actFilterPoster4", nullptr},
      {"actFilterGradateMap", nullptr}, {"actFilterBlurMove4", nullptr}, {"actFilterBlurZoom", nullptr},
      {"actFilterSharpCustom4", nullptr}, {"actFilterTile", nullptr},    {"actFilterFloor", nullptr},
      {"actFilterLighting", nullptr},   {"actFilterTwist", nullptr},     {"actFilterWave", nullptr},
      {"actFilterPolar", nullptr},      {"actFilterRotate4", nullptr},   {"actFilterZoom4", nullptr},
      {"actFilterNoise4", nullptr},     {"actFilterMosaic4", nullptr},   {"actFilterMedian4", nullptr},
      {"actFilterEmboss4", nullptr},    {"actFilterHalftone", nullptr},  {"actFilterCustom55", nullptr},
  };
  for (const Row& r : rows) {
    if (r.before != nullptr) trigger(r.before);
    EXPECT_GE(walkModal([&] { trigger(r.command); }), 1) << r.command << " opened no window";
  }
  expectNoJapanese();
}

// The preset editors the tool window's option menu opens: the brush editor
// for a brush, the gradient editor for the gradient tool, and from the
// gradient editor's colour cell the colour picker; the layer panel's
// question before it deletes a layer.
TEST_F(EnglishTexts, ThePresetEditorsTheColourPickerAndTheLayerPanelsQuestion) {
  // The edit item of an option menu, as the menu shows it.
  auto editItem = [](QMenu* menu) {
    return [menu] {
      ASSERT_NE(menu, nullptr);
      emit menu->aboutToShow();
      QAction* edit = menu->findChild<QAction*>(QStringLiteral("MenuOptItemEdit"));
      ASSERT_TRUE(edit != nullptr && edit->isEnabled());
      edit->trigger();
    };
  };
  TToolForm& tools = *form.toolWindow();
  EXPECT_EQ(walkModal(editItem(tools.optionListMenu()),
                      [](QWidget* w) { EXPECT_NE(dynamic_cast<TFormBrushEditor*>(w), nullptr); }),
            1);
  EXPECT_EQ(walkModal(editItem(tools.gradientListMenu()),
                      [this](QWidget* w) {
                        auto* editor = dynamic_cast<TFormGradEditor*>(w);
                        ASSERT_NE(editor, nullptr);
                        QWidget* cell = editor->CellL;
                        const int opened = walkModal([cell] {
                          QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(cell->width() / 2, cell->height() / 2));
                        });
                        EXPECT_EQ(opened, 1) << "the colour cell opened no picker";
                      }),
            1);

  // The layer panel's delete button asks first.
  auto button = [](const QString& hint) -> QToolButton* {
    for (QWidget* top : QApplication::topLevelWidgets())
      for (QToolButton* b : top->findChildren<QToolButton*>())
        if (b->toolTip() == hint && b->isVisible()) return b;
    return nullptr;
  };
  QToolButton* newLayer = button(QStringLiteral("New Layer"));
  QToolButton* deleteLayer = button(QStringLiteral("Delete Layer"));
  ASSERT_TRUE(newLayer != nullptr && deleteLayer != nullptr);
  newLayer->click();
  EXPECT_EQ(walkModal([deleteLayer] { deleteLayer->click(); }), 1) << "deleting a layer asked nothing";
  expectNoJapanese();
}

// The text tool's window on a click with the text tool, and the brush-shape
// menu of the tool options.
TEST_F(EnglishTexts, TheTextToolWindowAndTheBrushShapeMenu) {
  TDrawWindow& win = window->window();
  form.canvas().selectMode(ToolMode::TextDraw);
  const TPointF at = win.imageToClient({50, 50});
  EXPECT_EQ(walkModal([&] { QTest::mouseClick(window->viewport(), Qt::LeftButton, {}, QPoint(int(at.X), int(at.Y))); },
                      [](QWidget* w) { EXPECT_NE(dynamic_cast<TTextToolWindow*>(w), nullptr); }),
            1);

  // The brush shapes show in the tool options while a brush is the tool.
  form.actions().updateAll();
  if (QAction* a = form.actions().action("actShowCtrlWindow"); !a->isChecked()) a->trigger();
  form.canvas().selectMode(ToolMode::Pencil);
  TSubPaintDropDown* shapes = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    for (QWidget* w : top->findChildren<QWidget*>())
      if (auto* found = dynamic_cast<TSubPaintDropDown*>(w); found && found->isVisible()) shapes = found;
  ASSERT_NE(shapes, nullptr);
  std::vector<QString> shown;
  shapes->RunMenu = [&](QMenu& menu, QPoint) {
    for (QAction* a : menu.actions())
      if (!a->isSeparator()) shown.push_back(a->text());
    return 0;
  };
  QTest::mouseClick(shapes, Qt::LeftButton, {}, QPoint(shapes->width() / 2, shapes->height() / 2));
  EXPECT_EQ(shown.size(), 6u);
  for (const QString& s : shown) finder.text("brush shapes", s);
  expectNoJapanese();
}

}  // namespace
}  // namespace pg
