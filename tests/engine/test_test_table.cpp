// The committed self-test table: its structure (tags, modes, declared and actual step
// counts, strings per step, the total), the syntax of every data string, and that every
// expected text reads back as the display text it is. No value is recomputed here; the
// values are checked by tools/gen_test_table.py when the table is generated, and by the
// self-test itself.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "engine/test_table.h"

namespace {

struct SeqShape {
  const char *mode;
  int declared;
  int actual;
};

// Sequence 0 .. 40: mode, declared steps, steps with data.
const SeqShape kShapes[41] = {
    {"217", 30, 23},  {"217", 30, 21},  {"217", 30, 13},  {"217", 30, 15},
    {"317", 10, 10},  {"317", 10, 10},  {"317", 10, 9},   {"317", 10, 9},
    {"217", 10, 8},   {"317", 10, 8},   {"217", 10, 8},   {"317", 10, 8},
    {"227", 10, 8},   {"327", 10, 8},   {"221", 10, 8},   {"117", 40, 39},
    {"117", 40, 39},  {"117", 40, 39},  {"117", 10, 9},   {"117", 10, 9},
    {"117", 10, 9},   {"117r", 40, 39}, {"117r", 40, 39}, {"117r", 40, 39},
    {"117r", 10, 9},  {"117r", 10, 9},  {"117r", 10, 9},  {"117", 11, 11},
    {"117", 11, 11},  {"117", 15, 15},  {"117", 15, 15},  {"217", 15, 15},
    {"217", 11, 11},  {"117", 7, 7},    {"117", 7, 7},    {"117", 7, 7},
    {"117", 7, 7},    {"117", 4, 4},    {"117", 7, 7},    {"117", 12, 12},
    {"117", 12, 12},
};

constexpr int kDataStrings = 1821;

struct Step {
  int seq;
  int index;
  std::vector<std::string> operands;
  std::vector<std::string> expected;
};

// The table walked as the self-test walks it; structural faults are test failures.
struct Walk {
  std::vector<Step> steps;
  int consumed = 0;
};

Walk walk_table() {
  Walk w;
  int pos = 0;
  auto next = [&](void) -> std::string {
    if (pos >= TestTableCount) {
      ADD_FAILURE() << "table ends early at string " << pos;
      return "";
    }
    const char *s = TestTable[pos++];
    if (s == nullptr) {
      ADD_FAILURE() << "null string at " << pos - 1;
      return "";
    }
    return s;
  };
  for (int seq = 0; seq <= 40; ++seq) {
    SCOPED_TRACE("sequence " + std::to_string(seq));
    EXPECT_EQ(next(), "SEQ" + std::to_string(seq));
    std::string mode = next();
    EXPECT_EQ(mode, kShapes[seq].mode);
    std::string declared = next();
    EXPECT_EQ(declared, std::to_string(kShapes[seq].declared));
    if (mode.size() < 3) return w;
    const int o = mode[0] - '0';
    const bool two = mode[1] == '2';
    const int per_step = o + 1 + (two ? 1 : 0);
    int actual = 0;
    bool ended = false;
    for (int step = 0; step < kShapes[seq].declared; ++step) {
      std::vector<std::string> strings;
      for (int k = 0; k < per_step; ++k) strings.push_back(next());
      if (strings[0].empty()) ended = true;
      if (ended) {
        for (const std::string &s : strings)
          EXPECT_TRUE(s.empty()) << "step " << step << " after the end holds \"" << s << "\"";
        continue;
      }
      ++actual;
      for (const std::string &s : strings) EXPECT_FALSE(s.empty()) << "step " << step;
      Step st{seq, step, {}, {}};
      st.operands.assign(strings.begin(), strings.begin() + o);
      st.expected.assign(strings.begin() + o, strings.end());
      w.steps.push_back(st);
    }
    EXPECT_EQ(actual, kShapes[seq].actual);
  }
  w.consumed = pos;
  return w;
}

// A number text as the table writes it: optional sign, digits with blanks between them,
// at most one point, at least one digit, then optionally blanks, "e", a sign and digits.
bool is_number_text(const std::string &s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  int digits = 0, points = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      ++digits;
    } else if (c == '.') {
      if (++points > 1) return false;
    } else if (c == ' ') {
      continue;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i == s.size()) return true;
  if (s[i] != 'e') return false;
  ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t start = i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  return i > start && i == s.size() && i - start <= 10;
}

bool is_angle_text(const std::string &s) {  // "dN": N degrees in radians
  if (s.size() < 2 || s[0] != 'd') return false;
  size_t i = 1;
  if (s[i] == '-') ++i;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

bool is_marker_text(const std::string &s) { return s == ".." || s == "1e1999999999"; }

class TestTableShape : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = sig_digits;
    bare_ = bare_digits;
    line_ = line_digits;
    group_ = group_digits;
    dec_set_precision(100);
    bare_digits = 0;
    line_digits = 200;
    group_digits = 20;
  }
  void TearDown() override {
    dec_set_precision(saved_);
    bare_digits = bare_;
    line_digits = line_;
    group_digits = group_;
  }
  int saved_, bare_, line_, group_;
};

