// The Linux program `deepnums`: the window front end over the Qt 6 backend.
//
// The window takes no arguments of its own: "--help" and "--version" print their text and
// exit, everything else is left to Qt (which knows options such as -platform). Without a
// display the toolkit would abort with an advice to reinstall; the program says instead
// that no display was found and exits 1.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/main_window.h"
#include "ui/qt/qt_signals.h"

namespace {

const char HELP_TEXT[] =
    "usage: deepnums [--help | --version]\n"
    "Opens the deepNUMS calculator window (12 to 100,000 significant digits). The\n"
    "workspace (registers, script, options, window position) is read from and saved to\n"
    "deepNUMS.ini in the current directory. Qt's own options (-platform NAME, ...) are\n"
    "accepted. deepnums-cli is the same calculator on the command line; it needs no\n"
    "display.\n";

const char NO_DISPLAY_TEXT[] =
    "deepnums: no display found (DISPLAY or WAYLAND_DISPLAY is not set, or the display\n"
    "cannot be opened). The window needs a graphical session; deepnums-cli computes the\n"
    "same without one (deepnums-cli --help).\n";

[[noreturn]] void no_display() {
  fputs(NO_DISPLAY_TEXT, stderr);
  fflush(stderr);
  std::_Exit(1);
}

bool env_set(const char *name) {
  const char *v = std::getenv(name);
  return v != nullptr && v[0] != '\0';
}

// While the application object is being made: the platform plugin's warnings about the
// display are dropped and its fatal error becomes the plain message above.
bool starting = true;
QtMessageHandler previous_handler = nullptr;

void startup_message_handler(QtMsgType type, const QMessageLogContext &context, const QString &text) {
  if (starting) {
    if (type == QtFatalMsg) no_display();
    if (context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0) return;
  }
  if (previous_handler != nullptr) previous_handler(type, context, text);
}

}  // namespace

int main(int argc, char **argv) {
  bool platform_option = false;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      fputs(HELP_TEXT, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      // As deepnums-cli: the program (package) version, then copyright and licence.
      puts("deepnums (deepNUMS) " DEEPNUMS_VERSION "\n"
           "Copyright (C) 2026 The deepNUMS authors; MIT License, with NO WARRANTY.");
      return 0;
    }
    if (std::strcmp(argv[i], "-platform") == 0) platform_option = true;
  }
  // Qt falls back to X11 when nothing else is chosen; with neither display variable set
  // there is nothing to connect to.
  if (!platform_option && !env_set("QT_QPA_PLATFORM") && !env_set("DISPLAY") &&
      !env_set("WAYLAND_DISPLAY"))
    no_display();

  previous_handler = qInstallMessageHandler(startup_message_handler);
  QApplication app(argc, argv);
  starting = false;
  QApplication::setApplicationName(QStringLiteral("deepNUMS"));
  // Lets a desktop match the window to deepnums.desktop and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("deepnums"));
  install_close_on_termination();
  return app_entry(1);  // shown normally, as a desktop launches a program
}
