// The Linux program `deepnums`: the window front end over the Qt 6 backend.
#include <QApplication>

#include "ui/main_window.h"

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("deepNUMS"));
  // Lets a desktop match the window to deepnums.desktop and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("deepnums"));
  return app_entry(1);  // shown normally, as a desktop launches a program
}
