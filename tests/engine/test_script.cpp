// The script runner through "Perform the following": the reader's rules, each command,
// and the messages.
#include <sstream>
#include <vector>

#include "engine/script.h"
#include "engine_fixture.h"

namespace {

class Script : public ::testing::Test {
 protected:
  void SetUp() override { reset_engine_state("12"); }
  // R1 = x, R0 = y, then the script.
  void run(const char *script, const char *x = "2", const char *y = "3") {
    type(SLOT_R1, x);
    type(SLOT_R0, y);
    type(SLOT_SCRIPT, script);
    press(C_SCRIPT);
  }
};

std::vector<std::string> lines_of(const std::string &t) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t end = t.find("\r\n", start);
    if (end == std::string::npos) {
      if (start < t.size()) out.push_back(t.substr(start));
      return out;
    }
    out.push_back(t.substr(start, end - start));
    start = end + 2;
  }
}

TEST_F(Script, LoopRepeatsOnUnchangedOperands) {
  run("loop 100,*");
  EXPECT_EQ(text(SLOT_R0), "6\r\n");
  EXPECT_EQ(text(SLOT_R1), "3");
  EXPECT_EQ(text(SLOT_R2), "2");
  EXPECT_EQ(status().rfind("total=", 0), 0u) << status();
  EXPECT_NE(status().find("sec, "), std::string::npos) << status();
  EXPECT_EQ(status().substr(status().size() - 10), "sec/1loop\n") << status();
  // The repetitions are the run's progress, not the products inside them.
  EXPECT_EQ(progress_len.load(), 100);
  EXPECT_EQ(progress_pos.load(), 99);
}

TEST_F(Script, LoopLetters) {
  struct Case {
    const char *script, *want;
  } cases[] = {
      {"loop 1,+", "5\r\n"}, {"loop 1,-", "-1\r\n"},   {"loop 1,/", ".666666666667\r\n"},
      {"loop 1,%", "2\r\n"}, {"loop 1,1", "8\r\n"},    {"loop 1,8", "1. 73205080757\r\n"},
      {"loop 1, *", "6\r\n"}, {"loop 2;*", "6\r\n"},   {"loop 1,z", "0\r\n"},
  };
  for (const Case &c : cases) {
    SetUp();
    run(c.script);
    EXPECT_EQ(text(SLOT_R0), c.want) << c.script;
  }
}

TEST_F(Script, LoopSeparatorIsAnyOneCharacter) {
  run("loop 10*");  // "*" is the separator; the letter is the line end: nothing computed
  EXPECT_EQ(text(SLOT_R0), "0\r\n");
  EXPECT_EQ(text(SLOT_R1), "3");
}

TEST_F(Script, LoopOfZeroTimes) {
  run("loop 0,+");
  EXPECT_EQ(text(SLOT_R0), "0\r\n");
  EXPECT_EQ(text(SLOT_R1), "3");
  EXPECT_EQ(status(), "total=0.00sec, 0 loops\n");
  run("loop -5,+");
  EXPECT_EQ(status(), "total=0.00sec, 0 loops\n");
}

TEST_F(Script, CommandsAtTheVeryEndOfTheText) {
  // Nothing after N: the separator is not skipped past the terminator.
  run("loop 5");
  EXPECT_EQ(text(SLOT_R0), "0\r\n");
  EXPECT_EQ(status().rfind("total=", 0), 0u);
  run("loop");
  EXPECT_EQ(status().rfind("total=", 0), 0u);
  run("hipr");
  EXPECT_EQ(status(), "");
}

TEST_F(Script, InvalidCommandsAndTheLineCounter) {
  run("\r\nloop 1,+");
  EXPECT_EQ(status(), "Invalid command: line = 1\n");
  EXPECT_EQ(text(SLOT_R0), "3");  // nothing ran

  run("loop 1,+\r\n\r\n   \r\n\r\nLoop 1,+");  // blank lines do not count; case matters
  EXPECT_EQ(status(), "Invalid command: line = 2\n");
  EXPECT_EQ(text(SLOT_R0), "5\r\n");  // the first line kept its effect

  run("loop 1,+\tbogus");  // a tab starts a new command
  EXPECT_EQ(status(), "Invalid command: line = 2\n");

  run("loop 1,+\r\n\tbogus # a tab, then a comment\r\nxyz");
  EXPECT_EQ(status(), "Invalid command: line = 2\n");

  run("loop 1,+\r\nloop 1,+\r\nloop 1,+\r\nxyz");
  EXPECT_EQ(status(), "Invalid command: line = 4\n");
}

