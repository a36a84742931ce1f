#pragma once
// The text tool's modal window "文字入力": the text, its face, character
// set, size, spacings, italic, bold and vertical writing; with preview on
// every change shows the text over the canvas at the clicked point. OK
// places the text (or, for the text-select tool, selects its shape); every
// way out saves the settings.
#include <QDialog>
#include <memory>

#include "canvas/text_tool.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSpinBox;

namespace pg {

class CCanvasShared;
class TDrawWindow;

class TTextToolWindow : public QDialog {
 public:
  TTextToolWindow(TDrawWindow& window, ITextToolSettingsStore& store, TPoint docPoint, bool selectMode,
                  QWidget* parent = nullptr);
  ~TTextToolWindow() override;

  // The settings the controls show now.
  STextToolSettings settings() const;
  // The controls (tests fill them as a user would).
  QComboBox* faceBox() const { return face_; }
  QCheckBox* verticalBox() const { return vertical_; }
  QPlainTextEdit* textEdit() const { return text_; }
  QSpinBox* sizeBox() const { return size_; }
  QComboBox* charSetBox() const { return charSet_; }

  void accept() override;
  void done(int result) override;

 private:
  void fillFaces(const QString& keep);
  void fillCharSets();
  void updateVerticalAllowed();
  void refresh();

  CTextToolSession session_;
  ITextToolSettingsStore& store_;
  QComboBox* face_ = nullptr;
  QComboBox* charSet_ = nullptr;
  QSpinBox* size_ = nullptr;
  QSpinBox* spacing_ = nullptr;
  QSpinBox* leading_ = nullptr;
  QCheckBox* italic_ = nullptr;
  QCheckBox* bold_ = nullptr;
  QCheckBox* vertical_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QCheckBox* useFont_ = nullptr;
  QCheckBox* preview_ = nullptr;
  bool filling_ = false;
  int keptCharSet_ = kDefaultCharSet;
  bool saved_ = false;
};

// Sets the canvas's text-tool hook: the window runs modally over the
// document window's widget.
void installTextToolWindow(CCanvasShared& shared);

}  // namespace pg
