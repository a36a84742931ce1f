// The main window's file roads under the offscreen platform: the command
// path, a drop, the recent files, the same file twice, save and reopen,
// copy and paste between documents and with other programs, the close
// prompt's Yes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QPrinter>
#include <QTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/app_profile.h"
#include "app/document_files.h"
#include "app/mru_file_list.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "app/qt/modal_dialog.h"
#include "app/qt/print_dialog.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "core/block_pool.h"
#include "core/chunk_head.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "io/clipboard_image.h"
#include "io/file_result_text.h"
#include "io/image_codecs.h"
#include "io/native_file_writer.h"
#include "io/native_fixture.h"
#include "io/qt/file_dialog.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "record/legacy_stream_fixture.h"
#include "replay/replay_compare.h"
#include "platform/message_service.h"
#include "platform/settings_store.h"
#include "platform/string_table.h"
#include "test_support/plane_pixels.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

using testing::samePlanes;

class MainFormFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    EXPECT_TRUE(picture_.Resize(24, 16));
    testing::fillWith(picture_, [](int32_t x, int32_t y) {
      return ((x * 5 + y) % 4 == 0 ? 0x80000000u : 0xFF000000u) | uint32_t(x * 10) << 16 | uint32_t(y * 15) << 8 | 3u;
    });
    png_ = dir_.file("pic.png");
    ASSERT_EQ(pngSaveImage(png_, picture_, 0, true), kRcOk);
  }
  void TearDown() override { (void)setFileDialogRunner(nullptr); }

  std::unique_ptr<TMTC> layerPixels(TDrawWindowWidget& w, int32_t index) {
    return exportLayer(w.window().paper(), index);
  }
  // A drag entering the window, then the drop, as the window system sends them.
  static void dropOn(TMainForm& form, QMimeData* mime) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
  }
  // Closes a document window without the save prompt.
  static void closeQuietly(TDrawWindowWidget& w) {
    w.window().exchangeModified(false);
    delete w.parentWidget();
  }
  void trigger(TMainForm& form, const char* name) { testing::runCommand(form, name); }

  RecordingMessageService messages_;
  ScopedMessageService scope_{messages_};
  testing::TempFolder dir_;
  TMTC picture_;
  std::string png_;
};

TEST_F(MainFormFiles, HandedOverAndDroppedFilesOpenOnceEach) {
  TMainForm form;
  form.show();
  form.handOverFile(QString::fromStdString(png_));
  QApplication::processEvents();
  ASSERT_EQ(form.drawWindows().size(), 1);
  TDrawWindowWidget* w = form.drawWindows().first();
  std::unique_ptr<TMTC> layer = layerPixels(*w, 0);
  ASSERT_TRUE(layer);
  EXPECT_TRUE(samePlanes(*layer, picture_));
  EXPECT_EQ(form.recentFiles().items().front(), png_);

  // The same file again (here by a drop) brings the open window forward.
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(png_))});
  dropOn(form, mime);
  EXPECT_EQ(form.drawWindows().size(), 1);

  // A second file by a drop opens a second window; a missing one is reported.
  ASSERT_EQ(bmpSaveImage(dir_.file("b.bmp"), picture_, 0, false), kRcOk);
  mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(dir_.file("b.bmp"))),
                 QUrl::fromLocalFile(QString::fromStdString(dir_.file("none.png")))});
  dropOn(form, mime);
  EXPECT_EQ(form.drawWindows().size(), 2);
  ASSERT_FALSE(messages_.shown().empty());
  EXPECT_NE(messages_.shown().back().text.find("ファイルが見つかりません"), std::string::npos);
  delete mime;

  // Unsupported and broken files give a message and no window.
  std::filesystem::copy_file(png_, dir_.file("x.txt"));
  std::filesystem::copy_file(dir_.file("x.txt"), dir_.file("broken.png"));
  std::filesystem::resize_file(dir_.file("broken.png"), 30);
  EXPECT_EQ(form.openFile(QString::fromStdString(dir_.file("x.txt"))), nullptr);
  EXPECT_EQ(form.openFile(QString::fromStdString(dir_.file("broken.png"))), nullptr);
  EXPECT_NE(messages_.shown().back().text.find("err=9"), std::string::npos);
  EXPECT_EQ(form.drawWindows().size(), 2);
}

