// Saving the workspace file on POSIX systems: symbolic links, files that are not regular,
// permissions and owner, and several programs saving the same file at once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/state.h"
#include "engine/workspace_file.h"

namespace {

class FileSavePosix : public ::testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    char name[] = "/tmp/deepnums_save_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir = name;
    memset(Settings, 0, sizeof Settings);
    memset(TextSlots, 0, sizeof TextSlots);
    memset(MemoryTexts, 0, sizeof MemoryTexts);
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
  std::string path(const char *name) const { return dir + "/" + name; }
  static std::string contents(const std::string &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int entries() const {
    return std::atoi(run("ls -A '" + dir + "' | wc -l").c_str());
  }
  static std::string run(const std::string &cmd) {
    FILE *p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    if (p) pclose(p);
    return out;
  }
};

TEST_F(FileSavePosix, SymbolicLinksAreWrittenThrough) {
  // A link to a file, a relative link to a link, and a link to a file not made yet: each
  // stays a link, and the file it names holds the save.
  mkdir(path("real").c_str(), 0755);
  std::ofstream(path("real/ws.ini")) << "old";
  ASSERT_EQ(symlink("real/ws.ini", path("direct.ini").c_str()), 0);
  ASSERT_EQ(symlink("direct.ini", path("chain.ini").c_str()), 0);
  ASSERT_EQ(symlink(path("real/new.ini").c_str(), path("dangling.ini").c_str()), 0);
  const char *links[][2] = {{"direct.ini", "real/ws.ini"}, {"chain.ini", "real/ws.ini"},
                            {"dangling.ini", "real/new.ini"}};
  int n = 0;
  for (auto &l : links) {
    slot_copy(TextSlots[SLOT_R0], std::to_string(++n).c_str());
    ASSERT_TRUE(workspace_write(path(l[0]).c_str())) << l[0] << ": " << workspace_error();
    struct stat st;
    ASSERT_EQ(lstat(path(l[0]).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << l[0];
    memset(TextSlots, 0, sizeof TextSlots);
    EXPECT_EQ(workspace_read(path(l[1]).c_str()), 1) << l[0];
    EXPECT_EQ(std::string(TextSlots[SLOT_R0]), std::to_string(n)) << l[0];
  }
  EXPECT_EQ(entries(), 4);  // real/ and the three links: no new file left beside them
  EXPECT_EQ(run("ls -A '" + dir + "/real' | wc -l"), "2\n");
}

TEST_F(FileSavePosix, WhatIsNotARegularFileIsRefusedAndNeverWaitedOn) {
  ASSERT_EQ(mkfifo(path("fifo.ini").c_str(), 0644), 0);
  ASSERT_EQ(symlink("fifo.ini", path("to_fifo.ini").c_str()), 0);
  ASSERT_EQ(symlink("/dev/null", path("to_null.ini").c_str()), 0);
  mkdir(path("dir.ini").c_str(), 0755);
  for (const char *name : {"fifo.ini", "to_fifo.ini", "to_null.ini", "dir.ini"}) {
    EXPECT_EQ(workspace_read(path(name).c_str()), -1) << name;
    EXPECT_FALSE(workspace_write(path(name).c_str())) << name;
    EXPECT_STREQ(workspace_error(), "not a regular file") << name;
  }
  struct stat st;
  ASSERT_EQ(stat(path("fifo.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(entries(), 4);
}

TEST_F(FileSavePosix, PermissionsAndOwnerAreKept) {
  const mode_t modes[] = {0600, 0640, 0604, 0660};
  for (mode_t mode : modes) {
    const std::string p = path("ws.ini");
    std::ofstream(p) << "old";
    ASSERT_EQ(chmod(p.c_str(), mode), 0);
    ASSERT_TRUE(workspace_write(p.c_str())) << workspace_error();
    struct stat st;
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mode;
  }
  // A new file gets what creating it gives (0666 less the umask), not a private 0600.
  const mode_t mask = umask(022);
  ASSERT_TRUE(workspace_write(path("fresh.ini").c_str()));
  umask(mask);
  struct stat st;
  ASSERT_EQ(stat(path("fresh.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  if (geteuid() == 0) {
    // Root saving another user's file leaves it theirs.
    ASSERT_EQ(chown(path("ws.ini").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(workspace_write(path("ws.ini").c_str()));
    ASSERT_EQ(stat(path("ws.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  } else {
    // A read-only file is refused, as the shell refuses it.
    ASSERT_EQ(chmod(path("ws.ini").c_str(), 0444), 0);
    EXPECT_FALSE(workspace_write(path("ws.ini").c_str()));
    EXPECT_STREQ(workspace_error(), strerror(EACCES));
  }
}

TEST_F(FileSavePosix, ConcurrentSavesLeaveOneWholeState) {
  // Four processes save the same file 50 times each, every one with its own number in
  // every register; the file must always hold one process's state whole.
  const std::string p = path("ws.ini");
  constexpr int PROCESSES = 4, SAVES = 50;
  pid_t pids[PROCESSES];
  for (int k = 0; k < PROCESSES; ++k) {
    pids[k] = fork();
    ASSERT_GE(pids[k], 0);
    if (pids[k] == 0) {
      const std::string text = std::to_string(k) + std::string(20000, static_cast<char>('a' + k));
      for (int n = 0; n < 10; ++n) slot_copy(n < 5 ? TextSlots[n] : MemoryTexts[n - 5], text.c_str());
      int failures = 0;
      for (int i = 0; i < SAVES; ++i) failures += workspace_write(p.c_str()) ? 0 : 1;
      _exit(failures == 0 ? 0 : 1);
    }
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
  }
  ASSERT_EQ(workspace_read(p.c_str()), 1);
  for (int n = 1; n < 10; ++n) EXPECT_STREQ(TextSlots[n], TextSlots[0]) << "R" << n;
  EXPECT_EQ(entries(), 1);  // no temporary file left
}

}  // namespace

// A save's temporary carries its process id: those left by processes that have gone (a
// kill -9 during a save) are removed by the next save, those of a running process are
// not, and other names are never touched.
TEST_F(FileSavePosix, StaleTemporariesOfGoneProcessesAreRemoved) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string ws = path("ws.ini");
  const std::string stale[] = {ws + "." + std::to_string(gone) + ".tmp", path(".deepnums-") + std::to_string(gone) + ".tmp"};
  const std::string kept[] = {ws + "." + std::to_string(getppid()) + ".tmp", ws + ".12ab.tmp", ws + ".backup",
                              path("other.ini.") + std::to_string(gone) + ".tmp"};
  for (const std::string &p : stale) std::ofstream(p) << "partial";
  for (const std::string &p : kept) std::ofstream(p) << "mine";
  ASSERT_TRUE(workspace_write(ws.c_str()));
  for (const std::string &p : stale) EXPECT_NE(access(p.c_str(), F_OK), 0) << p;
  for (const std::string &p : kept) EXPECT_EQ(contents(p), "mine") << p;
  EXPECT_EQ(entries(), 1 + 4);
}

// Names up to the longest a folder takes (255 bytes) are saved: the temporary then takes
// a short name of its own in the same folder.
TEST_F(FileSavePosix, NamesUpToTheLongestAreSaved) {
  for (size_t length : {240u, 249u, 252u, 255u}) {
    const std::string ws = path(std::string(length - 4, 'w').c_str()) + ".ini";
    ASSERT_TRUE(workspace_write(ws.c_str())) << length << ": " << workspace_error();
    EXPECT_EQ(contents(ws).substr(0, 4), "20\r\n") << length;
    std::remove(ws.c_str());
    EXPECT_EQ(entries(), 0) << length;
  }
}
