// Pigmora's entry point.
#include <QApplication>

#include "app/qt/main_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  pg::TMainForm form;
  form.show();
  return app.exec();
}
