// The progress text both front ends show while a command runs.
#include <gtest/gtest.h>

#include "engine/progress_text.h"

namespace {

struct Figures {
  int pos, len;
  double work_seconds;  // how long ago the measured work started; < 0: no such loop
  const char *english, *japanese;
};

TEST(ProgressText, ShareAndTimeLeftWhereTheyAreKnown) {
  const Figures cases[] = {
      {0, 0, -1, "12.3 s", "12.3 秒"},                               // no length known
      {25, 100, -1, "12.3 s  25%", "12.3 秒  25%"},                  // a loop that counts steps
      {250, 1000, 3.0, "12.3 s  25%  about 9 s left", "12.3 秒  25%  残り約 9 秒"},
      {250, 1000, 0.5, "12.3 s  25%", "12.3 秒  25%"},               // under a second of work
      {0, 1000, 3.0, "12.3 s  0%", "12.3 秒  0%"},                   // nothing done yet
      {999, 1000, 3.0, "12.3 s  99%  about 1 s left", "12.3 秒  99%  残り約 1 秒"},
      {100, 1000, 20.0, "12.3 s  10%  about 3 min left", "12.3 秒  10%  残り約 3 分"},
      {1200, 1000, 3.0, "12.3 s", "12.3 秒"},                        // inconsistent figures
  };
  for (const Figures &f : cases) {
    progress_set(f.pos, f.len);
    progress_work_since.store(
        f.work_seconds < 0 ? 0 : progress_clock_ns() - (long long)(f.work_seconds * 1e9));
    char buf[128];
    progress_status_text(buf, sizeof buf, 12.34, false);
    EXPECT_STREQ(buf, f.english) << f.pos << "/" << f.len;
    progress_status_text(buf, sizeof buf, 12.34, true);
    EXPECT_STREQ(buf, f.japanese) << f.pos << "/" << f.len;
    // A short buffer holds a cut text, never more.
    char small[8];
    progress_status_text(small, sizeof small, 12.34, false);
    EXPECT_EQ(std::string(small), std::string(f.english).substr(0, 7));
  }
  cancel_reset();
}

}  // namespace