// A picture that cannot be put into its new window (no tile memory) is
// reported, and the empty window it was meant for does not stay.
TEST_F(MainFormFiles, APictureThatCannotBePlacedLeavesNoWindowAndSaysWhy) {
  TMainForm form;
  form.show();
  auto* mime = new QMimeData;
  const std::vector<uint8_t> bytes = encodePng(picture_, 0, false);
  mime->setData(QStringLiteral("image/png"), QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
  form.actions().updateAll();
  struct {
    const char* name;
    std::function<void()> act;
    std::string message;
  } cases[] = {
      {"open a picture file", [&] { EXPECT_EQ(form.openFile(QString::fromStdString(png_)), nullptr); },
       "err=1"},
      {"new from the clipboard", [&] { form.actions().action("ActFileNewFromCB")->trigger(); }, resString(65139)},
  };
  for (const auto& c : cases) {
    messages_.clear();
    {
      CTilePoolFailScope noTiles(0);
      c.act();
    }
    EXPECT_EQ(form.drawWindows().size(), 0) << c.name;
    ASSERT_FALSE(messages_.shown().empty()) << c.name;
    EXPECT_NE(messages_.shown().back().text.find(c.message), std::string::npos) << c.name << ": " << messages_.shown().back().text;
  }
}

// Windows that are not maximised open around their picture and its margin,
// whichever road the file comes by and whatever size the reader starts from.
TEST_F(MainFormFiles, AnOpenedDocumentWindowFitsItsPicture) {
  appProfile().childWinMax = false;
  TMainForm form;
  form.resize(1000, 800);
  form.show();
  const std::string kci = dir_.file("doc.kci");
  {
    TDrawWindowWidget* made = form.newDrawWindow(QStringLiteral("doc"), 150, 90, 72);
    ASSERT_NE(made, nullptr);
    ASSERT_TRUE(writeNativeFile(kci, made->window().paper(), kNativeLayers));
    closeQuietly(*made);
  }
  (void)setFileDialogRunner([&](SFileDialogRequest& r) {
    r.fileName = kci;
    return true;
  });
  const struct {
    const char* road;
    std::function<void()> open;
    QSize picture;
  } roads[] = {
      {"File > Open of a native file", [&] { trigger(form, "ActFileOpen"); }, {150, 90}},
      {"the command line", [&] { form.handOverFile(QString::fromStdString(kci)); }, {150, 90}},
      {"a picture file", [&] { form.handOverFile(QString::fromStdString(png_)); }, {24, 16}},
  };
  for (const auto& r : roads) {
    r.open();
    QApplication::processEvents();
    ASSERT_EQ(form.drawWindows().size(), 1) << r.road;
    TDrawWindowWidget* w = form.drawWindows().first();
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->isMaximized()) << r.road;
    const QSize view = w->viewport()->size();
    EXPECT_GE(view.width(), r.picture.width() + 40) << r.road;
    EXPECT_GE(view.height(), r.picture.height() + 40) << r.road;
    EXPECT_LE(view.width(), r.picture.width() + 80) << r.road;
    EXPECT_LE(view.height(), r.picture.height() + 80) << r.road;
    closeQuietly(*w);
  }
  resetAppProfile();
}

