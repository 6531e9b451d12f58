// Showing a number as the text of a register box.
//
// Rounding happens only here: half up at the last shown digit, done in place on the
// caller's number with the lane increment and undone with the lane decrement, so the
// number is bit for bit what it was when the call returns. The one exception is a carry
// past the top exponent, which the display leaves out (rounding toward zero), so that
// every text written here reads back as a number within a unit of its last shown digit. Digits are indexed k = 0, 1, …
// from the leading printed character; index k is preceded by CR LF when k is a multiple
// of the line length, else by a blank when it is a multiple of the group length.
#include <cstdio>
#include <cstring>

#include "core/cancel.h"
#include "core/text.h"

namespace {

constexpr int FIXED_MESSAGE_CAPACITY = 100029;
constexpr int NEVER_REACHED = 100034;  // a line / group length no digit count reaches
constexpr int TEXT_LIMIT = TEXT_SLOT_BYTES - 1;

void copy_message(char *buf, const char *msg) {
  std::strncpy(buf, msg, FIXED_MESSAGE_CAPACITY - 1);
  buf[FIXED_MESSAGE_CAPACITY - 1] = 0;
}

// Adds (+1) or removes (−1) one unit at position k, carrying or borrowing towards word 1.
void unit_at(DecWord *p, int k, int delta) {
  int w = pos_word(k);
  DecWord unit = (DecWord)1 << pos_shift(k);
  DecWord carry;
  if (delta > 0) {
    p[w] = lane_add(p[w], unit, 0, &carry);
    while (carry && --w >= 1) p[w] = lane_inc(p[w], &carry);
  } else {
    DecWord nb;
    p[w] = lane_sub(p[w], unit, 1, &nb);
    DecWord borrow = !nb;
    while (borrow && --w >= 1) p[w] = lane_dec(p[w], &borrow);
  }
}

// Bounded text writer: never writes past the slot, whatever the digit count.
struct TextOut {
  char *buf;
  int len = 0;
  void put(char c) {
    if (len < TEXT_LIMIT) buf[len++] = c;
  }
  void puts(const char *s) {
    while (*s) put(*s++);
  }
};

// Emits the separators and the digit of index k.
struct DigitWriter {
  TextOut &out;
  int line_len, group_len;
  void digit(int k, char c) {
    if (k > 0) {
      if (k % line_len == 0) {
        out.put('\r');
        out.put('\n');
      } else if (k % group_len == 0) {
        out.put(' ');
      }
    }
    out.put(c);
    if ((k & 4095) == 4095) cancel_check();
  }
};

}  // namespace

int dec_to_text(DecWord *p, char *buf) {
  if (!p || !buf) return -1;
  const int count = bare_digits ? internal_digits - 1 : sig_digits;
  const int32_t head = dec_head(p);
  if (head == NUM_OVERFLOW) {
    copy_message(buf, "OVERFLOW\r\n");
    return -1;
  }
  if (head == NUM_ERROR) {
    copy_message(buf, "ERROR\r\n");
    return -1;
  }
  if ((p[1] & TOP_LANE_MASK) != 0 || ((p[1] & LEAD_LANE_MASK) == 0 && head != 0)) {
    copy_message(buf, "WRONG FORMAT\r\n");
    return -1;
  }
  if (p[1] == 0) {
    copy_message(buf, "0\r\n");
    return 0;
  }

  bool rounded = false;
  if (count < internal_digits - 1 && dec_digit_at(p, count + 1) >= 5) {
    unit_at(p, count, +1);
    rounded = true;
    // A carry into position 0 at the top exponent would show 1 e1000000000, a text that
    // reads back as OVERFLOW. There the display rounds toward zero instead: the shown
    // nines are the number's own digits, less than a unit of the last one below it.
    if ((p[1] & TOP_LANE_MASK) && dec_exponent(p) == DEC_EXP_MAX) {
      unit_at(p, count, -1);
      rounded = false;
    }
  }

  const int top = (p[1] & TOP_LANE_MASK) ? 1 : 0;
  const int first = 1 - top;  // position of the leading shown digit
  int z = 0;
  while (z < count && dec_digit_at(p, first + count - 1 - z) == 0) ++z;
  const int m = count - z;
  const int64_t t = (int64_t)dec_exponent(p) + top;

  const int L = line_digits ? 200 : NEVER_REACHED;
  const int G = group_digits ? 20 : NEVER_REACHED;
  TextOut out{buf};
  DigitWriter dw{out, L, G};
  auto printed = [&](int i) { return (char)('0' + dec_digit_at(p, first + i)); };

  if (dec_sign(p)) out.put('-');
  const bool scientific = t < -200 || t >= count || (t < 0 && -t > z && -t > 3);
  if (!scientific && t >= 0) {
    for (int k = 0; k <= t; ++k) dw.digit(k, k < m ? printed(k) : '0');
    if (m > t + 1) {
      out.put('.');
      if (group_digits) out.put(' ');
      for (int k = (int)t + 1; k <= m - 1; ++k) dw.digit(k, printed(k));
    }
  } else if (!scientific) {
    out.put('.');
    const int lead_zeros = (int)-t;  // indices 1 .. −t − 1 are zeros
    for (int k = 1; k < lead_zeros; ++k) dw.digit(k, '0');
    for (int i = 0; i < m; ++i) dw.digit(lead_zeros + i, printed(i));
  } else {
    out.put(printed(0));
    if (m > 1) {
      out.put('.');
      for (int k = 1; k <= m - 1; ++k) dw.digit(k, printed(k));
    }
    if (group_digits) out.put(' ');
    char exp_text[16];
    std::snprintf(exp_text, sizeof exp_text, "e%d", (int)t);
    out.puts(exp_text);
  }
  out.put('\r');
  out.put('\n');
  out.buf[out.len] = 0;

  if (rounded) unit_at(p, count, -1);
  return 0;
}
