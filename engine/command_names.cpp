// Command names: matching, refusals and suggestions over the catalogue (see
// command_names.h). Everything is derived from the table, so a new row is found, refused
// or suggested without a change here.
#include "engine/command_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Names that look like commands but name none of them on purpose.
struct Refusal {
  const char *key;
  const char *reason;
};
const Refusal REFUSALS[] = {
    {"log", "ambiguous: ln or log10"},
};

// The edit distance of a and b with adjacent swaps (optimal string alignment), or limit + 1
// once it exceeds limit.
int edit_distance(const std::string &a, const std::string &b, int limit) {
  const size_t n = a.size(), m = b.size();
  if ((n > m ? n - m : m - n) > (size_t)limit) return limit + 1;
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (size_t i = 0; i <= n; i++) d[i][0] = (int)i;
  for (size_t j = 0; j <= m; j++) d[0][j] = (int)j;
  for (size_t i = 1; i <= n; i++) {
    for (size_t j = 1; j <= m; j++) {
      int v = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) v = std::min(v, d[i - 2][j - 2] + 1);
      d[i][j] = v;
    }
  }
  return std::min(d[n][m], limit + 1);
}

// Every name of the catalogue as written (captions, then each row's aliases), in table
// order; the row's operand count beside it.
struct Name {
  std::string written;
  std::string key;
  const CommandDef *def;
};

std::vector<Name> all_names() {
  std::vector<Name> names;
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    if (d.kind != CMD_UNSUPPORTED) names.push_back({d.caption, command_key(d.caption), &d});
    std::istringstream aliases(d.aliases);
    std::string alias;
    while (aliases >> alias) names.push_back({alias, alias, &d});
  }
  return names;
}

}  // namespace

std::string command_key(const std::string &name) {
  std::string key;
  for (char c : name) {
    if (is_blank(c)) continue;
    key += (char)tolower((unsigned char)c);
  }
  return key;
}

const CommandDef *command_by_name(const std::string &name) {
  std::string key = command_key(name);
  if (key.empty()) return nullptr;
  for (int i = 0; i < CommandTableCount; i++) {
    if (command_key(CommandTable[i].caption) == key) return &CommandTable[i];
  }
  for (int i = 0; i < CommandTableCount; i++) {
    std::istringstream aliases(CommandTable[i].aliases);
    std::string alias;
    while (aliases >> alias) {
      if (alias == key) return &CommandTable[i];
    }
  }
  return nullptr;
}

const char *command_name_refusal(const std::string &name) {
  std::string key = command_key(name);
  for (const Refusal &r : REFUSALS)
    if (key == r.key) return r.reason;
  return nullptr;
}

bool is_identifier(const std::string &name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!letter(name[0])) return false;
  for (char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

std::vector<std::string> command_name_suggestions(const std::string &name, bool functions_only) {
  const std::string key = command_key(name);
  // One slip in a short name, two in a longer one; anything further is a different word.
  const int limit = key.size() <= 4 ? 1 : 2;
  std::vector<std::pair<int, std::string>> found;  // (distance, name as written)
  int best = limit + 1;
  for (const Name &n : all_names()) {
    if (functions_only && (command_arity(*n.def) < 0 || !is_identifier(n.key))) continue;
    int d = edit_distance(key, n.key, limit);
    if (d == 0 || d > limit) continue;
    best = std::min(best, d);
    found.emplace_back(d, n.written);
  }
  std::vector<std::string> out;
  for (const auto &f : found) {
    if (f.first != best) continue;
    if (std::find(out.begin(), out.end(), f.second) != out.end()) continue;
    out.push_back(f.second);
    if (out.size() == 4) break;
  }
  return out;
}

std::string did_you_mean(const std::vector<std::string> &names) {
  if (names.empty()) return "";
  std::string text = "did you mean ";
  for (size_t i = 0; i < names.size(); i++) {
    if (i > 0) text += ", ";
    text += names[i];
  }
  return text + "?";
}
