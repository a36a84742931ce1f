// The document dialogs as the menus open them: their values, and their effect
// on the document (with undo).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

#include "app/qt/image_size_dialog.h"
#include "app/qt/layer_option_dialog.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "app/qt/new_layer_dialog.h"
#include "app/qt/value_dialog.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "core/block_image.h"
#include "core/units.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "test_support/qt_app.h"
#include "modal_dialog.h"

namespace pg {
namespace {

using testing::onDialog;

void type(QDoubleSpinBox* field, double value) {
  field->setValue(value);
}

void chooseUnit(QComboBox* list, int32_t unit) { list->setCurrentIndex(list->findData(unit)); }

class DocumentDialogs : public ::testing::Test {
 protected:
  static TMainForm& makeForm() {
    testing::ensureQtApp();
    return *new TMainForm;
  }
  void SetUp() override {
    form.resize(900, 700);
    form.show();
    window = form.newDrawWindow("a", 1000, 500, 72);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override { delete &form; }
  void run(const char* name) { testing::runCommand(form, name); }
  TPaper& paper() { return window->window().paper(); }
  CLayerData& layer() { return *paper().getLayer(paper().currentLayerIndex()); }
  // The current layer's pixel at a document point.
  uint32_t pixelAt(TPoint p) { return layer().image->getPixel(p.X + layer().offsetX, p.Y + layer().offsetY); }
  void mark(TPoint p) { ASSERT_TRUE(layer().image->setPixel(p.X + layer().offsetX, p.Y + layer().offsetY, kMark)); }
  static constexpr uint32_t kMark = 0xFF123456u;

  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  TMainForm& form = makeForm();
  TDrawWindowWidget* window = nullptr;
};

TEST_F(DocumentDialogs, CanvasSizeInUnitsAndItsUndo) {
  onDialog<TFormImageSize>([](TFormImageSize& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("画像サイズ"));
    const SSizeAxisFields& w = d.fields(0);
    EXPECT_EQ(w.unit->currentData().toInt(), kUnitPercent);
    EXPECT_DOUBLE_EQ(w.value->value(), 100.0);
    chooseUnit(w.unit, kUnitInch);
    EXPECT_NEAR(w.value->value(), 13.889, 0.0005);
    type(w.value, 10.0);
    EXPECT_DOUBLE_EQ(w.pixels->value(), 720.0);
    chooseUnit(w.unit, kUnitCm);
    EXPECT_DOUBLE_EQ(w.value->value(), 25.4);
    // Relative in per cent: the present height reads 0.
    d.relativeBox()->setChecked(true);
    chooseUnit(d.fields(1).unit, kUnitPercent);
    EXPECT_DOUBLE_EQ(d.fields(1).value->value(), 0.0);
    type(d.fields(1).value, 50.0);
    EXPECT_DOUBLE_EQ(d.fields(1).pixels->value(), 250.0);
  });
  run("ActImgSize");
  EXPECT_EQ(paper().width(), 720);
  EXPECT_EQ(paper().height(), 750);
  run("ActEditUndo");
  EXPECT_EQ(paper().width(), 1000);
  EXPECT_EQ(paper().height(), 500);
  // OK without a change, and Cancel, leave the document alone.
  onDialog<TFormImageSize>([](TFormImageSize&) {});
  run("ActImgSize");
  onDialog<TFormImageSize>([](TFormImageSize& d) { type(d.fields(0).pixels, 300); }, false);
  run("ActImgSize");
  EXPECT_EQ(paper().width(), 1000);
}

TEST_F(DocumentDialogs, AnchorCellsAndTheCornerTheImageKeeps) {
  // A mark in the top-left corner stays there when the canvas grows with the
  // top-left anchor, and moves when it grows around the centre.
  struct Case {
    int cell;
    TPoint mark;  // where the first pixel lands
  };
  const Case cases[] = {{0, {0, 0}}, {4, {50, 25}}, {2, {100, 0}}, {6, {0, 50}}};
  mark({0, 0});
  for (const Case& c : cases) {
    onDialog<TFormImageSize>([&c](TFormImageSize& d) {
      TSizePositionControl* anchor = d.anchor();
      EXPECT_EQ(anchor->selected(), 4);
      // A press on the border keeps the cell; a press in a cell takes it.
      QTest::mouseClick(anchor, Qt::LeftButton, {}, QPoint(0, 0));
      EXPECT_EQ(anchor->selected(), 4);
      const TRect& r = anchor->cells().cells[c.cell];
      QTest::mouseClick(anchor, Qt::LeftButton, {}, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
      EXPECT_EQ(anchor->selected(), c.cell);
      type(d.fields(0).pixels, 1100);
      type(d.fields(1).pixels, 550);
    });
    run("ActImgSize");
    ASSERT_EQ(paper().width(), 1100) << c.cell;
    EXPECT_EQ(pixelAt(c.mark), kMark) << c.cell;
    run("ActEditUndo");
    ASSERT_EQ(pixelAt({0, 0}), kMark);
  }
}

TEST_F(DocumentDialogs, ResamplingKeepsTheAspectAndSetsTheResolution) {
  onDialog<TFormResolution>([](TFormResolution& d) {
    EXPECT_TRUE(d.resolutionField()->isVisibleTo(&d));
    EXPECT_TRUE(d.aspectBox()->isChecked());
    type(d.fields(0).pixels, 400);
    EXPECT_DOUBLE_EQ(d.fields(1).pixels->value(), 200.0);
    type(d.resolutionField(), 144);
  });
  run("ActImgReso");
  EXPECT_EQ(paper().width(), 400);
  EXPECT_EQ(paper().height(), 200);
  EXPECT_EQ(paper().resolution(), 144);
  // Scaling a layer: no resolution row, the layer takes the new size.
  onDialog<TFormResolution>([](TFormResolution& d) {
    EXPECT_FALSE(d.resolutionField()->isVisibleTo(&d));
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("拡大縮小"));
    d.aspectBox()->setChecked(false);
    type(d.fields(0).pixels, 100);
  });
  run("ActLyrScale");
  EXPECT_EQ(layer().imageWidth(), 400);  // the image still covers the document
  EXPECT_LT(layer().imageRect().Right - layer().imageRect().Left, 401);
}

TEST_F(DocumentDialogs, RotationWrapsTheAngleAndTurnsTheLayer) {
  onDialog<TFormValue>([](TFormValue& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("回転"));
    d.numberField()->setValue(270);
    emit d.numberField()->editingFinished();
    EXPECT_DOUBLE_EQ(d.numberField()->value(), -90.0);
  });
  run("ActLyrRot");
  // A quarter turn of a 1000 x 500 layer is 500 wide (inside an image that covers the document).
  EXPECT_GE(layer().imageHeight(), 1000);
  run("ActEditUndo");
  EXPECT_EQ(layer().imageHeight(), 500);
  onDialog<TFormValue>([](TFormValue&) {}, false);
  run("ActLyrRot");
  EXPECT_EQ(layer().imageHeight(), 500);
}

TEST_F(DocumentDialogs, LayerPropertiesApplyEachChange) {
  layer().opacity = 128;
  mark({0, 0});
  onDialog<TFormLayerOption>([](TFormLayerOption& d) {
    EXPECT_NEAR(d.opacityField()->value(), 50.2, 0.05);
    EXPECT_EQ(d.opacitySlider()->value(), 502);
    EXPECT_FALSE(d.ditherField()->isEnabled());
    d.ditherBox()->setChecked(true);
    EXPECT_TRUE(d.ditherField()->isEnabled());
    EXPECT_DOUBLE_EQ(d.xField()->minimum(), -1000.0);
    EXPECT_DOUBLE_EQ(d.xField()->maximum(), 1000.0);
    EXPECT_FALSE(d.cropBox()->isChecked());
    EXPECT_FALSE(d.preview().isNull());
    d.nameEdit()->setText(QStringLiteral("ink"));
    d.opacitySlider()->setValue(400);  // the field follows: 40 %
    d.xField()->setValue(12);
  });
  run("ActLyrOpt");
  EXPECT_EQ(layer().name, "ink");
  EXPECT_EQ(layer().opacity, 102);
  EXPECT_TRUE(layer().dissolve);
  EXPECT_EQ(pixelAt({12, 0}), kMark);  // the content moved 12 to the right
  // Undone one by one, last first: the move, then the effect, the opacity, the name.
  run("ActEditUndo");
  EXPECT_EQ(pixelAt({0, 0}), kMark);
  run("ActEditUndo");
  run("ActEditUndo");
  EXPECT_EQ(layer().opacity, 128);
  run("ActEditUndo");
  EXPECT_NE(layer().name, "ink");
  // Unchanged and OK: nothing is recorded.
  onDialog<TFormLayerOption>([](TFormLayerOption&) {});
  run("ActLyrOpt");
  EXPECT_EQ(layer().opacity, 128);
}

TEST_F(DocumentDialogs, NewLayerFromTheDialog) {
  onDialog<TFormNewLayer>([](TFormNewLayer& d) {
    auto* name = d.findChild<QLineEdit*>();
    ASSERT_NE(name, nullptr);
    EXPECT_FALSE(name->text().isEmpty());  // the next layer name is proposed
    name->setText(QStringLiteral("sketch"));
  });
  run("ActLyrNew");
  ASSERT_EQ(paper().layerCount(), 2);
  EXPECT_EQ(paper().currentLayerIndex(), 1);
  EXPECT_EQ(layer().name, "sketch");
  onDialog<TFormNewLayer>([](TFormNewLayer&) {}, false);
  run("ActLyrNew");
  EXPECT_EQ(paper().layerCount(), 2);
}

TEST_F(DocumentDialogs, MaskPropertiesRenameTheMask) {
  run("ActSelAll");
  onDialog<TFormLayerOption>([](TFormLayerOption& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("マスクのプロパティ"));
    EXPECT_FALSE(d.modeList()->isVisibleTo(&d));
    EXPECT_FALSE(d.opacityField()->isVisibleTo(&d));
    d.nameEdit()->setText(QStringLiteral("edge"));
  });
  run("ActMaskOption");
  EXPECT_EQ(paper().masks()->currentMask()->name, "edge");
}

}  // namespace
}  // namespace pg

