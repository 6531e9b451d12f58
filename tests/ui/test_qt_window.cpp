// The real window of the Qt backend with the real front end (over the fake engine), on
// Qt's offscreen platform with the machine's fonts: every caption fits its control in
// both languages and at several desktop font sizes, all captions share one font of the
// desktop's size, and the window's content fits the screen sizes it is made for.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/state.h"
#include "ui/control_table.h"
#include "ui/main_window.h"
#include "ui/qt/qt_backend.h"
#include "ui/workspace.h"

namespace {

namespace fs = std::filesystem;

// The room the style leaves for a control's text, independent of the backend's own sums.
int text_room(QWidget *w) {
  QStyle *st = w->style();
  if (auto *label = qobject_cast<QLabel *>(w)) return label->contentsRect().width();
  if (auto *group = qobject_cast<QGroupBox *>(w)) {
    QStyleOptionGroupBox opt;
    opt.initFrom(group);
    opt.text = group->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.textAlignment = group->alignment();
    opt.lineWidth = 1;
    // The label may run to the frame's right edge, less the frame itself.
    const QRect label = st->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, group);
    return group->width() - label.left() - 2;
  }
  auto *button = qobject_cast<QAbstractButton *>(w);
  QStyleOptionButton opt;
  opt.initFrom(button);
  opt.text = button->text();
  const QStyle::SubElement contents = qobject_cast<QCheckBox *>(w)      ? QStyle::SE_CheckBoxContents
                                      : qobject_cast<QRadioButton *>(w) ? QStyle::SE_RadioButtonContents
                                                                        : QStyle::SE_PushButtonContents;
  return st->subElementRect(contents, &opt, w).width();
}

QString caption_of(QWidget *w) {
  if (auto *label = qobject_cast<QLabel *>(w)) return label->text();
  if (auto *group = qobject_cast<QGroupBox *>(w)) return group->title();
  return qobject_cast<QAbstractButton *>(w)->text();
}

class QtWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("deepnums_qt_window_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // The window as the program opens it, with the captions of a language.
  MainFrame *open(int language) {
    const std::string file = (dir_ / "deepNUMS.ini").string();
    std::remove(file.c_str());
    set_workspace_file(file.c_str());
    UiHandle w = plat_create_main_window(WINDOW_CLASS_NAME, WINDOW_TITLE);
    EXPECT_NE(w, nullptr);
    Settings[SET_LANGUAGE] = language;
    set_captions();
    MainFrame *f = main_frame_of(w);
    f->show();
    QApplication::processEvents();
    return f;
  }

  // Closes it without saving (the test's windows are thrown away).
  static void close(MainFrame *f) {
    f->destroyed = true;
    f->hide();
    for (UiHandle &h : ControlWindows) h = nullptr;
  }

  static inline fs::path dir_;
};

TEST_F(QtWindow, EveryCaptionFitsInBothLanguagesAtEveryFontSize) {
  const QFont desktop = QApplication::font();
  for (double points : {9.0, 11.0, 14.0}) {
    QFont f = desktop;
    f.setPointSizeF(points);
    QApplication::setFont(f);
    for (int language : {0, 1}) {
      SCOPED_TRACE(std::to_string(points) + " pt, language " + std::to_string(language));
      MainFrame *frame = open(language);
      // One caption font, of the desktop's size, for every caption of both languages.
      const QFont caption = frame->client->font();
      EXPECT_GE(caption.pointSizeF(), points);
      int checked = 0;
      for (int id = 0; id < CONTROL_COUNT; ++id) {
        if (!ControlTable[id].caption[0] || !ControlWindows[id]) continue;
        QWidget *w = ControlWindows[id]->widget;
        EXPECT_EQ(w->font().pointSizeF(), caption.pointSizeF()) << "id " << id;
        EXPECT_EQ(w->font().family(), caption.family()) << "id " << id;
        const int text = QFontMetrics(w->font()).horizontalAdvance(caption_of(w));
        EXPECT_LE(text, text_room(w)) << "id " << id << " \"" << caption_of(w).toStdString() << "\"";
        ++checked;
      }
      EXPECT_EQ(checked, 86);  // every captioned control
      close(frame);
    }
  }
  QApplication::setFont(desktop);
}

// The captions' face is the Japanese one with proportional Latin letters that the
// package depends on, whatever the locale (under a Japanese one the font database names
// it in Japanese).
TEST_F(QtWindow, CaptionsUseTheJapaneseProportionalFace) {
  const QString ipa = QStringLiteral("IPAPGothic");
  if (!QFontDatabase::hasFamily(ipa)) GTEST_SKIP() << "IPAPGothic (fonts-ipafont-gothic) is not installed";
  EXPECT_EQ(QFontInfo(qt_caption_font()).family().toStdString(), QFontInfo(QFont(ipa)).family().toStdString());
}

// The screens the window is made for, in the desktop's pixels: the whole content shows
// without the window's scroll bars, and the register boxes take the extra height.
TEST_F(QtWindow, ContentFitsTheScreensWithoutScrollBars) {
  struct Screen {
    int width, height;
  } screens[] = {{1280, 720}, {1366, 768}, {1024, 768}, {960, 540} /* 1920 x 1080 at 2x */,
                 {1920, 1080}, {3840, 2160}};
  for (const Screen &s : screens) {
    SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height));
    MainFrame *frame = open(1);
    // A window manager's frame and title bar take a little of the screen.
    frame->resize(s.width - 8, s.height - 32);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(frame->bars[UI_BAR_VERT]->isVisible());
    EXPECT_FALSE(frame->bars[UI_BAR_HORZ]->isVisible());
    const QRect client = frame->client->rect();
    int lowest = 0;
    for (int id = 0; id < CONTROL_COUNT; ++id) {
      if (!ControlWindows[id]) continue;
      const QRect g = ControlWindows[id]->widget->geometry();
      EXPECT_TRUE(client.contains(g)) << "id " << id;
      lowest = std::max(lowest, g.bottom());
    }
    // No empty band below the content: less than two lines of it.
    EXPECT_LT(client.bottom() - lowest, 2 * char_height);
    // R0 is the tallest register box once there is room to spare.
    const int r0 = ControlWindows[ID_R0]->widget->height(), r4 = ControlWindows[ID_R4]->widget->height();
    EXPECT_GE(r0, r4);
    close(frame);
  }
}

}  // namespace

int main(int argc, char **argv) {
  // The machine's fonts, without a display. The locale is the test's own, not the
  // machine's: C.UTF-8, or DEEPNUMS_TEST_LANG (the suite runs once more under a Japanese
  // one); it chooses faces through the font configuration.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const char *lang = std::getenv("DEEPNUMS_TEST_LANG");
  for (const char *name : {"LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANGUAGE"}) unsetenv(name);
  setenv("LANG", lang && lang[0] ? lang : "C.UTF-8", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
