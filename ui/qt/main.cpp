// The Linux program `deepnums`: the window front end over the Qt 6 backend.
//
// The window's own arguments: "--help" and "--version" print their text and exit;
// "--workspace FILE" (or "-w FILE", "--workspace=FILE") names the workspace file instead
// of the default place; everything else is left to Qt (which knows options such as
// -platform). Without a
// display the toolkit would abort with an advice to reinstall; the program says instead
// that no display was found and exits 1.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/main_window.h"
#include "ui/qt/qt_signals.h"
#include "ui/workspace.h"

namespace {

const char HELP_TEXT[] =
    "usage: deepnums [-w FILE | --workspace FILE] | --help | --version\n"
    "Opens the deepNUMS calculator window (12 to 100,000 significant digits). The\n"
    "workspace (registers, script, options, window position) is read at the start and\n"
    "saved at the end to $XDG_CONFIG_HOME/deepnums/deepNUMS.ini (by default\n"
    "~/.config/deepnums/deepNUMS.ini).\n"
    "  -w, --workspace FILE  keep the workspace in FILE instead\n"
    "Qt's own options (-platform NAME, ...) are accepted. deepnums-cli is the same\n"
    "calculator on the command line; it needs no display.\n";

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

[[noreturn]] void usage_error(const char *text) {
  fprintf(stderr, "deepnums: %s\n%s", text, HELP_TEXT);
  std::exit(2);
}

}  // namespace

int main(int argc, char **argv) {
  bool platform_option = false;
  const char *workspace = nullptr;
  // The window's own arguments are taken out of argv, so that Qt sees only its own.
  int kept = 1;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "-w") == 0 || std::strcmp(argv[i], "--workspace") == 0) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') usage_error("--workspace needs a file name");
      workspace = argv[++i];
      continue;
    }
    if (std::strncmp(argv[i], "--workspace=", 12) == 0) {
      if (argv[i][12] == '\0') usage_error("--workspace needs a file name");
      workspace = argv[i] + 12;
      continue;
    }
    argv[kept++] = argv[i];
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
  argc = kept;
  argv[argc] = nullptr;
  // Qt falls back to X11 when nothing else is chosen; with neither display variable set
  // there is nothing to connect to.
  if (!platform_option && !env_set("QT_QPA_PLATFORM") && !env_set("DISPLAY") &&
      !env_set("WAYLAND_DISPLAY"))
    no_display();

  // Before the toolkit starts: a SIGTERM during the start-up closes the window (and saves)
  // as soon as it stands, instead of ending the process with nothing saved.
  install_termination_signals();
  previous_handler = qInstallMessageHandler(startup_message_handler);
  QApplication app(argc, argv);
  starting = false;
  QApplication::setApplicationName(QStringLiteral("deepNUMS"));
  // Lets a desktop match the window to deepnums.desktop and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("deepnums"));
  watch_termination_signals();
  set_workspace_file(workspace);
  return app_entry(1);  // shown normally, as a desktop launches a program
}