// A file that does not open leaves no window, and one message names it and
// says in words what is wrong with it; a native file cut short in its layers
// opens with what could be read, at its own size, and says so in one message.
TEST_F(MainFormFiles, FilesThatDoNotOpenAreNamedAndExplained) {
  TMainForm form;
  form.show();
  std::vector<uint8_t> noise(700);
  uint32_t seed = 12345;
  for (uint8_t& b : noise) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
  const struct {
    const char* name;
    uint32_t reason;
  } cases[] = {
      {"noise.png", kResReasonWrongFormat}, {"noise.jpg", kResReasonWrongFormat},
      {"noise.psd", kResReasonWrongFormat}, {"noise.kci", kResReasonWrongFormat},
      {"short.kci", kResReasonCutShort},
  };
  for (const auto& c : cases) {
    const std::string file = dir_.file(c.name);
    {
      std::ofstream out(file, std::ios::binary);
      if (std::string(c.name) == "short.kci")
        out.write("KPIM", 4);  // the header's tag, and nothing after it
      else
        out.write(reinterpret_cast<const char*>(noise.data()), std::streamsize(noise.size()));
    }
    messages_.clear();
    form.handOverFile(QString::fromStdString(file));
    QApplication::processEvents();
    EXPECT_EQ(form.drawWindows().size(), 0) << c.name;
    ASSERT_EQ(messages_.shown().size(), 1u) << c.name;
    const std::string& text = messages_.shown().front().text;
    EXPECT_NE(text.find(file), std::string::npos) << text;
    EXPECT_NE(text.find(resString(c.reason)), std::string::npos) << text;
  }

  // A native file cut in the middle of its second layer.
  const std::string kci = dir_.file("cut.kci");
  {
    TDrawWindowWidget* made = form.newDrawWindow(QStringLiteral("cut"), 64, 48, 72);
    ASSERT_NE(made, nullptr);
    TPaper& doc = made->window().paper();
    ASSERT_TRUE(doc.newLayer(&made->window().flow(), 1, true, "ink", 0xFF336699u, 200, 3, 64, 48, true));
    ASSERT_TRUE(writeNativeFile(kci, doc, kNativeLayers));
    closeQuietly(*made);
  }
  std::filesystem::resize_file(kci, std::filesystem::file_size(kci) - 40);
  for (int attempt = 0; attempt < 2; ++attempt) {
    messages_.clear();
    form.handOverFile(QString::fromStdString(kci));
    QApplication::processEvents();
    ASSERT_EQ(form.drawWindows().size(), 1) << attempt;
    if (attempt == 1) {
      EXPECT_TRUE(messages_.shown().empty()) << "the open window comes forward";
      break;
    }
    ASSERT_EQ(messages_.shown().size(), 1u);
    const std::string& text = messages_.shown().front().text;
    EXPECT_EQ(text.rfind(kci + "\r", 0), 0u) << text;
    EXPECT_NE(text.find(resString(kResReasonCutShort)), std::string::npos) << text;
    TDrawWindowWidget* w = form.drawWindows().first();
    EXPECT_EQ(w->window().paper().width(), 64);
    EXPECT_GE(w->viewport()->width(), 64);
  }
}

TEST_F(MainFormFiles, SaveThenReopenGivesTheSamePixels) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.openFile(QString::fromStdString(png_));
  ASSERT_NE(w, nullptr);
  const std::string kci = dir_.file("saved.kci");
  (void)setFileDialogRunner([&](SFileDialogRequest& r) {
    EXPECT_EQ(r.kind, 8);
    r.fileName = kci;
    return true;
  });
  trigger(form, "ActFileSaveAs");
  ASSERT_TRUE(std::filesystem::exists(kci));
  EXPECT_EQ(w->window().fileName(), kci);
  EXPECT_EQ(form.recentFiles().items().front(), kci);
  qobject_cast<QMdiSubWindow*>(w->parentWidget())->close();
  QApplication::processEvents();

  TDrawWindowWidget* again = form.openFile(QString::fromStdString(kci));
  ASSERT_NE(again, nullptr);
  std::unique_ptr<TMTC> layer = layerPixels(*again, 0);
  ASSERT_TRUE(layer);
  EXPECT_TRUE(samePlanes(*layer, picture_));
  EXPECT_FALSE(again->isModified());
}

// Save As to a flat picture from a document kept in the native format is an
// export: the window keeps its native file, which the next save writes; a
// document without a native file takes the picture's name. Each success says
// so as information.
TEST_F(MainFormFiles, SaveAsAFlatPictureExportsWithoutRenamingANativeDocument) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.openFile(QString::fromStdString(png_));
  ASSERT_NE(w, nullptr);
  std::string chosen;
  (void)setFileDialogRunner([&](SFileDialogRequest& r) {
    r.fileName = chosen;
    return true;
  });
  const std::string kci = dir_.file("kept.kci"), flat = dir_.file("flat.png"), flat2 = dir_.file("flat2.bmp");
  const struct {
    std::string target;
    std::string fileAfter;
  } steps[] = {
      {flat2, flat2},  // a picture's document follows its save
      {kci, kci},
      {flat, kci},  // an export
  };
  for (const auto& step : steps) {
    chosen = step.target;
    messages_.clear();
    trigger(form, "ActFileSaveAs");
    EXPECT_TRUE(std::filesystem::exists(step.target)) << step.target;
    EXPECT_EQ(w->window().fileName(), step.fileAfter) << step.target;
    EXPECT_EQ(form.recentFiles().items().front(), step.target);
    ASSERT_EQ(messages_.shown().size(), 1u) << step.target;
    EXPECT_EQ(messages_.shown().front().kind, MessageKind::Information);
  }
  EXPECT_NE(w->windowTitle().toStdString().find("kept"), std::string::npos) << w->windowTitle().toStdString();
  std::filesystem::remove(kci);
  trigger(form, "ActFileSave");
  EXPECT_TRUE(std::filesystem::exists(kci));
}

