// The list of the constants and functions beyond the buttons (see function_list.h).
//
// The names come from the command catalogue, the descriptions from the table below, one
// line in each caption language. A function runs as a button does: start_command puts the
// code into Settings[SET_COMMAND] and starts the worker, the state before it becomes an
// undo level, and the engine computes these commands with exact digits whatever the
// option says.
#include "ui/function_list.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/command_table.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/keys.h"
#include "ui/main_window.h"

namespace {

struct Description {
  int code;
  const char *text[2];  // [language]
};

// One line per command: what it gives, its domain where that is narrower than the reals.
// x is R1, y is R0, as for "x ^ y".
const Description DESCRIPTIONS[] = {
    {200, {"オイラーの定数 γ = 0.5772…", "Euler's constant γ = 0.5772…"}},
    {201, {"カタランの定数 G = 0.9159…", "Catalan's constant G = 0.9159…"}},
    {202, {"アペリーの定数 ζ(3) = 1.2020…", "Apéry's constant ζ(3) = 1.2020…"}},
    {203, {"2 の自然対数 ln 2 = 0.6931…", "natural logarithm of 2, ln 2 = 0.6931…"}},
    {204, {"黄金比 φ = (1 + √5) / 2", "golden ratio φ = (1 + √5) / 2"}},
    {205, {"2 の平方根 √2 = 1.4142…", "square root of 2, √2 = 1.4142…"}},
    {210, {"ガンマ関数 Γ(y)、y ≠ 0, -1, -2, …", "gamma function Γ(y), y ≠ 0, -1, -2, …"}},
    {211, {"対数ガンマ関数 ln |Γ(y)|", "log-gamma function ln |Γ(y)|"}},
    {212, {"リーマンのゼータ関数 ζ(y)、y ≠ 1", "Riemann zeta function ζ(y), y ≠ 1"}},
    {213, {"誤差関数 erf(y)", "error function erf(y)"}},
    {214, {"相補誤差関数 erfc(y) = 1 - erf(y)", "complementary error function erfc(y) = 1 - erf(y)"}},
    {215, {"ランベルトの W 関数 W0(y) (主枝)、y >= -1/e", "Lambert W function W0(y), principal branch, y >= -1/e"}},
    {216, {"ランベルトの W 関数 W-1(y) (下の枝)、-1/e <= y < 0",
           "Lambert W function W-1(y), lower branch, -1/e <= y < 0"}},
    {220, {"算術幾何平均 AGM(x, y)", "arithmetic-geometric mean AGM(x, y)"}},
    {221, {"二項係数 x C y (x から y 個選ぶ)、y は整数", "binomial coefficient x choose y, y an integer"}},
    {222, {"点 (y, x) の偏角 atan2(x, y)", "angle of the point (y, x), atan2(x, y)"}},
    {223, {"y を底とする x の対数 log_y x", "logarithm of x to the base y, log_y x"}},
    {224, {"x の y 乗根、y は整数", "y-th root of x, y an integer"}},
    {225, {"最大公約数 gcd(x, y)、整数", "greatest common divisor gcd(x, y) of integers"}},
    {230, {"べき剰余 R2 ^ R1 mod R0、整数", "modular power R2 ^ R1 mod R0 of integers"}},
};

const char *const LIST_TITLE[2] = {"関数と定数", "Functions and constants"};
const char *const MENU_ITEM[2] = {"関数と定数…", "Functions and constants…"};
const char *const LIST_LABEL[2] = {
    "x = R1、y = R0 (powmod は R2 ^ R1 mod R0)。結果は常に全桁正確です。入力で絞り込み、Enter で選んだ行を実行します。",
    "x = R1, y = R0 (powmod: R2 ^ R1 mod R0); results always in exact digits. Type to filter, Enter runs the selected row."};
const char *const HEADINGS[2][3] = {{"名前", "説明", "キー"}, {"Name", "Description", "Key"}};
const char *const RUN_BUTTON[2] = {"実行", "Run"};
const char *const CANCEL_BUTTON[2] = {"キャンセル", "Cancel"};

constexpr int GRID_FIRST = ID_FIRST_COMMAND, GRID_LAST = ID_FIRST_COMMAND + 59;  // 35 .. 94

const std::vector<FunctionEntry> &entries() {
  static const std::vector<FunctionEntry> rows = [] {
    std::vector<FunctionEntry> v;
    for (int i = 0; i < CommandTableCount; ++i) {
      const CommandDef &def = CommandTable[i];
      if (!command_is_extra(def)) continue;
      FunctionEntry e{def.code, def.caption, def.aliases ? def.aliases : "", {def.help, def.help}};
      for (const Description &d : DESCRIPTIONS) {
        if (d.code == def.code) {
          e.description[0] = d.text[0];
          e.description[1] = d.text[1];
        }
      }
      v.push_back(e);
    }
    return v;
  }();
  return rows;
}

std::string lower(const std::string &s) {
  std::string out = s;
  for (char &c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::vector<std::string> words_of(const std::string &s) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
    if (j > i) words.push_back(s.substr(i, j - i));
    i = j;
  }
  return words;
}

bool starts_with(const std::string &s, const std::string &p) { return s.compare(0, p.size(), p) == 0; }

// How well a row matches a filter of one or more words (lower case): 0 best .. 5, or -1
// when it does not.
int match_rank(const FunctionEntry &e, int language, const std::vector<std::string> &words) {
  const std::string name = lower(e.name);
  const std::vector<std::string> aliases = words_of(lower(e.aliases));
  const std::string description = lower(e.description[language == 0 ? 0 : 1]);
  auto in_names = [&](const std::string &w) {
    if (name.find(w) != std::string::npos) return true;
    for (const std::string &a : aliases) {
      if (a.find(w) != std::string::npos) return true;
    }
    return false;
  };
  if (words.size() == 1) {
    const std::string &f = words[0];
    if (name == f) return 0;
    if (starts_with(name, f)) return 1;
    for (const std::string &a : aliases) {
      if (starts_with(a, f)) return 2;
    }
    if (in_names(f)) return 3;
    if (description.find(f) != std::string::npos) return 4;
    return -1;
  }
  for (const std::string &w : words) {
    if (!in_names(w) && description.find(w) == std::string::npos) return -1;
  }
  return 5;
}

int list_language = 1;  // the captions' language while the list is open
std::string last_filter;

void refuse_during_run() {
  plat_message_box(main_window, REFUSAL_MESSAGE[caption_language()], REFUSAL_TITLE, UI_MB_OK);
  plat_invalidate(main_window);
}

bool is_grid(int id) { return id >= GRID_FIRST && id <= GRID_LAST; }

// The one item of the grid's menu, shown on a button or on the window's background.
bool show_grid_menu(UiHandle on) {
  if (command_running()) {
    refuse_during_run();
    return true;
  }
  const int language = caption_language();
  std::string item = MENU_ITEM[language];
  if (const KeyBinding *b = key_for(KEY_FUNCTION_LIST)) {
    item += '\t';
    item += key_name(*b);
  }
  const char *items[] = {item.c_str()};
  if (plat_context_menu(on, items, 1) == 0) open_function_list();
  return true;
}

}  // namespace

