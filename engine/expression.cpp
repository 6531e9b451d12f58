// The expression parser (see expression.h): a scanner of numbers, names and operator
// characters, and a recursive-descent parser that writes the postfix program as it goes.
// The operators are the catalogue's own commands, found by their captions.
#include "engine/expression.h"

#include <cstring>

#include "engine/command_names.h"
#include "engine/state.h"

namespace {

enum TokenType { T_NUMBER, T_NAME, T_OPERATOR, T_END, T_BAD };

struct Token {
  TokenType type = T_END;
  std::string text;  // the number or name; the operator character
  int column = 0;
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_start(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_name_char(char c) { return is_name_start(c) || is_digit(c); }

std::string at_column(int column) { return " at column " + std::to_string(column); }

class Scanner {
 public:
  Scanner(const std::string &text, int first_column) : s_(text), column_base_(first_column) {}

  // The next token; a bad character gives T_BAD with the character (or its UTF-8 sequence).
  Token next() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
      advance(1);
    Token t;
    t.column = column();
    if (pos_ >= s_.size() || s_[pos_] == '#') {
      t.type = T_END;
      return t;
    }
    const char c = s_[pos_];
    if (is_digit(c) || (c == '.' && pos_ + 1 < s_.size() && is_digit(s_[pos_ + 1]))) {
      t.type = T_NUMBER;
      t.text = number();
      return t;
    }
    if (is_name_start(c)) {
      size_t start = pos_;
      while (pos_ < s_.size() && is_name_char(s_[pos_])) advance(1);
      t.type = T_NAME;
      t.text = s_.substr(start, pos_ - start);
      return t;
    }
    static const char OPERATORS[] = "+-*/%^!(),";
    for (const char *o = OPERATORS; *o; o++) {
      if (c == *o) {
        advance(1);
        t.type = T_OPERATOR;
        t.text = std::string(1, c);
        return t;
      }
    }
    // The typographic signs: U+2212 minus, U+00D7 times, U+00F7 division.
    static const struct {
      const char *utf8;
      char op;
    } SIGNS[] = {{"\xE2\x88\x92", '-'}, {"\xC3\x97", '*'}, {"\xC3\xB7", '/'}};
    for (const auto &sign : SIGNS) {
      const size_t n = strlen(sign.utf8);
      if (s_.compare(pos_, n, sign.utf8) == 0) {
        advance(n);
        t.type = T_OPERATOR;
        t.text = std::string(1, sign.op);
        return t;
      }
    }
    // One whole character (a UTF-8 sequence) for the message.
    size_t len = 1;
    while (pos_ + len < s_.size() && ((unsigned char)s_[pos_ + len] & 0xC0) == 0x80 &&
           ((unsigned char)c & 0x80) != 0)
      len++;
    t.type = T_BAD;
    t.text = s_.substr(pos_, len);
    advance(len);
    return t;
  }

  int column() const { return column_base_ + (int)chars_; }

 private:
  // Moves over n bytes, counting characters (bytes that do not continue a UTF-8 sequence).
  void advance(size_t n) {
    for (size_t i = 0; i < n && pos_ < s_.size(); i++, pos_++)
      if (((unsigned char)s_[pos_] & 0xC0) != 0x80) chars_++;
  }

  // digits [. digits] | . digits, then an exponent when "e" or "E" is followed by digits
  // (after an optional sign): "2e" and "2e+" leave the "e" to the name that follows.
  std::string number() {
    size_t start = pos_;
    while (pos_ < s_.size() && is_digit(s_[pos_])) advance(1);
    if (pos_ < s_.size() && s_[pos_] == '.') {
      advance(1);
      while (pos_ < s_.size() && is_digit(s_[pos_])) advance(1);
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      size_t k = pos_ + 1;
      if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) k++;
      if (k < s_.size() && is_digit(s_[k])) {
        advance(k - pos_);
        while (pos_ < s_.size() && is_digit(s_[pos_])) advance(1);
      }
    }
    return s_.substr(start, pos_ - start);
  }

