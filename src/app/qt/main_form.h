#pragma once
// The one multiple-document frame of Pigmora.
#include <QMainWindow>
#include <QString>

class QMdiArea;

namespace pg {

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // A path handed over by the command line or by a second instance; opens it
  // once opening files exists.
  void handOverFile(const QString& absolutePath);

  QMdiArea* documentArea() const { return mdi_; }

 private:
  QMdiArea* mdi_ = nullptr;
};

}  // namespace pg