// The dated BMP goes into the save folder under the first free number of the
// day, says so, and joins the recent files; the document keeps its own file.
TEST_F(MainFormFiles, TheDatedBitmapTakesTheNextFreeNumberOfTheDay) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.openFile(QString::fromStdString(png_));
  ASSERT_NE(w, nullptr);
  appProfile().FileIODir = 0;
  appProfile().savePath = dir_.file("dated");
  std::filesystem::create_directories(appProfile().savePath);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string first = datedBmpName(appProfile().savePath, local, {});
  std::ofstream(first) << "taken";
  messages_.clear();
  trigger(form, "ActFileSaveAuto");
  const std::string written = form.recentFiles().items().front();
  EXPECT_NE(written, first);
  EXPECT_EQ(std::filesystem::path(written).parent_path(), std::filesystem::path(appProfile().savePath));
  int32_t dpi = 0;
  std::unique_ptr<TMTC> saved = loadImageFile(written, dpi);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->Width, picture_.Width);
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown().front().kind, MessageKind::Information);
  EXPECT_EQ(w->window().fileName(), png_);
}

// Work done through the document's recorded operations (layers of several
// sizes, kinds and attributes, masks, a selection), plus painted tiles, saved
// with Save As and opened again by the main window.
TEST_F(MainFormFiles, NativeSaveAndReopenKeepLayersMasksSelectionAndRecording) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.newDrawWindow(QStringLiteral("work"), 120, 80, 144);
  ASSERT_NE(w, nullptr);
  TPaper& doc = w->window().paper();
  TFlowImage& flow = w->window().flow();
  TStroke& stroke = w->window().shared().toolStroke();
  ASSERT_TRUE(doc.newLayer(&flow, 1, true, "ink", 0xFF336699u, 200, 3, 80, 120, true));
  ASSERT_TRUE(doc.newLayerEx(&flow, 2, true, 128, 8, 100, 160, true));  // larger than the document
  ASSERT_TRUE(doc.setLayerName(2, "wash", true));
  ASSERT_TRUE(doc.offsetLayer(&flow, 2, TPoint{-7, -5}, true));
  ASSERT_TRUE(doc.setLayerEffect(1, true, 77, true));
  ASSERT_TRUE(doc.setProtectAlpha(1, 1, true));
  ASSERT_TRUE(doc.setLayerVisible(0, false, true));
  ASSERT_TRUE(doc.setLayerBlendMode(1, 5, true));
  // Painted tiles on two layers (the pixels a save must keep one by one).
  test::commitVaried(*doc.getLayer(1)->image, 0, 11);
  test::commitVaried(*doc.getLayer(2)->image, 5, 12);
  // Two masks: an ellipse in the first, the selection a rectangle in a new one.
  ASSERT_TRUE(doc.maskFigureEllipse(flow, 1, TPointF{10, 10}, TPointF{70, 50}, 0.0, 0, stroke, true));
  ASSERT_TRUE(doc.newMask(flow, 1, doc.masks()->current(), true));
  ASSERT_TRUE(doc.setMaskName(1, "outline", -1, true));
  ASSERT_TRUE(doc.maskFigureRect(flow, 1, TPointF{30, 20}, TPointF{90, 64}, 0, stroke, true));
  ASSERT_TRUE(doc.setCurrentLayer(&flow, 1));
  ASSERT_TRUE(doc.hasSelection());
  doc.redraw(false);
  const CEventMngr& store = *documentEventStore(doc);
  const std::vector<uint8_t> recording = test::committedStream(store);
  ASSERT_GT(store.committedCount(), 10u);

  const std::string kci = dir_.file("work.kci");
  (void)setFileDialogRunner([&](SFileDialogRequest& r) {
    r.fileName = kci;
    return true;
  });
  trigger(form, "ActFileSaveAs");
  ASSERT_TRUE(std::filesystem::exists(kci));
  EXPECT_FALSE(w->isModified());

  // A copy, so that the open window is not simply brought forward.
  std::filesystem::copy_file(kci, dir_.file("copy.kci"));
  TDrawWindowWidget* again = form.openFile(QString::fromStdString(dir_.file("copy.kci")));
  ASSERT_NE(again, nullptr);
  ASSERT_NE(again, w);
  const TPaper& back = again->window().paper();
  EXPECT_EQ(back.width(), 120);
  EXPECT_EQ(back.height(), 80);
  EXPECT_EQ(back.resolution(), 144);
  ASSERT_EQ(back.layerCount(), doc.layerCount());
  for (int32_t i = 0; i < doc.layerCount(); ++i) test::expectSameLayer(*doc.getLayer(i), *back.getLayer(i));
  EXPECT_EQ(back.currentLayerIndex(), 1);
  ASSERT_EQ(back.masks()->count(), doc.masks()->count());
  for (int32_t i = 0; i < doc.masks()->count(); ++i)
    test::expectSameMask(*doc.masks()->getMask(i), *back.masks()->getMask(i));
  EXPECT_EQ(back.masks()->current(), doc.masks()->current());
  EXPECT_EQ(back.masks()->currentMask()->name, "outline");
  EXPECT_TRUE(back.hasSelection());
  EXPECT_EQ(back.selectionEnabled(), doc.selectionEnabled());
  EXPECT_EQ(back.antsShown(), doc.antsShown());
  // The recording comes back whole, and the reader's reset point after it.
  const std::vector<uint8_t> reopened = test::committedStream(*documentEventStore(back));
  ASSERT_GT(reopened.size(), recording.size());
  EXPECT_TRUE(std::equal(recording.begin(), recording.end(), reopened.begin()));
  EXPECT_FALSE(again->isModified());

  // Revert, answered Yes, throws a change away and shows the file again.
  ASSERT_TRUE(again->window().paper().invertLayer(again->window().flow(), 1, true));
  again->window().setModified(true);
  messages_.queueAnswer(kMrYes);
  const qsizetype windows = form.drawWindows().size();
  trigger(form, "ActFileRevert");
  QApplication::processEvents();
  ASSERT_EQ(form.drawWindows().size(), windows);
  TDrawWindowWidget* reverted = form.activeDrawWindow();
  ASSERT_NE(reverted, nullptr);
  EXPECT_EQ(reverted->window().fileName(), dir_.file("copy.kci"));
  EXPECT_FALSE(reverted->isModified());
  test::expectSameLayer(*doc.getLayer(1), *reverted->window().paper().getLayer(1));
}

