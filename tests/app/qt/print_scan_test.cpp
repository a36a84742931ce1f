// Printing a document to a PDF page and scanning a page into a new document,
// through the menu commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QFile>
#include <QImage>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <functional>

#include "app/dialog_texts.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "app/qt/print_dialog.h"
#include "app/qt/scan_options_dialog.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "core/block_image.h"
#include "core/units.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

void trigger(TMainForm& form, const char* name) { testing::runCommand(form, name); }

// Four coloured quarters, so that a misplaced, turned or stretched print shows.
constexpr uint32_t kQuarters[4] = {0xFFE02020u, 0xFF20C040u, 0xFF2040E0u, 0xFFF0D020u};

void paintQuarters(TPaper& paper) {
  CLayerData& l = *paper.getLayer(paper.currentLayerIndex());
  for (int32_t y = 0; y < paper.height(); ++y)
    for (int32_t x = 0; x < paper.width(); ++x) {
      int q = (y * 2 / paper.height()) * 2 + x * 2 / paper.width();
      ASSERT_TRUE(l.image->setPixel(x + l.offsetX, y + l.offsetY, kQuarters[q]));
    }
  paper.redraw(false);
}

bool near(QRgb got, uint32_t want, int tolerance) {
  return std::abs(qRed(got) - int((want >> 16) & 0xFF)) <= tolerance &&
         std::abs(qGreen(got) - int((want >> 8) & 0xFF)) <= tolerance &&
         std::abs(qBlue(got) - int(want & 0xFF)) <= tolerance;
}

TEST(PrintCommand, PdfPageShowsTheDocumentWhereItWasPlaced) {
  testing::ensureQtApp();
  testing::TempFolder dir;
  TMainForm form;
  form.show();
  // 200 x 100 pixels at 100 pixels per inch: 2 x 1 inches at 100 %.
  TDrawWindowWidget* w = form.newDrawWindow("print", 200, 100, 100);
  ASSERT_NE(w, nullptr);
  paintQuarters(w->window().paper());
  QPrinter& printer = form.printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = QString::fromStdString(dir.path().string() + "/page.pdf");
  printer.setOutputFileName(pdf);
  form.choosePrintFile = [pdf](const QString&) { return pdf; };
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10)));

  QTimer::singleShot(0, [] {
    auto* d = qobject_cast<TFormPrint*>(QApplication::activeModalWidget());
    if (d == nullptr) {
      ADD_FAILURE() << "no print dialog";
      return;
    }
    // Opens centred at 100 %.
    EXPECT_TRUE(d->centreBox()->isChecked());
    EXPECT_FALSE(d->field(0)->isEnabled());
    EXPECT_NEAR(d->field(4)->value(), 100.0, 1e-6);
    d->centreBox()->setChecked(false);
    EXPECT_TRUE(d->field(0)->isEnabled());
    d->unitList(0)->setCurrentIndex(kUnitInch);
    d->unitList(1)->setCurrentIndex(kUnitInch);
    d->field(0)->setValue(0.5);
    d->field(1)->setValue(1.0);
    EXPECT_FALSE(d->previewBox()->grab().isNull());
    d->accept();
  });
  trigger(form, "ActFilePrint");
  ASSERT_TRUE(QFile::exists(pdf));

  // The page at 50 dots per inch: the picture 100 x 50 at (25, 50).
  const QString png = QString::fromStdString(dir.path().string() + "/page");
  ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"),
                                                          QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                                                          png}),
            0);
  QImage page(png + QStringLiteral(".png"));
  ASSERT_FALSE(page.isNull());
  EXPECT_NEAR(page.width(), 413, 1);  // A4
  struct Probe {
    QPoint at;
    uint32_t colour;
  };
  const Probe probes[] = {{{50, 62}, kQuarters[0]},  {{100, 62}, kQuarters[1]}, {{50, 87}, kQuarters[2]},
                          {{100, 87}, kQuarters[3]}, {{27, 52}, kQuarters[0]},  {{122, 97}, kQuarters[3]},
                          {{22, 62}, 0xFFFFFFFFu},   {{128, 62}, 0xFFFFFFFFu},  {{50, 47}, 0xFFFFFFFFu},
                          {{50, 103}, 0xFFFFFFFFu}};
  for (const Probe& p : probes)
    EXPECT_TRUE(near(page.pixel(p.at), p.colour, 6))
        << p.at.x() << "," << p.at.y() << " " << std::hex << page.pixel(p.at);

  // The window keeps the placement for the next time; Cancel prints nothing.
  QFile::remove(pdf);
  QTimer::singleShot(0, [] {
    auto* d = qobject_cast<TFormPrint*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->centreBox()->isChecked());
    EXPECT_NEAR(d->placement().x, 0.5f * d->placement().printer().dpiX, 0.5);
    d->reject();
  });
  trigger(form, "ActFilePrint");
  EXPECT_FALSE(QFile::exists(pdf));
}