int function_count() { return static_cast<int>(entries().size()); }

const FunctionEntry &function_entry(int row) { return entries()[static_cast<size_t>(row)]; }

int function_filter(const char *filter, int language, int *shown) {
  const std::vector<std::string> words = words_of(lower(filter ? filter : ""));
  const int n = function_count();
  if (words.empty()) {
    for (int i = 0; i < n; ++i) shown[i] = i;
    return n;
  }
  std::vector<std::pair<int, int>> ranked;  // (rank, row)
  for (int i = 0; i < n; ++i) {
    const int rank = match_rank(function_entry(i), language, words);
    if (rank >= 0) ranked.emplace_back(rank, i);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const std::pair<int, int> &a, const std::pair<int, int> &b) { return a.first < b.first; });
  for (size_t k = 0; k < ranked.size(); ++k) shown[k] = ranked[k].second;
  return static_cast<int>(ranked.size());
}

std::string function_shortest_filter(int row) {
  const FunctionEntry &e = function_entry(row);
  std::vector<std::string> names = {e.name};
  for (const std::string &a : words_of(e.aliases)) names.push_back(a);
  std::vector<int> shown(static_cast<size_t>(function_count()));
  std::string best = e.name;
  for (const std::string &name : names) {
    for (size_t len = 1; len < best.size() && len <= name.size(); ++len) {
      const std::string typed = name.substr(0, len);
      if (function_filter(typed.c_str(), 1, shown.data()) > 0 && shown[0] == row) {
        best = typed;
        break;
      }
    }
  }
  return best;
}

std::string function_key_text(int row) {
  const KeyBinding *b = key_for(KEY_FUNCTION_LIST);
  return (b ? key_name(*b) + ", " : std::string()) + function_shortest_filter(row);
}

const char *function_name(int code) {
  for (const FunctionEntry &e : entries()) {
    if (e.code == code) return e.name;
  }
  return nullptr;
}

void open_function_list() {
  if (command_running()) return refuse_during_run();
  const int language = caption_language();
  const int n = function_count();
  std::vector<std::string> keys(static_cast<size_t>(n));
  std::vector<const char *> cells;
  for (int i = 0; i < n; ++i) {
    const FunctionEntry &e = function_entry(i);
    keys[static_cast<size_t>(i)] = function_key_text(i);
    cells.push_back(e.name);
    cells.push_back(e.description[language]);
    cells.push_back(keys[static_cast<size_t>(i)].c_str());
  }
  UiListChooser chooser{};
  chooser.title = LIST_TITLE[language];
  chooser.label = LIST_LABEL[language];
  for (int c = 0; c < 3; ++c) chooser.headings[c] = HEADINGS[language][c];
  chooser.cells = cells.data();
  chooser.rows = n;
  chooser.filter = last_filter.c_str();
  chooser.ok = RUN_BUTTON[language];
  chooser.cancel = CANCEL_BUTTON[language];
  list_language = language;
  // The control with the focus before the dialog takes the keyboard: the run hands it on
  // as a button press does.
  const int focused = plat_focused_id(main_window);
  char filter[256] = "";
  const int row = plat_choose_row(main_window, &chooser, filter, sizeof filter);
  last_filter = filter;
  if (row < 0 || row >= n) return;
  run_function(function_entry(row).code, focused);
}

void run_function(int code, int focused) {
  if (command_running()) return refuse_during_run();
  if (!function_name(code)) return;
  start_command(main_window, code, focused);
  plat_invalidate(main_window);
}

bool point_in_grid(int x, int y) {
  const UiRect first = control_rect(ControlTable[GRID_FIRST]), last = control_rect(ControlTable[GRID_LAST]);
  return x >= first.left && x < last.right && y >= first.top && y < last.bottom;
}

bool grid_context_menu(int id) {
  if (!is_grid(id)) return false;
  return show_grid_menu(ControlWindows[id]);
}

bool ui_on_background_menu(int x, int y) {
  if (!point_in_grid(x, y)) return false;
  return show_grid_menu(main_window);
}

int ui_on_list_filter(const char *filter, int *shown) { return function_filter(filter, list_language, shown); }
