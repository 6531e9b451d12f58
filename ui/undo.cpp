// Undo and redo of commands: a bounded stack of register snapshots.
//
// A snapshot holds its texts by shared pointer. When one is taken, each text is looked up
// among the texts of the nearest undo and redo levels and of the snapshot itself (by
// length and hash, then compared byte for byte) and shared when found, so a stack
// movement, which only shifts texts between registers, costs nothing but the one new
// text. Every text counts its bytes into text_bytes while it lives.
//
// Restoring writes a register's slot and box only where the text differs, so an undo
// costs what it changes. R0..R4 need nothing more: the engine compares a box's text with
// the register's shadow text and reads it again when they differ. R5..R9 are compared
// through their 50-character display copies only, so a memory register whose full text
// was replaced is marked stale (mark_shadow_stale) and read again at the next command.
#include "ui/undo.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/executor.h"
#include "engine/state.h"
#include "ui/control_table.h"
#include "ui/function_list.h"
#include "ui/register_tools.h"

namespace {

constexpr int REGISTER_TEXTS = 10;  // R0..R4 (TextSlots), R5..R9 (MemoryTexts)
constexpr int MEMORY_DISPLAY_CHARS = 50;

size_t text_bytes = 0;

struct Text {
  explicit Text(std::string_view s) : bytes(s), hash(std::hash<std::string_view>()(s)) {
    text_bytes += bytes.size();
  }
  ~Text() { text_bytes -= bytes.size(); }
  Text(const Text &) = delete;
  Text &operator=(const Text &) = delete;
  const std::string bytes;
  const size_t hash;
};
using TextRef = std::shared_ptr<const Text>;

struct Snapshot {
  int id = 0;  // the command the level belongs to
  TextRef registers[REGISTER_TEXTS];
  TextRef digits;
  std::vector<int32_t> options;  // Settings of option_indices(), in that order
};

std::deque<Snapshot> undo_stack;  // back: the last command
std::deque<Snapshot> redo_stack;  // back: the next to redo

// The Settings indices behind the option boxes (radio buttons and check boxes), from the
// control table, each once.
const std::vector<int> &option_indices() {
  static const std::vector<int> indices = [] {
    std::vector<int> v;
    for (const ControlDef &c : ControlTable) {
      if (c.kind != KIND_RADIO && c.kind != KIND_CHECK) continue;
      if (c.index < 0 || c.index >= SETTINGS_COUNT) continue;
      bool seen = false;
      for (int i : v) seen |= i == c.index;
      if (!seen) v.push_back(c.index);
    }
    return v;
  }();
  return indices;
}

const char *register_text(int n) { return n < 5 ? TextSlots[n] : MemoryTexts[n - 5]; }

// The text s as a shared Text: one of `known` when equal, else a new one.
TextRef intern(std::string_view s, const std::vector<const TextRef *> &known) {
  const size_t hash = std::hash<std::string_view>()(s);
  for (const TextRef *k : known) {
    if (*k && (*k)->hash == hash && (*k)->bytes == s) return *k;
  }
  return std::make_shared<const Text>(s);
}

void add_texts(std::vector<const TextRef *> &known, const Snapshot &s) {
  for (const TextRef &t : s.registers) known.push_back(&t);
  known.push_back(&s.digits);
}

// The state the slots and Settings hold now.
Snapshot capture(int id) {
  std::vector<const TextRef *> known;
  if (!undo_stack.empty()) add_texts(known, undo_stack.back());
  if (!redo_stack.empty()) add_texts(known, redo_stack.back());
  Snapshot s;
  s.id = id;
  for (int n = 0; n < REGISTER_TEXTS; ++n) {
    s.registers[n] = intern(register_text(n), known);
    known.push_back(&s.registers[n]);  // "dup" leaves R0 and R1 alike
  }
  s.digits = intern(TextSlots[SLOT_SIG_DIGITS], known);
  for (int index : option_indices()) s.options.push_back(Settings[index]);
  return s;
}

bool same_state(const Snapshot &s) {
  for (int n = 0; n < REGISTER_TEXTS; ++n) {
    if (s.registers[n]->bytes != register_text(n)) return false;
  }
  if (s.digits->bytes != TextSlots[SLOT_SIG_DIGITS]) return false;
  const std::vector<int> &indices = option_indices();
  for (size_t i = 0; i < indices.size(); ++i) {
    if (s.options[i] != Settings[indices[i]]) return false;
  }
  return true;
}

// The oldest levels go until the budget holds; the newest level always stays.
void trim() {
  while (static_cast<int>(undo_stack.size()) > UNDO_MAX_LEVELS) undo_stack.pop_front();
  while (text_bytes > UNDO_TEXT_BUDGET && undo_stack.size() + redo_stack.size() > 1) {
    if (!undo_stack.empty() && (undo_stack.size() > 1 || redo_stack.empty())) {
      undo_stack.pop_front();
    } else {
      redo_stack.pop_front();
    }
  }
}

// Puts one edit box's text back into its slot and its box when it differs.
bool restore_box(int id, char *slot, const std::string &text) {
  if (text == slot) return false;
  slot_copy(slot, text.c_str());
  plat_set_text(ControlWindows[id], slot);
  return true;
}

void restore(UiHandle main, const Snapshot &s) {
  static const int BOX_OF_REGISTER[5] = {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4};
  const int focused = plat_focused_id(main);
  bool refocus = false;
  for (int n = 0; n < 5; ++n) {
    if (restore_box(BOX_OF_REGISTER[n], TextSlots[n], s.registers[n]->bytes))
      refocus |= focused == BOX_OF_REGISTER[n];
  }
  for (int k = 0; k < MEMORY_TEXT_COUNT; ++k) {
    const std::string &text = s.registers[5 + k]->bytes;
    if (text == MemoryTexts[k]) continue;
    slot_copy(MemoryTexts[k], text.c_str());
    const size_t n = strnlen(MemoryTexts[k], MEMORY_DISPLAY_CHARS);
    std::memcpy(TextSlots[5 + k], MemoryTexts[k], n);
    TextSlots[5 + k][n] = '\0';
    mark_shadow_stale(5 + k);
  }
  if (restore_box(ID_SIG_DIGITS, TextSlots[SLOT_SIG_DIGITS], s.digits->bytes))
    refocus |= focused == ID_SIG_DIGITS;

  const std::vector<int> &indices = option_indices();
  for (size_t i = 0; i < indices.size(); ++i) Settings[indices[i]] = s.options[i];
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    if (c.kind != KIND_RADIO && c.kind != KIND_CHECK) continue;
    if (c.index < 0 || c.index >= SETTINGS_COUNT) continue;
    const bool on = c.kind == KIND_RADIO ? Settings[c.index] == id - c.group : Settings[c.index] != 0;
    plat_set_check(ControlWindows[id], on);
  }
  // A box with the focus whose text was replaced is ready for typing, as after a command.
  if (refocus) plat_set_focus(ControlWindows[focused]);
}

