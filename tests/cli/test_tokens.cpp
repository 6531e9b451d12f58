// The token grammar of deepnums-cli.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "cli/tokens.h"

namespace {

Token parse_ok(const std::string &s) {
  Token t;
  std::string error;
  EXPECT_TRUE(parse_token(s, &t, &error)) << s << ": " << error;
  return t;
}

std::string parse_error(const std::string &s) {
  Token t;
  std::string error;
  EXPECT_FALSE(parse_token(s, &t, &error)) << s;
  return error;
}

int code_of(const std::string &s) {
  Token t = parse_ok(s);
  EXPECT_EQ(t.kind, TOKEN_COMMAND) << s;
  return t.code;
}

TEST(Tokens, EveryCaptionMatchesWithoutRegardToCaseOrBlanks) {
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    if (d.code == 89) continue;  // "---" twice: the first one wins
    std::string caption = d.caption, upper, squeezed;
    for (char c : caption) {
      upper += (char)toupper((unsigned char)c);
      if (c != ' ') squeezed += c;
    }
    EXPECT_EQ(code_of(caption), d.code) << caption;
    EXPECT_EQ(code_of(upper), d.code) << upper;
    EXPECT_EQ(code_of(squeezed), d.code) << squeezed;
    EXPECT_EQ(code_of(" " + caption + "\t"), d.code) << caption;
  }
  EXPECT_EQ(code_of("---"), 88);
}

TEST(Tokens, AliasesAreUniqueAndNeverShadowACaption) {
  std::map<std::string, int> keys;
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    if (d.code != 89) {
      EXPECT_TRUE(keys.emplace(command_key(d.caption), d.code).second) << d.caption;
    }
  }
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    std::istringstream in(d.aliases);
    std::string alias;
    while (in >> alias) {
      EXPECT_EQ(alias, command_key(alias)) << "alias not in key form: " << alias;
      EXPECT_TRUE(keys.emplace(alias, d.code).second) << "alias collides: " << alias;
      EXPECT_EQ(code_of(alias), d.code) << alias;
      EXPECT_EQ(parse_ok(alias).kind, TOKEN_COMMAND) << alias;
    }
  }
}

TEST(Tokens, IssueExamples) {
  EXPECT_EQ(code_of("x^y"), 47);
  EXPECT_EQ(code_of("10^n"), 54);
  EXPECT_EQ(code_of("|x|"), 87);
  EXPECT_EQ(code_of("pow"), 47);
  EXPECT_EQ(code_of("sqrt"), 43);
  EXPECT_EQ(code_of("ln"), 58);
  EXPECT_EQ(code_of("swap"), 46);
  EXPECT_EQ(code_of("neg"), 86);
  EXPECT_EQ(code_of("abs"), 87);
  EXPECT_EQ(code_of("fact"), 85);
  EXPECT_EQ(code_of("run"), 95);
  EXPECT_EQ(code_of("Perform the following"), 95);
  EXPECT_EQ(code_of("->r5"), 70);
  EXPECT_EQ(code_of("r9->"), 79);
  EXPECT_EQ(code_of("fillw/9"), 90);
  EXPECT_EQ(code_of("r.off"), 91);
}

TEST(Tokens, CaptionsThatBeginWithADigitAreCommands) {
  EXPECT_EQ(code_of("1/x"), 42);
  EXPECT_EQ(code_of("10 ^ n"), 54);
  EXPECT_EQ(code_of("0<->1"), 46);
  EXPECT_EQ(code_of("-"), 36);
  EXPECT_EQ(code_of("+"), 35);
  EXPECT_EQ(code_of("+/-"), 86);
}

TEST(Tokens, Numbers) {
  for (const char *s : {"12", ".5", "-3", "+.5", "-.25", "0", "1e5", "1 234", "9.9e-999999999",
                        "1,000.5", "5.", "1E+3", "1e 3", "7 "}) {
    Token t = parse_ok(s);
    EXPECT_EQ(t.kind, TOKEN_NUMBER) << s;
    EXPECT_EQ(t.text, s);
  }
  // Begin like a number but are not one whole: the reader would stop inside them.
  for (const char *s : {"-x", "e5", ".", "12abc", "0x10", "1/2", "1.2.3", "1e", "1e+",
                        "1e5x", "1-2", "--1", "1e5.5", "2\t3"}) {
    parse_error(s);
  }
  parse_error(std::string(110000, '1'));
  EXPECT_EQ(parse_ok(std::string(109999, '1')).kind, TOKEN_NUMBER);
}