// A version 1.1 recording opens like any file into a window that replays it
// on the tick and is never written back; one that does not pass the check
// is reported and leaves no window.
TEST_F(MainFormFiles, AVersionOneRecordingOpensAndReplays) {
  TMainForm form;
  form.show();
  test::LegacyStream stream(50, 40);
  stream.stroke(0, 0, 0x102040, 3 * 256, {{4, 4, 1024}, {40, 30, 900}}).record(256, {3}).end();
  TEventPacket packet;
  SLegacyStreamInfo info;
  ASSERT_TRUE(packet.adopt(stream.bytes().data(), stream.bytes().size(), info));
  const std::string lge = dir_.file("old.lge");
  ASSERT_TRUE(packet.saveToFile(lge));
  TDrawWindowWidget* w = form.openFile(QString::fromStdString(lge));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->window().isReplaying());
  for (int i = 0; i < 500 && w->window().isReplaying(); ++i) QTest::qWait(20);
  ASSERT_FALSE(w->window().isReplaying());
  EXPECT_EQ(w->window().paper().width(), 50);
  EXPECT_EQ(w->window().paper().layerCount(), 2);
  EXPECT_FALSE(w->window().hasFileName());
  EXPECT_EQ(form.recentFiles().items().front(), lge);

  std::filesystem::resize_file(lge, std::filesystem::file_size(lge) - 1);
  const qsizetype windows = form.drawWindows().size();
  EXPECT_EQ(form.openFile(QString::fromStdString(lge)), nullptr);
  EXPECT_EQ(form.drawWindows().size(), windows);
  ASSERT_FALSE(messages_.shown().empty());
  EXPECT_EQ(messages_.shown().back().text, resString(66545));
}