TEST_F(TestTableShape, CountsAndTerminator) {
  ASSERT_EQ(TestTableCount, kDataStrings + 1);
  for (int i = 0; i < TestTableCount; ++i) ASSERT_NE(TestTable[i], nullptr) << i;
  EXPECT_STREQ(TestTable[kDataStrings], "");
  // Exactly 41 tags, and only where a sequence begins (checked by the walk below).
  int tags = 0;
  for (int i = 0; i < kDataStrings; ++i)
    if (std::strncmp(TestTable[i], "SEQ", 3) == 0) ++tags;
  EXPECT_EQ(tags, 41);
}

TEST_F(TestTableShape, SequencesAndStepsAsDeclared) {
  Walk w = walk_table();
  EXPECT_EQ(w.consumed, kDataStrings) << "the sequences do not fill the table exactly";
  int total = 0;
  for (const SeqShape &s : kShapes) total += s.actual;
  EXPECT_EQ(static_cast<int>(w.steps.size()), total);
}

TEST_F(TestTableShape, EveryDataStringIsAValidText) {
  Walk w = walk_table();
  static DecWord num[DEC_BUF_WORDS];
  for (const Step &st : w.steps) {
    const bool radian = std::string(kShapes[st.seq].mode).size() == 4;
    std::vector<std::string> all = st.operands;
    all.insert(all.end(), st.expected.begin(), st.expected.end());
    for (const std::string &s : all) {
      SCOPED_TRACE("sequence " + std::to_string(st.seq) + " step " + std::to_string(st.index) +
                   ": \"" + s + "\"");
      if (is_angle_text(s)) {
        EXPECT_TRUE(radian) << "angle operand outside a radian sequence";
        continue;
      }
      if (is_marker_text(s)) {
        int status = dec_from_text(num, s.c_str());
        EXPECT_EQ(status, -1);
        EXPECT_EQ(dec_head(num), s == ".." ? NUM_ERROR : NUM_OVERFLOW);
        continue;
      }
      ASSERT_TRUE(is_number_text(s)) << "not a number text";
      EXPECT_EQ(dec_from_text(num, s.c_str()), 0);
    }
  }
}

// Expected values are written as the display shows them (rounded to 100 digits, trailing
// zeros removed, groups of 20), except the exact sums and differences of the carry- and
// borrow-chain rows, which carry all their digits.
TEST_F(TestTableShape, ExpectedTextsAreDisplayTexts) {
  Walk w = walk_table();
  static DecWord num[DEC_BUF_WORDS];
  static char buf[TEXT_SLOT_BYTES];
  for (const Step &st : w.steps) {
    const bool chain_row = st.seq <= 1 && st.index >= 1 && st.index <= 6;
    for (const std::string &s : st.expected) {
      if (chain_row || is_angle_text(s) || is_marker_text(s)) continue;
      dec_from_text(num, s.c_str());
      dec_to_text(num, buf);
      EXPECT_EQ(std::string(buf), s + "\r\n")
          << "sequence " << st.seq << " step " << st.index;
    }
  }
}

TEST_F(TestTableShape, CarryChainRowsKeepTheirShape) {
  Walk w = walk_table();
  ASSERT_GE(w.steps.size(), 8u);
  // Sequence 0, second step: the row everything else is modelled on, verbatim.
  const Step &row = w.steps[1];
  ASSERT_EQ(row.seq, 0);
  EXPECT_EQ(row.operands[0],
            "010 020 030 040 050 060 070 080 090 010 020 030 040 050 060 070 080 090 005 015 025 "
            "035 045 055 065 075 085 095 015 025 035 045 055 065 075 085 095");
  EXPECT_EQ(row.operands[1],
            "000 000 000 000 000 000 000 000 000 090 090 090 090 090 090 090 090 090 005 005 005 "
            "005 005 005 005 005 005 005 095 095 095 095 095 095 095 095 095");
  EXPECT_EQ(row.expected[0],
            "10020030040050060070 08009010011012013014 01501601701800100200 30040050060070080090 "
            "10011012013014015016 0170180190");
  // The following five rows put one more zero into the first group of each string, which
  // moves the carry pattern by one digit position per row.
  auto digits = [](const std::string &s) {
    std::string d;
    for (char c : s)
      if (c != ' ') d += c;
    return d;
  };
  const std::string x0 = digits(row.operands[0]);
  const std::string y0 = digits(row.operands[1]);
  const std::string s0 = digits(row.expected[0]);
  for (int j = 1; j <= 5; ++j) {
    const Step &r = w.steps[1 + j];
    SCOPED_TRACE("row " + std::to_string(j));
    const std::string zeros(static_cast<size_t>(j), '0');
    EXPECT_EQ(digits(r.operands[0]), x0.substr(0, 2) + zeros + x0.substr(2));
    EXPECT_EQ(digits(r.operands[1]), zeros + y0);
    EXPECT_EQ(digits(r.expected[0]), s0.substr(0, 1) + zeros + s0.substr(1));
  }
  // Sequence 1 runs the same rows backwards: sum − y = x.
  for (const Step &st : w.steps) {
    if (st.seq != 1 || st.index < 1 || st.index > 6) continue;
    const Step &fwd = w.steps[st.index];
    EXPECT_EQ(st.operands[0], fwd.expected[0]);
    EXPECT_EQ(st.operands[1], fwd.operands[1]);
    std::string x = digits(fwd.operands[0]);
    EXPECT_EQ(digits(st.expected[0]), x.substr(x.find_first_not_of('0')));
  }
}

}  // namespace