  const std::string &s_;
  int column_base_;
  size_t pos_ = 0;
  size_t chars_ = 0;
};

class Parser {
 public:
  Parser(const std::string &text, int first_column, ExprProgram *out)
      : scan_(text, first_column), out_(out) {
    out_->steps.clear();
    out_->depth = 0;
    code_add_ = code_of("+");
    code_sub_ = code_of("-");
    code_mul_ = code_of("*");
    code_div_ = code_of("/");
    code_mod_ = code_of("%");
    code_pow_ = code_of("x ^ y");
    code_fact_ = code_of("!");
    code_neg_ = code_of("+/-");
  }

  bool parse(std::string *error) {
    tok_ = scan_.next();
    if (!expression()) {
      *error = error_;
      return false;
    }
    if (tok_.type != T_END) {
      if (tok_.type == T_OPERATOR && tok_.text == ")") error_ = "unmatched ')'" + at_column(tok_.column);
      else if (tok_.type == T_BAD) error_ = unexpected(tok_);
      else error_ = "expected an operator" + at_column(tok_.column);
      *error = error_;
      return false;
    }
    return true;
  }

 private:
  static int code_of(const char *caption) {
    const CommandDef *d = command_by_name(caption);
    return d != nullptr ? d->code : -1;
  }

  void advance() { tok_ = scan_.next(); }
  bool is_op(char c) const { return tok_.type == T_OPERATOR && tok_.text[0] == c; }

  bool fail(const std::string &message) {
    if (error_.empty()) error_ = message;
    return false;
  }

  std::string unexpected(const Token &t) const {
    const unsigned char c = (unsigned char)t.text[0];
    if (c < 0x20 || c == 0x7f) return "unexpected control character" + at_column(t.column);
    return "unexpected '" + t.text + "'" + at_column(t.column);
  }

  void emit_value(ExprStep step) {
    out_->steps.push_back(std::move(step));
    depth_++;
    if (depth_ > out_->depth) out_->depth = depth_;
  }
  void emit_command(int code, int arity) {
    ExprStep step;
    step.kind = EXPR_COMMAND;
    step.code = code;
    step.arity = arity;
    out_->steps.push_back(step);
    depth_ += 1 - arity;
    if (depth_ > out_->depth) out_->depth = depth_;
  }

  // Counts one level of nesting; false past the limit.
  bool enter(int column) {
    if (++nesting_ > EXPRESSION_MAX_NESTING)
      return fail("expression nested more than " + std::to_string(EXPRESSION_MAX_NESTING) +
                  " levels deep" + at_column(column));
    return true;
  }

  bool expression() {
    if (!term()) return false;
    while (is_op('+') || is_op('-')) {
      const int code = is_op('+') ? code_add_ : code_sub_;
      advance();
      if (!term()) return false;
      emit_command(code, 2);
    }
    return true;
  }

  bool term() {
    if (!unary()) return false;
    while (is_op('*') || is_op('/') || is_op('%')) {
      const int code = is_op('*') ? code_mul_ : is_op('/') ? code_div_ : code_mod_;
      advance();
      if (!unary()) return false;
      emit_command(code, 2);
    }
    return true;
  }

  // Every recursion goes through a sign, a "^" or a parenthesis, each counted as one
  // level of nesting.
  bool unary() {
    if (!is_op('-') && !is_op('+')) return power();
    if (!enter(tok_.column)) return false;
    const bool minus = is_op('-');
    advance();
    if (!unary()) return false;
    if (minus) emit_command(code_neg_, 1);
    nesting_--;
    return true;
  }

  bool power() {
    if (!postfix()) return false;
    if (is_op('^')) {
      if (!enter(tok_.column)) return false;
      advance();
      if (!unary()) return false;
      emit_command(code_pow_, 2);
      nesting_--;
    }
    return true;
  }