// Edit > Cut takes the selected part out of the layer the way its recorded
// event replays (the remaining alpha is such that the cut part laid back
// over it gives the pixel again), and Edit > Paste makes a layer with the
// copied attributes, which its event carries: the recording replays, live
// and from a ".kci", to the same picture.
TEST_F(MainFormFiles, CutAndPasteReplayToTheSamePicture) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.newDrawWindow(QStringLiteral("cut"), 64, 48, 72);
  ASSERT_NE(w, nullptr);
  TPaper& doc = w->window().paper();
  TFlowImage& flow = w->window().flow();
  TStroke& stroke = w->window().shared().toolStroke();
  ASSERT_TRUE(doc.fillLayerAlpha(flow, 0, 128, true));
  ASSERT_TRUE(doc.setLayerBlendMode(0, 2, true));
  ASSERT_TRUE(doc.setLayerOpacity(0, 140, true));
  ASSERT_TRUE(doc.maskFigureEllipse(flow, 0, TPointF{8, 6}, TPointF{50, 40}, 0.0, 0, stroke, true));
  ASSERT_TRUE(doc.hasSelection());
  // A pixel on the soft edge of the selection.
  const CMaskData& mask = *doc.masks()->currentMask();
  TPoint edge{-1, -1};
  uint32_t m = 0;
  for (int32_t y = 0; y < 48 && edge.X < 0; ++y)
    for (int32_t x = 0; x < 64 && edge.X < 0; ++x) {
      const int32_t v = mask.valueAtPaper(x, y);
      if (v > 60 && v < 200) edge = TPoint{x, y}, m = uint32_t(v);
    }
  ASSERT_GE(edge.X, 0);
  // A point inside the selection, well off its box's top left corner.
  const uint32_t inside = doc.getLayer(0)->image->getPixel(40, 30);
  ASSERT_EQ(doc.masks()->currentMask()->valueAtPaper(40, 30), 255);
  trigger(form, "ActEditCut");
  const uint32_t left = doc.getLayer(0)->image->getPixel(edge.X, edge.Y) >> 24;
  EXPECT_EQ(left, (255 - m) * 128 * 255 / (65025 - m * 128)) << "m " << m;
  trigger(form, "ActEditPasteNew");
  ASSERT_EQ(doc.layerCount(), 2);
  EXPECT_EQ(doc.getLayer(1)->blendMode, 2);
  EXPECT_EQ(doc.getLayer(1)->opacity, 140);
  // The piece comes back where it was cut, nothing around it.
  const CLayerData& pasted = *doc.getLayer(1);
  EXPECT_EQ(pasted.image->getPixel(40 + pasted.offsetX, 30 + pasted.offsetY), inside);
  EXPECT_EQ(pasted.image->getPixel(1 + pasted.offsetX, 1 + pasted.offsetY) >> 24, 0u);
  test::expectReplaysAlike(doc, "cut and paste");
}

TEST_F(MainFormFiles, CopyThenPasteGivesTheSameLayerPixelsAndOtherProgramsSeeAPng) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* source = form.openFile(QString::fromStdString(png_));
  ASSERT_NE(source, nullptr);
  source->window().paper().currentLayer()->name = "ink";
  trigger(form, "ActEditCopyLayer");

  // Another program reads the PNG.
  const QMimeData* onClipboard = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(onClipboard, nullptr);
  ASSERT_TRUE(onClipboard->hasFormat(QStringLiteral("image/png")));
  const QByteArray png = onClipboard->data(QStringLiteral("image/png"));
  TMTC seen;
  int32_t dpi = 0;
  ASSERT_EQ(decodePng(reinterpret_cast<const uint8_t*>(png.constData()), size_t(png.size()), seen, dpi), kRcOk);
  EXPECT_TRUE(samePlanes(seen, picture_));

  TDrawWindowWidget* target = form.newDrawWindow(QStringLiteral("target"), 40, 30, 72);
  ASSERT_NE(target, nullptr);
  trigger(form, "ActEditPasteNew");
  ASSERT_EQ(target->window().paper().layerCount(), 2);
  EXPECT_EQ(target->window().paper().getLayer(1)->name, "ink");
  std::unique_ptr<TMTC> pasted = exportLayer(target->window().paper(), 1);
  ASSERT_TRUE(pasted);
  std::unique_ptr<TMTC> part = std::make_unique<TMTC>(24, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 24; ++x) *part->pixelAt(x, y) = pasted->getPixel(x, y);
  EXPECT_TRUE(samePlanes(*part, picture_));
  EXPECT_TRUE(target->isModified());

  // A PNG another program put there becomes a new document.
  auto* foreign = new QMimeData;
  const std::vector<uint8_t> bytes = encodePng(picture_, 0, false);
  foreign->setData(QStringLiteral("image/png"), QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(foreign);
  const qsizetype before = form.drawWindows().size();
  trigger(form, "ActFileNewFromCB");
  ASSERT_EQ(form.drawWindows().size(), before + 1);
  TDrawWindowWidget* made = form.activeDrawWindow();
  ASSERT_NE(made, nullptr);
  std::unique_ptr<TMTC> layer = layerPixels(*made, 0);
  ASSERT_TRUE(layer);
  EXPECT_EQ(layer->getPixel(3, 5), picture_.getPixel(3, 5) | 0xFF000000u);
}