void set_status(const char *verb_en, const char *verb_ja, int id) {
  const int language = caption_language();
  const char *caption = "";
  if (id >= 0 && id < CONTROL_COUNT && ControlTable[id].caption[language])
    caption = ControlTable[id].caption[language];
  if (id == UNDO_LOAD_FILE) caption = language == 1 ? "Load from file" : "ファイルから読込";
  if (const char *name = function_name(id)) caption = name;
  char text[200];
  std::snprintf(text, sizeof text, "%s: %s", language == 1 ? verb_en : verb_ja, caption);
  slot_copy(TextSlots[SLOT_STATUS], text);
}

}  // namespace

void undo_record(int id) {
  redo_stack.clear();
  undo_stack.push_back(capture(id));
  trim();
}

void undo_drop_if_unchanged() {
  if (!undo_stack.empty() && same_state(undo_stack.back())) undo_stack.pop_back();
}

bool undo_step(UiHandle main, bool redo) {
  std::deque<Snapshot> &from = redo ? redo_stack : undo_stack;
  std::deque<Snapshot> &to = redo ? undo_stack : redo_stack;
  if (from.empty()) {
    const bool english = caption_language() == 1;
    slot_copy(TextSlots[SLOT_STATUS], redo ? (english ? "nothing to redo" : "やり直す操作はありません")
                                           : (english ? "nothing to undo" : "元に戻す操作はありません"));
    plat_invalidate(main);
    return false;
  }
  // The boxes as they stand, typing since the command included, become the other side.
  read_edit_texts();
  const int id = from.back().id;
  to.push_back(capture(id));
  Snapshot target = std::move(from.back());
  from.pop_back();
  restore(main, target);
  position_field_update();
  if (redo) {
    set_status("redone", "やり直しました", id);
  } else {
    set_status("undone", "元に戻しました", id);
  }
  trim();
  plat_invalidate(main);
  return true;
}

void undo_reset() {
  undo_stack.clear();
  redo_stack.clear();
}

int undo_levels() { return static_cast<int>(undo_stack.size()); }
int redo_levels() { return static_cast<int>(redo_stack.size()); }
size_t undo_text_bytes() { return text_bytes; }
