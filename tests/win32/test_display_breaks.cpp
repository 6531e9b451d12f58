// Display-side line breaks of the Win32 register boxes: the front end always gets back
// exactly what it set, and after an edit exactly what the user made of it.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ui/number_lines.h"
#include "ui/display_breaks.h"

namespace {

std::string make_digits(size_t n, std::mt19937 &rng) {
  std::string s;
  std::uniform_int_distribution<int> digit('0', '9');
  for (size_t i = 0; i < n; ++i) s += static_cast<char>(digit(rng));
  return s;
}

// The longest run of bytes without blank, TAB, CR or LF, in bytes.
size_t longest_run(const std::string &s) {
  size_t best = 0, run = 0;
  for (char c : s) {
    run = (c == ' ' || c == '\t' || c == '\r' || c == '\n') ? 0 : run + 1;
    if (run > best) best = run;
  }
  return best;
}

std::string restored(const DisplayText &d, const std::string &current) {
  std::string out;
  restore_display_text(d, current, out);
  return out;
}

}  // namespace

TEST(DisplayBreaks, TextsWithShortRunsAreShownAsTheyAre) {
  DisplayText d;
  const std::string normal = "97. 40909103400243723644 03326887060757999712\r\n34567 e12\r\n";
  EXPECT_FALSE(make_display_text(d, normal.data(), normal.size(), 46));
  EXPECT_EQ(d.shown, normal);
  EXPECT_TRUE(d.breaks.empty());
  EXPECT_FALSE(make_display_text(d, "", 0, 20));
  EXPECT_EQ(d.shown, "");
  // A run of exactly `columns` characters needs no break, and a run is never followed by
  // an empty line.
  const std::string exact(20, '7');
  EXPECT_FALSE(make_display_text(d, exact.data(), exact.size(), 20));
  const std::string one_more = exact + "7\r\n";
  EXPECT_TRUE(make_display_text(d, one_more.data(), one_more.size(), 20));
  EXPECT_EQ(d.shown, exact + "\r\n7\r\n");
}

TEST(DisplayBreaks, PlaneDisplayNumberIsBrokenIntoLinesAndGivenBackExactly) {
  std::mt19937 rng(12345);
  std::string text = "-";
  text += make_digits(1, rng);
  text += '.';
  text += make_digits(99999, rng);
  text += "e-12\r\n";
  for (size_t columns : {1u, 7u, 150u, 211u, 4000u}) {
    DisplayText d;
    ASSERT_TRUE(make_display_text(d, text.data(), text.size(), columns));
    EXPECT_LE(longest_run(d.shown), columns) << "columns " << columns;
    EXPECT_EQ(d.breaks.size(), (text.size() - 2 - 1) / columns) << "columns " << columns;
    for (size_t b : d.breaks) ASSERT_EQ(d.shown.compare(b, 2, "\r\n"), 0);
    // Unchanged box: the original, byte for byte.
    EXPECT_EQ(restored(d, d.shown), text) << "columns " << columns;
    // Without the record the shown text differs only by the breaks.
    std::string stripped;
    for (size_t i = 0, k = 0; i < d.shown.size(); ++i) {
      if (k < d.breaks.size() && i == d.breaks[k]) {
        ++i;
        ++k;
        continue;
      }
      stripped += d.shown[i];
    }
    EXPECT_EQ(stripped, text);
  }
}

TEST(DisplayBreaks, NeverBreaksInsideAUtf8Sequence) {
  // "日本語" repeated: three bytes per character.
  std::string text;
  for (int i = 0; i < 50; ++i) text += "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
  for (size_t columns = 1; columns < 12; ++columns) {
    DisplayText d;
    make_display_text(d, text.data(), text.size(), columns);
    for (size_t b : d.breaks) {
      ASSERT_LT(b + 2, d.shown.size());
      EXPECT_NE(static_cast<unsigned char>(d.shown[b + 2]) & 0xC0, 0x80)
          << "break before a continuation byte at " << b << ", columns " << columns;
    }
    EXPECT_EQ(restored(d, d.shown), text);
  }
}