TEST_F(MainFormFiles, TheClosePromptsYesSavesAndRevertAsksFirst) {
  TMainForm form;
  form.show();
  const std::string kci = dir_.file("doc.kci");
  TDrawWindowWidget* w = form.openFile(QString::fromStdString(png_));
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(form.saveDrawWindow(*w, QString::fromStdString(kci)));
  const auto written = std::filesystem::last_write_time(kci);
  std::filesystem::last_write_time(kci, written - std::chrono::hours(1));

  // Revert of a modified document asks; No keeps the window as it is.
  w->window().setModified(true);
  messages_.queueAnswer(kMrNo);
  trigger(form, "ActFileRevert");
  EXPECT_EQ(form.drawWindows().size(), 1);
  EXPECT_TRUE(w->isModified());

  w->saveQuestion = [](const std::string&) { return kAnswerYes; };
  ASSERT_TRUE(qobject_cast<QMdiSubWindow*>(w->parentWidget())->close());
  QApplication::processEvents();
  EXPECT_EQ(form.drawWindows().size(), 0);
  EXPECT_GT(std::filesystem::last_write_time(kci), written - std::chrono::hours(1));
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

// Revert reads the file before it lets the window go: a file that no longer
// reads leaves the changed document where it was. Names differing only by
// case are different files; a double click on the empty area opens a file;
// the recordings' folder is used only when the preferences keep one.
TEST_F(MainFormFiles, RevertKeepsTheDocumentWhenTheFileNoLongerReads) {
  TMainForm form;
  form.show();
  const std::string upper = dir_.file("Pic.png");
  std::filesystem::copy_file(png_, upper);
  TDrawWindowWidget* lower = form.openFile(QString::fromStdString(png_));
  ASSERT_NE(lower, nullptr);
  TDrawWindowWidget* other = form.openFile(QString::fromStdString(upper));
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, lower);
  EXPECT_EQ(form.drawWindows().size(), 2);

  // The file turns unreadable; the changed document survives a revert.
  ASSERT_TRUE(lower->window().paper().invertLayer(lower->window().flow(), 0, true));
  lower->window().setModified(true);
  std::filesystem::resize_file(png_, 30);
  messages_.clear();
  messages_.queueAnswer(kMrYes);
  QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(lower->parentWidget());
  ASSERT_NE(sub, nullptr);
  form.documentArea()->setActiveSubWindow(sub);
  trigger(form, "ActFileRevert");
  QApplication::processEvents();
  EXPECT_EQ(form.drawWindows().size(), 2);
  EXPECT_TRUE(form.drawWindows().contains(lower));
  EXPECT_TRUE(lower->isModified());
  ASSERT_GE(messages_.shown().size(), 2u);
  EXPECT_NE(messages_.shown().back().text.find("err="), std::string::npos);
}

TEST_F(MainFormFiles, DoubleClickOnTheEmptyAreaOpensAndTheEventFolderFollowsThePreference) {
  TMainForm form;
  form.resize(600, 400);
  form.show();
  std::vector<std::pair<int32_t, std::string>> asked;  // dialog kind, folder
  (void)setFileDialogRunner([&](SFileDialogRequest& r) {
    asked.emplace_back(r.kind, r.folder);
    r.fileName = png_;
    return true;
  });
  QTest::mouseDClick(form.documentArea()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, 0);
  EXPECT_EQ(form.drawWindows().size(), 1);

  CAppProfile& prefs = appProfile();
  prefs.loadPath = dir_.file("pictures");
  prefs.eventPath = dir_.file("events");
  for (uint32_t bits : {1u, 3u}) {
    prefs.FileIODir = bits;
    asked.clear();
    trigger(form, "ActEventOpen");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].second, bits & 2 ? prefs.eventPath : prefs.loadPath) << bits;
  }
  resetAppProfile();
}