TEST_F(Script, CommentsAfterACommandAndOnTheirOwnLines) {
  // The bytes after a command are skipped whatever their value (UTF-8 comments, DEL,
  // 0xFF); a line starting with "#" is a comment.
  for (const char *script : {"loop 1,+ \xe5\x80\x8d\xe7\xb2\xbe\xe5\xba\xa6\r\nloop 1,+",
                             "loop 1,+\x80\x7f\xff\r\nloop 1,+",
                             "# first\r\nloop 1,+\r\n  #\xe6\xb3\xa8\r\nloop 1,+\r\n#"}) {
    run(script);
    EXPECT_EQ(status().rfind("total=", 0), 0u) << script;
    EXPECT_EQ(text(SLOT_R0), "8\r\n") << script;  // 2 + 3, then 3 + 5 after the lift
  }
  run("# note\r\nloop 1,+\r\nxyz");
  EXPECT_EQ(status(), "Invalid command: line = 3\n");  // the comment line counts
}

TEST_F(Script, TabAndBlanksBetweenCommands) {
  run("   loop 1,+\t loop 1,+");
  EXPECT_EQ(text(SLOT_R0), "8\r\n");  // 3 + 5 after the second lift
}

TEST_F(Script, EndDumpAndLn10StopTheScript) {
  run("loop 1,+\r\nend\r\nloop 1,+");
  EXPECT_EQ(text(SLOT_R0), "5\r\n");
  run("loop 1,+\r\nendless\r\nloop 1,+");  // "end" on three characters
  EXPECT_EQ(text(SLOT_R0), "5\r\n");
  run("ln10\r\nloop 1,+");
  EXPECT_EQ(text(SLOT_R0), "2. 30258509299\r\n");
  EXPECT_EQ(text(SLOT_R1), "3");
  EXPECT_EQ(text(SLOT_R2), "2");
  run("ln10x");  // a longer word that begins with a keyword is that keyword
  EXPECT_EQ(text(SLOT_R0), "2. 30258509299\r\n");
  run("dump\r\nloop 1,+");
  EXPECT_EQ(text(SLOT_R0), "3");
  EXPECT_EQ(status(), "");
}

TEST_F(Script, EmptyScriptDoesNothing) {
  run("");
  EXPECT_EQ(status(), "");
  EXPECT_EQ(text(SLOT_R0), "3");
}

TEST_F(Script, PrecMeasuresAgainstR5) {
  // A letter without a "prec" entry computes nothing: R1 = 0, R0 = (0 − R5) × 10^18.
  slot_copy(MemoryTexts[0], "1e-18");
  type(SLOT_R5, "1e-18");
  run("prec 5,+");
  EXPECT_EQ(text(SLOT_R1), "0\r\n");
  EXPECT_EQ(text(SLOT_R0), "-1\r\n");
  EXPECT_EQ(text(SLOT_R2), "3");  // lifted twice
  EXPECT_EQ(text(SLOT_R3), "2");
  EXPECT_EQ(term_override, 0);
  std::string s = status();
  EXPECT_NE(s.find("sec, "), std::string::npos) << s;
  EXPECT_EQ(s.substr(s.size() - 4), "min\n") << s;
}

TEST_F(Script, PrecSumsTheGivenNumberOfTerms) {
  slot_copy(MemoryTexts[1], "0.25");  // a fraction: e^x by its series
  type(SLOT_R6, "0.25");
  run("prec 0,d");
  std::string automatic = text(SLOT_R1);
  EXPECT_EQ(automatic, "1. 28402541669\r\n");
  run("prec 3,d");  // the series cut after three terms
  EXPECT_NE(text(SLOT_R1), automatic);
  EXPECT_EQ(term_override, 0);
  run("prec 0,d");
  EXPECT_EQ(text(SLOT_R1), automatic);
}

TEST_F(Script, PrecPowerUsesR6AndR7) {
  slot_copy(MemoryTexts[0], "1024");
  type(SLOT_R5, "1024");
  slot_copy(MemoryTexts[1], "2");
  type(SLOT_R6, "2");
  slot_copy(MemoryTexts[2], "10");
  type(SLOT_R7, "10");
  run("prec 0,1");
  EXPECT_EQ(text(SLOT_R1), "1024\r\n");
  EXPECT_EQ(text(SLOT_R0), "0\r\n");
}