TEST(DisplayBreaks, EditsKeepWhatTheUserTypedAndDropTheInsertedBreaks) {
  const std::string text = "1234567890123456789012345\r\n";  // 25 digits, columns 10
  DisplayText d;
  ASSERT_TRUE(make_display_text(d, text.data(), text.size(), 10));
  ASSERT_EQ(d.shown, "1234567890\r\n1234567890\r\n12345\r\n");
  // A digit typed in the middle line.
  EXPECT_EQ(restored(d, "1234567890\r\n12345X67890\r\n12345\r\n"),
            "1234567890" "12345X67890" "12345\r\n");
  // Typed at the very start and at the very end.
  EXPECT_EQ(restored(d, "-1234567890\r\n1234567890\r\n12345\r\n"), "-" + text);
  EXPECT_EQ(restored(d, "1234567890\r\n1234567890\r\n123456\r\n"),
            "1234567890123456789012345" "6\r\n");
  // The user deleted an inserted break (joining two lines): the other one still goes.
  EXPECT_EQ(restored(d, "12345678901234567890\r\n12345\r\n"), text);
  // Everything replaced by a new number.
  EXPECT_EQ(restored(d, "42"), "42");
  EXPECT_EQ(restored(d, ""), "");
  // A line break the user typed inside the edited part stays.
  EXPECT_EQ(restored(d, "1234567890\r\n12\r\n34567890\r\n12345\r\n"),
            "123456789012\r\n3456789012345\r\n");
}

TEST(DisplayBreaks, RandomEditsGiveTheSameTextAsTheEditOfTheOriginal) {
  // Model: an edit of the shown text that touches no inserted break is the same edit of
  // the original text; restoring must give exactly the edited original.
  std::mt19937 rng(20240607);
  std::uniform_int_distribution<int> coin(0, 9);
  const char alphabet[] = "0123456789 \r\n.-e";
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text;
    const size_t len = std::uniform_int_distribution<size_t>(0, 300)(rng);
    for (size_t i = 0; i < len; ++i) {
      // Mostly digits, so that long runs occur.
      text += coin(rng) < 8 ? static_cast<char>('0' + coin(rng))
                            : alphabet[std::uniform_int_distribution<int>(0, 15)(rng)];
    }
    const size_t columns = std::uniform_int_distribution<size_t>(1, 40)(rng);
    DisplayText d;
    make_display_text(d, text.data(), text.size(), columns);
    // Map original offsets to shown offsets: each inserted break before original offset i
    // shifts it by 2.
    std::vector<size_t> to_shown(text.size() + 1);
    {
      size_t k = 0;
      for (size_t i = 0; i <= text.size(); ++i) {
        while (k < d.breaks.size() && d.breaks[k] <= i + 2 * k) ++k;
        to_shown[i] = i + 2 * k;
      }
    }
    // Choose an edit [from, to) of the original with a replacement.
    size_t from = std::uniform_int_distribution<size_t>(0, text.size())(rng);
    size_t to = std::min(text.size(), from + std::uniform_int_distribution<size_t>(0, 5)(rng));
    std::string typed;
    for (int n = std::uniform_int_distribution<int>(0, 4)(rng); n > 0; --n)
      typed += alphabet[std::uniform_int_distribution<int>(0, 15)(rng)];
    // The same edit in shown coordinates: the deleted span must not contain a break.
    // Inserting at a break position means before it (the start of the break).
    size_t s_from = to_shown[from];
    // to_shown gives the position after any breaks before `from`; an insertion at an
    // offset where a break stands goes after the break, which is fine too.
    size_t s_to = s_from + (to - from);
    bool touches = false;
    for (size_t b : d.breaks)
      if (b < s_to && b + 2 > s_from) touches = true;
    if (touches) continue;
    std::string current = d.shown;
    current.replace(s_from, s_to - s_from, typed);
    std::string expected = text;
    expected.replace(from, to - from, typed);
    ASSERT_EQ(restored(d, current), expected)
        << "trial " << trial << " columns " << columns << " text '" << text << "' from " << from
        << " to " << to << " typed '" << typed << "'";
  }
}

