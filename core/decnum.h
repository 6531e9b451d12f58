// The decimal number record, the working precision and the lane arithmetic.
//
// How the core meets the rest of the system
// -----------------------------------------
// A number is a run of 32-bit words: word 0 is the head (decimal exponent × 2 + sign bit,
// or a marker), words 1 .. word_count hold six decimal digits each in 5-bit lanes at bit
// offsets 26, 21, 16, 11, 6, 1 (most significant first). Position k lies in word 1 + k / 6,
// lane offset 26 − 5 (k mod 6). Position 0 is the carry position; a normalised number has
// its leading digit in position 1 and reads d1.d2d3… × 10^exponent.
//
// The core owns the precision globals (sig_digits, word_count, internal_digits), the
// option flags it reads (bare_digits, line_digits, group_digits, compact_memory,
// hipr_mode), the division scan index and ScratchNums. All of them are plain globals
// touched only by the one worker thread that runs a command; the executor writes the
// flags and the precision at the start of each command. Nothing here allocates.
#pragma once

#include <cstdint>

typedef uint32_t DecWord;

constexpr int DEC_MAX_WORDS = 16669;             // largest word_count (100,000 digits)
constexpr int DEC_BUF_WORDS = DEC_MAX_WORDS + 1; // head word + digit words: every DecNum buffer
constexpr int DEC_SCRATCH_SLOTS = 15;

constexpr int32_t NUM_OVERFLOW = 0x7F010000;
constexpr int32_t NUM_ERROR = 0x7F020000;

constexpr int32_t DEC_EXP_MAX = 999999999;
constexpr int32_t DEC_EXP_MIN = -999999999;

constexpr DecWord LANE_DIGIT_MASK = 0x3DEF7BDE;  // the digit bits of a word at rest
constexpr DecWord LANE_ADD_CONST = 0x5AD6B5AD;   // +6 +16 per lane, +1 in bit 0
constexpr DecWord LANE_INC_CONST = 0x5AD6B5AE;   // LANE_ADD_CONST with an incoming carry
constexpr DecWord LANE_NOCARRY_BITS = 0x10842108;
constexpr DecWord TOP_LANE_MASK = 0x3C000000;    // bits 26..29: position 0 of word 1
constexpr DecWord LEAD_LANE_MASK = 0x01E00000;   // bits 21..24: position 1 of word 1

// ---- precision ----------------------------------------------------------------------
extern int sig_digits;       // digits shown, 12 .. 100,000
extern int word_count;       // digit words in use
extern int internal_digits;  // word_count × 6, positions including position 0
// The smallest word_count set since this was last lowered or reset by its user (the engine
// resets it to word_count at the start of every command). A number written while fewer
// words were in force keeps stale words after them, so the engine reads its registers
// again from their texts when word_count has grown past this.
extern int word_count_low_water;

// ---- option flags, set by the executor before every command -------------------------
extern int bare_digits;      // show every internal digit, unrounded
extern int line_digits;      // non-zero: CR LF every 200 digits
extern int group_digits;     // non-zero: a space every 20 digits
extern int compact_memory;   // multiply and divide without the table of multiples
extern int hipr_mode;        // alternative accumulation (script command "hipr" only)

// Division scan index: the remainder's leading digit words known to be zero.
extern int scan_index;

// Fifteen DecNum buffers back to back. Slots 0, 1: operand copies; 2 .. 9: the table of
// multiples (slot k holds k × an operand); 10 .. 14: work numbers of the functions.
// Long working values of the roots run on into the following slots, so the slots are one
// contiguous array.
extern DecWord ScratchNums[DEC_SCRATCH_SLOTS][DEC_BUF_WORDS];

inline DecWord *scratch_slot(int k) { return ScratchNums[k]; }

// ---- the head word ------------------------------------------------------------------
inline int32_t dec_head(const DecWord *p) { return (int32_t)p[0]; }
inline void dec_set_head(DecWord *p, int32_t h) { p[0] = (DecWord)h; }
inline int32_t dec_exponent(const DecWord *p) { return (int32_t)p[0] >> 1; }
inline int dec_sign(const DecWord *p) { return (int)(p[0] & 1); }
inline bool dec_is_marker(const DecWord *p) {
  return dec_head(p) == NUM_ERROR || dec_head(p) == NUM_OVERFLOW;
}
// A number is zero when its first digit word is zero (valid numbers only).
inline bool dec_is_zero(const DecWord *p) { return p[1] == 0; }