TEST(Tokens, RegisterTexts) {
  Token t = parse_ok("R0=12");
  EXPECT_EQ(t.kind, TOKEN_REGISTER_TEXT);
  EXPECT_EQ(t.reg, 0);
  EXPECT_EQ(t.text, "12");
  t = parse_ok("r4=");
  EXPECT_EQ(t.reg, 4);
  EXPECT_EQ(t.text, "");
  t = parse_ok("R2=a=b c");
  EXPECT_EQ(t.text, "a=b c");
  EXPECT_NE(parse_error("R5=1").find("R0 .. R4"), std::string::npos);
  parse_error("R12=1");
  std::string too_long = "R1=";
  too_long.append(110000, '1');
  parse_error(too_long);
}

TEST(Tokens, RegisterToolsTakeTheWordsAfterThem) {
  // words, the word the token starts at, the words it takes (0: refused), kind, reg, reg2, text
  struct Case {
    std::vector<std::string> words;
    size_t at, taken;
    TokenKind kind;
    int reg, reg2;
    const char *text;
  } cases[] = {
      {{"compare"}, 0, 1, TOKEN_COMPARE, 0, 1, ""},
      {{"1", "compare", "R3", "r7", "+"}, 1, 3, TOKEN_COMPARE, 3, 7, ""},
      {{"compare", "R3", "5"}, 0, 1, TOKEN_COMPARE, 0, 1, ""},  // "5" is the next token
      {{"compare", "R3"}, 0, 1, TOKEN_COMPARE, 0, 1, ""},
      {{"save", "R9", "-x.txt"}, 0, 3, TOKEN_SAVE, 9, 1, "-x.txt"},
      {{"save", "R0"}, 0, 0, TOKEN_SAVE, 0, 0, ""},
      {{"save", "R10", "f"}, 0, 0, TOKEN_SAVE, 0, 0, ""},
      {{"save"}, 0, 0, TOKEN_SAVE, 0, 0, ""},
      {{"R2=@pi.txt"}, 0, 1, TOKEN_REGISTER_FILE, 2, 1, "pi.txt"},
      {{"R2=@"}, 0, 0, TOKEN_REGISTER_FILE, 0, 0, ""},
      {{"R5=@pi.txt"}, 0, 0, TOKEN_REGISTER_FILE, 0, 0, ""},
  };
  for (const Case &c : cases) {
    Token t;
    std::string error;
    const size_t taken = parse_token_words(c.words, c.at, &t, &error);
    EXPECT_EQ(taken, c.taken) << c.words[c.at] << ": " << error;
    if (taken == 0 || c.taken == 0) continue;
    EXPECT_EQ(t.kind, c.kind) << c.words[c.at];
    EXPECT_EQ(t.reg, c.reg) << c.words[c.at];
    if (c.kind == TOKEN_COMPARE) {
      EXPECT_EQ(t.reg2, c.reg2);
    }
    EXPECT_EQ(t.text, c.text);
  }
}

TEST(Tokens, CommandNumbers) {
  EXPECT_EQ(code_of("#88"), 88);
  EXPECT_EQ(code_of("#-5"), -5);
  EXPECT_EQ(code_of("#0"), 0);
  EXPECT_EQ(code_of("#2147483647"), 2147483647);
  for (const char *bad : {"#", "#12a", "#99999999999", "# 5", "#x"}) {
    EXPECT_NE(parse_error(bad).find(bad), std::string::npos) << bad;
  }
}

TEST(Tokens, UnknownTokensAreNamed) {
  EXPECT_NE(parse_error("foo").find("'foo'"), std::string::npos);
  parse_error("");
  parse_error("sqr");
}

TEST(Tokens, SplitLine) {
  std::vector<std::string> w;
  std::string error;
  ASSERT_TRUE(split_line("  1 2\t'x ^ y'  \"fill w/9\" R0='1 2'\r", &w, &error));
  EXPECT_EQ(w, (std::vector<std::string>{"1", "2", "x ^ y", "fill w/9", "R0=1 2"}));
  ASSERT_TRUE(split_line("", &w, &error));
  EXPECT_TRUE(w.empty());
  EXPECT_FALSE(split_line("1 'x", &w, &error));
}

TEST(Tokens, HelpListsEveryCommand) {
  std::string help = token_help();
  for (int i = 0; i < CommandTableCount; i++) {
    EXPECT_NE(help.find(CommandTable[i].caption), std::string::npos) << CommandTable[i].caption;
    EXPECT_NE(help.find(CommandTable[i].help), std::string::npos) << CommandTable[i].help;
  }
}

}  // namespace