// Open, Event > Open and the print file start where the last one of their
// kind was chosen, in this session and after a restart; the folders live in
// the preferences, not in the dialogs.
TEST_F(MainFormFiles, OpenOpenEventsAndPrintStartInTheFolderLastUsedAlsoAfterARestart) {
  CFileSettingsStore store(dir_.file("settings"));
  setAppSettingsStore(&store);
  resetAppProfile();
  (void)appProfile().load(store);
  const std::string home = dir_.file("home");
  for (const char* f : {"home", "pictures", "events", "printed"}) std::filesystem::create_directory(dir_.path() / f);
  for (std::string* path : {&appProfile().loadPath, &appProfile().savePath, &appProfile().eventPath}) *path = home;
  const std::string picture = dir_.file("pictures/a.png"), recording = dir_.file("events/none.ke4");
  ASSERT_EQ(pngSaveImage(picture, picture_, 0, true), kRcOk);
  std::ofstream(recording) << "no recording";
  const QString pdf = QString::fromStdString(dir_.file("printed/page.pdf"));

  // A command's real file dialog: the folder it shows, then the file picked.
  auto chooseIn = [this](TMainForm& form, const char* command, const std::string& file) {
    QString shown;
    testing::onDialog<QDialog>([&](QDialog& d) {
      auto& dialog = dynamic_cast<QFileDialog&>(d);
      shown = dialog.directory().absolutePath();
      dialog.selectFile(QString::fromStdString(file));
    });
    trigger(form, command);
    return shown.toStdString();
  };
  // The folder the print command proposes its file in.
  auto printIn = [](TMainForm& form, const QString& chosen) {
    QString proposed;
    form.choosePrintFile = [&](const QString& suggestion) {
      proposed = suggestion;
      return chosen;
    };
    QTimer::singleShot(0, [] {
      if (auto* d = qobject_cast<TFormPrint*>(QApplication::activeModalWidget())) d->accept();
    });
    form.actions().updateAll();
    form.actions().action("ActFilePrint")->trigger();
    return QFileInfo(proposed).absolutePath().toStdString();
  };

  auto* form = new TMainForm;
  form->show();
  EXPECT_EQ(chooseIn(*form, "ActFileOpen", picture), home);
  ASSERT_EQ(form->drawWindows().size(), 1);
  EXPECT_EQ(chooseIn(*form, "ActFileOpen", picture), dir_.file("pictures")) << "the same session";
  // The recordings share the picture folder while the preferences keep no
  // folder of their own for them.
  EXPECT_EQ(chooseIn(*form, "ActEventOpen", recording), dir_.file("pictures"));
  EXPECT_EQ(chooseIn(*form, "ActFileOpen", picture), dir_.file("events"));
  const bool printsToFile = form->printer().outputFormat() == QPrinter::PdfFormat;
  TDrawWindowWidget* untitled = form->newDrawWindow("page", 20, 10, 72);
  ASSERT_NE(untitled, nullptr);
  if (printsToFile) {
    EXPECT_EQ(printIn(*form, pdf), home);
    EXPECT_EQ(printIn(*form, QString()), dir_.file("printed")) << "the same session";
  }
  for (TDrawWindowWidget* w : form->drawWindows()) closeQuietly(*w);
  ASSERT_TRUE(form->close());
  ASSERT_TRUE(appProfile().save(store));
  delete form;

  resetAppProfile();
  (void)appProfile().load(store);
  TMainForm again;
  again.show();
  EXPECT_EQ(chooseIn(again, "ActFileOpen", picture), dir_.file("pictures")) << "after a restart";
  ASSERT_NE(again.newDrawWindow("page", 20, 10, 72), nullptr);
  if (printsToFile) {
    EXPECT_EQ(printIn(again, QString()), dir_.file("printed")) << "after a restart";
  }
  for (TDrawWindowWidget* w : again.drawWindows()) closeQuietly(*w);
  resetAppProfile();
  setAppSettingsStore(nullptr);
}

}  // namespace
}  // namespace pg