// The engine's 200-digit lines, joined for display: every break between two digits of a
// grouped number becomes a blank, nothing else changes, and the digits stay in order.
// A grouped number's joined lines are wrapped between groups at the box's width, so the
// box never lays out a long line itself; the text comes back exactly.
TEST(DisplayBreaks, LongLinesWrapBetweenGroups) {
  std::mt19937 rng(99);
  std::string number;  // 5,000 groups, joined as the box shows them
  for (int g = 0; g < 5000; ++g) number += make_digits(20, rng) + (g + 1 < 5000 ? " " : "");
  number += "\r\n";
  for (size_t columns : {21u, 62u, 100u, 203u}) {
    DisplayText d;
    ASSERT_TRUE(make_display_text(d, number.data(), number.size(), columns));
    size_t line_start = 0;
    for (size_t b : d.breaks) {
      EXPECT_LE(b - line_start, columns + 1);
      EXPECT_EQ(d.shown[b - 1], ' ') << "a break inside a group at " << b;
      line_start = b + 2;
    }
    EXPECT_EQ(restored(d, d.shown), number);
    const size_t per_line = (columns + 1) / 21;  // groups of 20 digits and a blank
    EXPECT_EQ(d.breaks.size(), (5000 + per_line - 1) / per_line - 1) << columns;
  }
}

TEST(NumberLines, BreaksInsideAGroupedNumberBecomeBlanks) {
  std::mt19937 rng(5);
  // 450 digits as the engine shows them: groups of 20, ten to a line, CR LF at the end.
  std::string grouped = "1. ";
  const std::string digits = make_digits(449, rng);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (i + 1) % 200 == 0) grouped += "\r\n";
    else if (i > 0 && (i + 1) % 20 == 0) grouped += ' ';
    grouped += digits[i];
  }
  grouped += " e-7\r\n";
  struct Case {
    std::string text;
    bool joins;
  } cases[] = {
      {grouped, true},
      {"12\r\n34", false},           // typed by the user: no group blank before the break
      {"1234 5678\r\n", false},      // the final line end stays
      {"1 2\r\n\r\n3", false},       // an empty line is the user's
      {"2. 0000\r\n-3", false},      // the next line is not digits
      {"", false},
  };
  for (const Case &c : cases) {
    std::string out = "untouched";
    EXPECT_EQ(join_number_lines(c.text.data(), c.text.size(), &out), c.joins) << c.text;
    if (!c.joins) {
      EXPECT_EQ(out, "untouched");
      continue;
    }
    EXPECT_EQ(out.size(), c.text.size() - 2);
    std::string expected;  // every line break but the last one a blank
    for (size_t i = 0; i < c.text.size(); ++i) {
      const bool inner_break = c.text.compare(i, 2, "\r\n") == 0 && i + 2 < c.text.size();
      expected += inner_break ? " " : c.text.substr(i, 1);
      i += inner_break ? 1 : 0;
    }
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
  }
}

TEST(NumberLines, OffsetsMapBetweenTheShownAndTheSetText) {
  // The set text, the text a box shows for it, and offsets of the shown one with where they
  // fall in the set one, forward and backward.
  const std::string set = "1. 2345\r\n6789 0\r\n";
  const std::string shown = "1. 23\r\n45 6789\r\n0\n";
  struct Case {
    size_t shown_at, forward, backward;
  } cases[] = {
      {0, 0, 0},    // before "1"
      {3, 3, 2},    // before "2": backward, after "."
      {5, 5, 5},    // the inserted break: before "4" forward, after "3" backward
      {7, 5, 5},    // before "4"
      {10, 9, 7},   // the joining blank: before "6", after "5"
      {16, 14, 13}, {21, 15, 15},  // past the end: after the last digit (not its line end)
  };
  for (const Case &c : cases) {
    EXPECT_EQ(map_text_offset(shown.data(), shown.size(), c.shown_at, set.data(), set.size(), true), c.forward)
        << c.shown_at;
    EXPECT_EQ(map_text_offset(shown.data(), shown.size(), c.shown_at, set.data(), set.size(), false), c.backward)
        << c.shown_at;
  }
  EXPECT_EQ(map_text_offset("12", 2, 99, "1 2", 3, true), 3u);
  EXPECT_EQ(map_text_offset("1", 1, 0, " 1", 2, true), 1u);
  EXPECT_EQ(map_text_offset("", 0, 0, "", 0, true), 0u);
}