// Without a printer every print goes to a file of its own: the proposal is a
// name no file has, and an existing file is replaced only on Yes.
TEST(PrintCommand, PrintingToAFileNamesEachPageAnewAndAsksBeforeReplacing) {
  testing::ensureQtApp();
  testing::TempFolder dir;
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.newDrawWindow("page", 40, 30, 72);
  ASSERT_NE(w, nullptr);
  QPrinter& printer = form.printer();
  if (printer.outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "a printer is installed here";
  RecordingMessageService messages;
  ScopedMessageService scoped(messages);
  QStringList proposed;
  QString answer;  // empty: take the proposal
  form.choosePrintFile = [&](const QString& suggestion) {
    proposed << suggestion;
    return answer.isEmpty() ? suggestion : answer;
  };
  auto printOnce = [&form] {
    QTimer::singleShot(0, [] {
      if (auto* d = qobject_cast<TFormPrint*>(QApplication::activeModalWidget())) d->accept();
    });
    trigger(form, "ActFilePrint");
  };
  // The first print proposes the save folder; take a file in the test folder.
  answer = QString::fromStdString(dir.path().string() + "/page.pdf");
  printOnce();
  ASSERT_TRUE(QFile::exists(answer));
  EXPECT_TRUE(messages.shown().empty());
  // The next ones propose free names beside it.
  answer.clear();
  printOnce();
  printOnce();
  ASSERT_EQ(proposed.size(), 3);
  const QString folder = QString::fromStdString(dir.path().string());
  EXPECT_EQ(proposed[1], folder + QStringLiteral("/page-2.pdf"));
  EXPECT_EQ(proposed[2], folder + QStringLiteral("/page-3.pdf"));
  EXPECT_TRUE(QFile::exists(proposed[1]));
  EXPECT_TRUE(QFile::exists(proposed[2]));
  // Choosing an existing file asks; No leaves it as it was, Yes replaces it.
  QFile first(folder + QStringLiteral("/page.pdf"));
  ASSERT_TRUE(first.open(QIODevice::WriteOnly));
  first.write("kept");
  first.close();
  answer = first.fileName();
  messages.queueAnswer(kMrNo);
  printOnce();
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].kind, MessageKind::Question);
  EXPECT_EQ(QFileInfo(first).size(), 4);
  messages.queueAnswer(kMrYes);
  printOnce();
  EXPECT_EQ(messages.shown().size(), 2u);
  EXPECT_GT(QFileInfo(first).size(), 4);
  EXPECT_EQ(printer.outputFileName(), QString());  // nothing is kept for the next print
}

// Print preview shows the page in a preview window; it prints nothing and
// is not the print dialog.
TEST(PrintCommand, PreviewShowsThePageWithoutPrinting) {
  testing::ensureQtApp();
  testing::TempFolder dir;
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.newDrawWindow("shown", 200, 100, 100);
  ASSERT_NE(w, nullptr);
  paintQuarters(w->window().paper());
  int asked = 0;
  form.choosePrintFile = [&asked](const QString&) {
    ++asked;
    return QString();
  };
  int pages = -1;
  bool isPrintDialog = true;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    isPrintDialog = qobject_cast<TFormPrint*>(d) != nullptr;
    auto* preview = qobject_cast<QPrintPreviewDialog*>(d);
    ASSERT_NE(preview, nullptr);
    if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) {
      widget->updatePreview();
      pages = widget->pageCount();
    }
    d->close();
  });
  trigger(form, "ActFilePrintPreview");
  EXPECT_FALSE(isPrintDialog);
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(asked, 0);
}

class SaneConfig {
 public:
  explicit SaneConfig(const char* which) {
    setenv("SANE_CONFIG_DIR", (std::string(PIGMORA_TEST_DATA) + "/sane/" + which).c_str(), 1);
  }
  ~SaneConfig() { unsetenv("SANE_CONFIG_DIR"); }
};

// In a child that ends with _Exit: SANE's test backend can leave its reader
// thread's buffer behind when a scan ends under load, which the leak checker
// would blame on this program. The child answers 0 when every check holds,
// else the number of the failed check.
TEST(ScanCommand, AScanOpensANewDocumentOfTheScannedSize) {
  testing::ensureQtApp();
  auto scan = [] {
    SaneConfig config("test");
    RecordingMessageService messages;
    ScopedMessageService scope(messages);
    TMainForm form;
    form.show();
    // The options dialog shows what the device offers and hands back the choice.
    int shown = 0;
    form.chooseScanSettings = [&shown](SScanOptions& o) {
      TFormScanOptions dialog(o);
      auto* mode = dialog.findChild<QComboBox*>(QStringLiteral("CmbScanMode"));
      auto* dpi = dialog.findChild<QSpinBox*>(QStringLiteral("NumScanResolution"));
      if (mode == nullptr || dpi == nullptr || mode->currentText() != QStringLiteral("Color") || dpi->value() != 100)
        std::_Exit(5);
      if (dialog.findChild<QDoubleSpinBox*>(QStringLiteral("NumScanRight")) == nullptr) std::_Exit(6);
      ++shown;
      o = dialog.chosen();
      return true;
    };
    form.actions().action("ActFileNewFromTwain32")->trigger();
    if (!messages.shown().empty()) std::_Exit(2);
    if (form.drawWindows().size() != 1 || shown != 1) std::_Exit(3);
    const TPaper& p = form.drawWindows().front()->window().paper();
    // The new document takes the scan's size and resolution.
    std::_Exit(p.width() == 199 && p.height() == 99 && p.resolution() == 100 ? 0 : 4);
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(scan(), ::testing::ExitedWithCode(0), "");
}

// SANE reads its configuration once a process: without a scanner, in a child.
TEST(ScanCommand, WithoutAScannerTheCommandSaysSo) {
  testing::ensureQtApp();
  auto scan = [] {
    SaneConfig config("none");
    RecordingMessageService messages;
    ScopedMessageService scope(messages);
    TMainForm form;
    form.actions().action("ActFileNewFromTwain32")->trigger();
    bool said = messages.shown().size() == 1 && messages.shown()[0].text == resString(kResScanNoScanner);
    std::_Exit(said && form.drawWindows().isEmpty() ? 0 : 1);
  };
  // A fresh process that runs only this test: no SANE state of earlier tests.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(scan(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace pg