// ---- digit positions ----------------------------------------------------------------
inline int pos_word(int k) { return 1 + k / 6; }
inline int pos_shift(int k) { return 26 - 5 * (k % 6); }
inline int dec_digit_at(const DecWord *p, int k) {
  return (int)((p[pos_word(k)] >> pos_shift(k)) & 15);
}
inline void dec_put_digit(DecWord *p, int k, int d) {
  p[pos_word(k)] |= (DecWord)d << pos_shift(k);
}
// The six digits of a word as the integer 0 .. 999,999 they spell, first digit highest.
inline uint32_t word_integer(DecWord w) {
  uint32_t v = 0;
  for (int s = 26; s >= 1; s -= 5) v = v * 10 + ((w >> s) & 15);
  return v;
}
// The word whose six digits spell v (0 .. 999,999): the inverse of word_integer.
inline DecWord integer_word(uint32_t v) {
  DecWord w = 0;
  for (int s = 1; s <= 26; s += 5) {
    w |= (DecWord)(v % 10) << s;
    v /= 10;
  }
  return w;
}

// ---- lane arithmetic ----------------------------------------------------------------
// out = A + B + c lane by lane; returns the word, *carry_out = carry out of the top lane.
inline DecWord lane_add(DecWord a, DecWord b, DecWord c, DecWord *carry_out) {
  DecWord s = a + b + c + LANE_ADD_CONST;
  DecWord n = (s >> 2) & LANE_NOCARRY_BITS;
  s = s - n - (n >> 1);
  *carry_out = s >> 31;
  return s & LANE_DIGIT_MASK;
}
// A + 1.
inline DecWord lane_inc(DecWord a, DecWord *carry_out) {
  DecWord s = a + LANE_INC_CONST;
  DecWord n = (s >> 2) & LANE_NOCARRY_BITS;
  s = s - n - (n >> 1);
  *carry_out = s >> 31;
  return s & LANE_DIGIT_MASK;
}
// A − B with nb = 1 when no borrow is pending; *nb_out = 1 when no borrow goes on
// (a carry out of the top lane clears bit 31, which ~B had set).
inline DecWord lane_sub(DecWord a, DecWord b, DecWord nb, DecWord *nb_out) {
  DecWord s = a + ~b + nb;
  DecWord n = (s >> 2) & LANE_NOCARRY_BITS;
  s = s - n - (n >> 1);
  *nb_out = (s >> 31) ^ 1;
  return s & LANE_DIGIT_MASK;
}
// A − 1; *borrow_out = 1 when the borrow continues to the next more significant word.
inline DecWord lane_dec(DecWord a, DecWord *borrow_out) {
  DecWord s = a - 1;
  DecWord n = (s >> 2) & LANE_NOCARRY_BITS;
  s = s - n - (n >> 1);
  *borrow_out = s >> 31;
  return s & LANE_DIGIT_MASK;
}

// ---- maintenance operations ---------------------------------------------------------
// Digit counts for a precision: returns −1 (nothing changed) outside 12 .. 100,000.
int dec_set_precision(int digits);
// The word count dec_set_precision(digits) would choose (digits in 12 .. 100,000).
int dec_word_count_for(int digits);

int dec_copy(DecWord *dst, const DecWord *src);          // head + words 1..word_count
int dec_copy_guarded(DecWord *dst, const DecWord *src);  // −1 for null; no-op when equal
int dec_zero(DecWord *p);                                // canonical zero
int dec_zero_guarded(DecWord *p);                        // −1 for null
void dec_set_marker(DecWord *p, int32_t marker);         // head = marker (null-safe)

// Repairs a digit in position 0: exponent + 1, words 1 .. last + 1 shift one lane down
// (the digit that falls off the end is dropped). −1 and NUM_OVERFLOW beyond the range.
int dec_carry_shift(DecWord *p, int last);
// Removes leading zero positions (or a carry digit). Underflow gives zero, status 0.
int dec_normalise(DecWord *p);
// Moves every digit one position towards position 0, exponent − 1 (value unchanged).
// NUM_ERROR when position 0 is occupied.
int dec_shift_left_digit(DecWord *p);

// Puts a borrowed head word back when the scope ends, also when a cancellation unwinds
// through it (multiplication and division lend an operand's head to their kernels).
struct HeadRestore {
  DecWord *p;
  DecWord head;
  bool active;
  HeadRestore(DecWord *p_, DecWord head_, bool active_) : p(p_), head(head_), active(active_) {}
  HeadRestore(const HeadRestore &) = delete;
  HeadRestore &operator=(const HeadRestore &) = delete;
  ~HeadRestore() {
    if (active) p[0] = head;
  }
};

// The first 17 digits of a normalised number as a double (for Newton start values).
double dec_leading_double(const DecWord *p);

// Test support: 0 when p is a valid number at rest at the current precision (markers
// count as valid), else a short reason code (non-zero).
int dec_check_valid(const DecWord *p);