#include "core/block_pool.h"
#include "io/qt/progress_dialog.h"

namespace pg {
namespace {

// The program's progress windows, watched: every line and per cent a
// window shows after each call the operation makes on it.
class WatchedProgress final : public ProgressService {
 public:
  explicit WatchedProgress(QWidget* owner) : real_(owner), previous_(setProgressService(this)) {}
  ~WatchedProgress() override { setProgressService(previous_); }
  std::vector<QString> titles, lines, percents;

  std::unique_ptr<IProgress> showProgress(int64_t total, const std::string& title,
                                          const std::string& message) override {
    std::unique_ptr<IProgress> shown = real_.showProgress(total, title, message);
    auto* window = dynamic_cast<TProgressDlg*>(shown.get());
    if (window == nullptr) return shown;
    titles.push_back(window->titleText());
    return std::make_unique<Forward>(*this, std::move(shown), *window);
  }

 private:
  class Forward final : public IProgress {
   public:
    Forward(WatchedProgress& w, std::unique_ptr<IProgress> real, TProgressDlg& window)
        : w_(w), real_(std::move(real)), window_(window) {}
    void setCaption(const std::string& t) override { real_->setCaption(t); }
    void setTitle(const std::string& t) override { real_->setTitle(t); }
    void setText(const std::string& t) override {
      real_->setText(t);
      w_.lines.push_back(window_.messageText());
    }
    void setTotal(int64_t total, int64_t position) override { real_->setTotal(total, position); }
    void step(int64_t n) override {
      real_->step(n);
      w_.percents.push_back(window_.percentText());
    }
    void setPosition(int64_t position) override { real_->setPosition(position); }