TEST_F(Script, HiprComparesTheTwoMethods) {
  run("hipr *", "3", "7");
  EXPECT_EQ(text(SLOT_R4), "21\r\n");
  EXPECT_EQ(text(SLOT_R3), "21\r\n");
  EXPECT_EQ(text(SLOT_R2), "0\r\n");
  EXPECT_EQ(text(SLOT_R1), "3");
  EXPECT_EQ(text(SLOT_R0), "7");
  EXPECT_EQ(hipr_mode, 0);
  EXPECT_EQ(status(), "");

  run("hipr /", "1", "4");
  EXPECT_EQ(text(SLOT_R4), ".25\r\n");
  EXPECT_EQ(text(SLOT_R3), ".25\r\n");

  // Another letter computes nothing; R2 is still R4 − R3, scaled by 10^18.
  SetUp();
  type(SLOT_R4, "6");
  type(SLOT_R3, "5");
  run("hipr x");
  EXPECT_EQ(text(SLOT_R4), "6\r\n");
  EXPECT_EQ(text(SLOT_R3), "5\r\n");
  EXPECT_EQ(text(SLOT_R2), "1 e18\r\n");
}

TEST_F(Script, TestCommandReadsItsTwoNumbers) {
  type(SLOT_SIG_DIGITS, "30");
  run("test 41,0");
  EXPECT_EQ(status(), "TEST completed: seq=40  step=-2\n");
  EXPECT_EQ(sig_digits, 30);
  run("test 41");  // nothing after N
  EXPECT_EQ(status(), "TEST completed: seq=40  step=-2\n");
  run("test 41,0\r\nloop 1,+");  // the script goes on
  EXPECT_EQ(status().rfind("total=", 0), 0u);
}

TEST_F(Script, DumpLayout) {
  run("dump", "0", "1");
  std::vector<std::string> s1 = lines_of(text(1));
  ASSERT_EQ(s1.size(), 551u);  // 550 lines of words 0..4399, then a bare CR LF
  EXPECT_EQ(s1[0],
            "00000000,0x00200000,00000000,00000000,00000000,00000000,00000000,00000000,"
            "\t//41,\texp=0,sgn=0,01" + std::string(40, '0'));
  EXPECT_EQ(s1[1], "00000000,00000000,00000000,00000000,00000000,00000000,00000000,00000000,"
                   "\t//89,\t" + std::string(48, '0'));
  EXPECT_EQ(s1[550], "");
  EXPECT_EQ(text(1).substr(text(1).size() - 4), "\r\n\r\n");

  std::vector<std::string> s2 = lines_of(text(2));
  ASSERT_EQ(s2.size(), 551u);
  EXPECT_NE(s2[0].find("\t//26441,\t"), std::string::npos) << s2[0];  // 41 + 48 × 550
  std::vector<std::string> s3 = lines_of(text(3));
  ASSERT_EQ(s3.size(), 551u);
  EXPECT_NE(s3[0].find("\t//52841,\t"), std::string::npos) << s3[0];

  std::vector<std::string> s4 = lines_of(text(4));
  ASSERT_EQ(s4.size(), 434u);  // 433 full lines and 6 words, no bare CR LF
  EXPECT_NE(s4[0].find("\t//79241,\t"), std::string::npos) << s4[0];
  EXPECT_EQ(s4[433], "00000000,00000000,00000000,00000000,00000000,00000000,\t//100013,\t" +
                         std::string(36, '0'));

  // The shadows are untouched: the next command reads R1..R4 from the dump texts.
  EXPECT_EQ(shadow(1), "0");
  EXPECT_EQ(text(SLOT_R0), "1");
}

TEST_F(Script, DumpShowsSignExponentAndLanes) {
  run("dump", "0", "-0.0123456789");
  std::string first = lines_of(text(1))[0];
  // -1.23456789e-2: head word 2 × (−2) + 1 = −3.
  EXPECT_EQ(first.substr(0, 20), "0xfffffffd,0x0022190");
  EXPECT_NE(first.find("\t//41,\texp=-2,sgn=1,012345678900"), std::string::npos) << first;
}

}  // namespace