  bool postfix() {
    if (!primary()) return false;
    while (is_op('!')) {
      advance();
      emit_command(code_fact_, 1);
    }
    return true;
  }

  bool primary() {
    const Token t = tok_;
    if (t.type == T_NUMBER) {
      if (t.text.size() > (size_t)TEXT_SLOT_MAX_CHARS)
        return fail("number longer than 109999 characters" + at_column(t.column));
      ExprStep step;
      step.kind = EXPR_NUMBER;
      step.text = t.text;
      emit_value(step);
      advance();
      return true;
    }
    if (t.type == T_OPERATOR && t.text == "(") {
      if (!enter(t.column)) return false;
      advance();
      if (!expression()) return false;
      if (!is_op(')')) return fail("expected ')'" + at_column(tok_.column));
      advance();
      nesting_--;
      return true;
    }
    if (t.type == T_NAME) return name(t);
    if (t.type == T_BAD) return fail(unexpected(t));
    return fail("expected a number" + at_column(t.column));
  }

  // A register variable "R0".."R9" (either case), or -1.
  static int register_of(const std::string &name) {
    if (name.size() == 2 && (name[0] == 'r' || name[0] == 'R') && is_digit(name[1])) return name[1] - '0';
    return -1;
  }

  bool name(const Token &t) {
    const std::string key = command_key(t.text);
    int reg = register_of(t.text);
    if (key == "ans") reg = 0;
    if (reg >= 0) {
      ExprStep step;
      step.kind = EXPR_REGISTER;
      step.reg = reg;
      emit_value(step);
      advance();
      return true;
    }
    if (const char *refusal = command_name_refusal(t.text))
      return fail("'" + t.text + "'" + at_column(t.column) + " is " + refusal);
    const CommandDef *def = command_by_name(t.text);
    const int arity = def != nullptr ? command_arity(*def) : -1;
    if (def == nullptr) {
      std::string message = "unknown name '" + t.text + "'" + at_column(t.column);
      std::string hint = did_you_mean(command_name_suggestions(t.text, true));
      if (!hint.empty()) message += " (" + hint + ")";
      return fail(message);
    }
    if (arity < 0) return fail("'" + t.text + "'" + at_column(t.column) + " is not a function");
    advance();
    if (arity == 0) {
      // A constant: "pi", or "pi()".
      if (is_op('(')) {
        advance();
        if (!is_op(')')) return fail(t.text + " takes no arguments" + at_column(tok_.column));
        advance();
      }
      emit_command(def->code, 0);
      return true;
    }
    if (!is_op('(')) return fail("expected '(' after " + t.text + at_column(tok_.column));
    if (!enter(tok_.column)) return false;
    advance();
    int count = 0;
    if (!is_op(')')) {
      for (;;) {
        if (!expression()) return false;
        count++;
        if (!is_op(',')) break;
        advance();
      }
    }
    if (!is_op(')')) return fail("expected ')'" + at_column(tok_.column));
    if (count != arity) {
      return fail(t.text + at_column(t.column) + " takes " + std::to_string(arity) +
                  (arity == 1 ? " argument" : " arguments") + ", not " + std::to_string(count));
    }
    advance();
    nesting_--;
    emit_command(def->code, arity);
    return true;
  }

  Scanner scan_;
  ExprProgram *out_;
  Token tok_;
  std::string error_;
  int depth_ = 0;
  int nesting_ = 0;
  int code_add_, code_sub_, code_mul_, code_div_, code_mod_, code_pow_, code_fact_, code_neg_;
};

}  // namespace

bool expression_parse(const std::string &text, int first_column, ExprProgram *out,
                      std::string *error) {
  Parser parser(text, first_column, out);
  if (parser.parse(error)) return true;
  out->steps.clear();
  out->depth = 0;
  return false;
}