   private:
    WatchedProgress& w_;
    std::unique_ptr<IProgress> real_;
    TProgressDlg& window_;
  };
  TQtProgressService real_;
  ProgressService* previous_;
};

TEST_F(DocumentDialogs, ScalingTheImageShowsItsProgressLayerByLayer) {
  layer().name = "Lower";
  run("ActLyrDup");
  layer().name = "Upper";
  WatchedProgress watch(&form);
  onDialog<TFormResolution>([](TFormResolution& d) { type(d.fields(0).pixels, 500); });
  run("ActImgReso");
  ASSERT_EQ(paper().width(), 500);
  EXPECT_EQ(watch.titles, std::vector<QString>{QString::fromUtf8("解像度を変更しています")});
  // One step per layer, each naming its layer.
  EXPECT_EQ(watch.lines, (std::vector<QString>{QString::fromUtf8("Lowerを処理中..."), QString::fromUtf8("Upperを処理中...")}));
  EXPECT_EQ(watch.percents, (std::vector<QString>{QStringLiteral("50%"), QStringLiteral("100%")}));
}

TEST_F(DocumentDialogs, ShortOfMemoryTheCanvasSizeAsksAndAdvisesSavingFirstWhenModified) {
  const std::string question = "メモリ不足のためアンドゥは実行できませんがよろしいですか?";
  for (const bool modified : {false, true}) {
    SCOPED_TRACE(modified ? "modified" : "saved");
    window->window().setModified(modified);
    messages.clear();
    {
      CTilePoolFailScope failing(0);
      onDialog<TFormImageSize>([](TFormImageSize& d) { type(d.fields(0).pixels, 1100); });
      run("ActImgSize");
    }
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().text,
              modified ? question + "\n* 実行前にファイルを保存しておくことをおすすめします *" : question);
    // Refused: the document keeps its size.
    EXPECT_EQ(paper().width(), 1000);
  }
}

}  // namespace
}  // namespace pg
