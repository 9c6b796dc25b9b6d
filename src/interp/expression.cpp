#include "interp/expression.h"

#include <cmath>
#include <cstdint>
#include <vector>

// The evaluator relies on the default floating-point environment, in which
// every exception is masked on x87 and SSE: division by zero, overflow and
// invalid operations give infinities or NaN. Nothing here changes that
// environment.

namespace kes {

namespace {

bool IsOperatorChar(char c) {
  switch (c) {
    case '-': case '+': case '*': case '/': case '^': case '(': case ')': case '<': case '>': case '=':
      return true;
    default:
      return false;
  }
}

bool EndsNumber(char c) { return c == ' ' || IsOperatorChar(c); }

// Exact powers of ten up to 10^27 (5^27 still fits a 64-bit mantissa).
struct PowersOfTen {
  Num p[28];
  constexpr PowersOfTen() : p() {
    Num v = 1;
    for (Num& x : p) {
      x = v;
      v *= 10;
    }
  }
};
constexpr PowersOfTen kPow10;

// The leading decimal number of a number token; "&H" and "&O" prefixes are
// not read here, so such a token is worth 0. Plain decimals of up to 19
// significant digits are converted directly: both the digits and the power of
// ten are exact, so the one division rounds exactly as the general reader.
Num NumberValue(std::string_view t) {
  uint64_t mant = 0;
  int sig = 0, frac = 0;
  bool point = false, digits = false, plain = true;
  size_t i = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (point) ++frac;
      if (sig > 0 || c != '0') {
        if (++sig > 19) {
          plain = false;
          break;
        }
        mant = mant * 10 + static_cast<uint64_t>(c - '0');
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (i == 0 || frac > 27) plain = false;  // i == 0: blanks, "&" or text first
  if (plain && i < t.size()) {
    const char c = t[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') plain = false;  // an exponent may follow
  }
  if (plain) return digits ? static_cast<Num>(mant) / kPow10.p[frac] : 0;

  size_t b = 0;
  while (b < t.size() && (t[b] == ' ' || t[b] == '\t' || t[b] == '\n' || t[b] == '\r')) ++b;
  if (b == t.size() || t[b] == '&') return 0;
  return Val(t);
}

// Tokens: an operator or parenthesis (kind 1), a number (kind 2; at the end of
// the text an empty number worth 0). Any other character gives an empty token
// that leaves the kind as it was and does not advance.
class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  void Next() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    op_ = 0;
    num_ = {};
    if (pos_ >= s_.size()) {
      kind_ = 2;
      return;
    }
    const char c = s_[pos_];
    if (IsOperatorChar(c)) {
      op_ = c;
      kind_ = 1;
      ++pos_;
      return;
    }
    if ((c >= '0' && c <= '9') || static_cast<unsigned char>(c) <= static_cast<unsigned char>('.')) {
      const size_t start = pos_;
      while (pos_ < s_.size() && !EndsNumber(s_[pos_])) ++pos_;
      num_ = s_.substr(start, pos_ - start);
      kind_ = 2;
    }
  }

  char op() const { return op_; }  // operator of the current token, or 0
  bool IsNumber() const { return kind_ == 2; }
  std::string_view number() const { return num_; }

 private:
  std::string_view s_;
  size_t pos_ = 0;
  char op_ = 0;
  std::string_view num_;
  int kind_ = 0;  // starts as neither, so a leading letter is an error
};

int Precedence(char op) {
  switch (op) {
    case '<': case '>': case '=': return 1;
    case '+': case '-': return 2;
    case '*': case '/': return 3;
    case '^': return 4;
    default: return 0;
  }
}

Num Apply(Num a, char op, Num b) {
  switch (op) {
    case '<': return a < b ? -1 : 0;
    case '>': return a > b ? -1 : 0;
    case '=': return a == b ? -1 : 0;
    case '+': return a + b;
    case '-': return a - b;
    case '*': return a * b;
    case '/': return a / b;
    case '^': return std::pow(a, b);
    default: return 0;
  }
}

// A stack that keeps its first entries in place, so that ordinary
// expressions evaluate without allocating.
template <typename T, size_t N>
class SmallStack {
 public:
  bool empty() const { return size_ == 0; }
  T& back() { return size_ <= N ? inline_[size_ - 1] : heap_[size_ - N - 1]; }
  void push(T v) {
    if (size_ < N)
      inline_[size_] = v;
    else
      heap_.push_back(v);
    ++size_;
  }
  T pop() {
    const T v = back();
    if (size_ > N) heap_.pop_back();
    --size_;
    return v;
  }

 private:
  T inline_[N];
  std::vector<T> heap_;
  size_t size_ = 0;
};

// Markers on the operator stack for an open parenthesis, plain or preceded by
// a minus sign that applies to the whole group.
constexpr char kOpen = '(';
constexpr char kOpenNegated = '[';

}  // namespace

// The grammar (comparison, additive, multiplicative, right-associative power,
// signed primary) is evaluated by operator precedence with explicit stacks
// rather than by recursion, so nesting depth is limited only by memory: a
// recursive descent would overflow the machine stack on deeply nested input.
// The result is the same as that of the recursive grammar, error recovery
// included: a missing primary counts as 0 without consuming the token, and a
// group without its ")" keeps its value.
ExprResult EvaluateExpression(std::string_view text) {
  ExprResult r;
  Lexer lex(text);
  SmallStack<char, 64> ops;
  SmallStack<Num, 64> vals;

  auto reduceTop = [&]() {
    const char op = ops.pop();
    const Num b = vals.pop();
    vals.back() = Apply(vals.back(), op, b);
  };

  lex.Next();
  for (;;) {
    // Operand: an optional sign and a primary.
    const char sign = (lex.op() == '+' || lex.op() == '-') ? lex.op() : 0;
    if (sign) lex.Next();
    if (lex.IsNumber()) {
      const Num v = NumberValue(lex.number());
      vals.push(sign == '-' ? -v : v);
      lex.Next();
    } else if (lex.op() == '(') {
      ops.push(sign == '-' ? kOpenNegated : kOpen);
      lex.Next();
      continue;
    } else {
      r.syntaxError = true;
      vals.push(sign == '-' ? -Num(0) : Num(0));
    }

    // After an operand: a binary operator continues the expression; anything
    // else ends the innermost group (or the whole expression).
    for (;;) {
      const int prec = Precedence(lex.op());
      if (prec > 0) {
        const char op = lex.op();
        while (!ops.empty()) {
          const int top = Precedence(ops.back());
          if (top == 0) break;  // a parenthesis marker
          if (top > prec || (top == prec && op != '^'))
            reduceTop();
          else
            break;
        }
        ops.push(op);
        lex.Next();
        break;  // read the next operand
      }
      while (!ops.empty() && Precedence(ops.back()) > 0) reduceTop();
      if (ops.empty()) {
        r.value = vals.back();
        return r;  // text left over is ignored
      }
      const char open = ops.pop();
      if (lex.op() == ')')
        lex.Next();
      else
        r.syntaxError = true;
      if (open == kOpenNegated) vals.back() = -vals.back();
    }
  }
}

bool IsNumber(std::string_view text) {
  const std::string_view t = TrimView(text);
  if (t.empty()) return false;
  const char last = t.back();
  if (last == '.' || last == '+' || last == '-') return false;
  int points = 0, pluses = 0, minuses = 0;
  for (const char c : t) {
    if (c == '.')
      ++points;
    else if (c == '+')
      ++pluses;
    else if (c == '-')
      ++minuses;
    else if (c < '0' || c > '9')
      return false;
  }
  return points <= 1 && pluses <= 1 && minuses <= 1;
}

bool IsDate(std::string& text) {
  text = Trim(text);
  for (char& c : text)
    if (c == '-') c = '/';
  if (text.size() < 10 || text[4] != '/' || text[7] != '/') return false;
  auto digits = [&text](size_t from, size_t n) { return AllDigits(std::string_view(text).substr(from, n)); };
  if (!digits(0, 4) || !digits(5, 2) || !digits(8, 2)) return false;
  const int year = std::stoi(text.substr(0, 4));
  const int month = std::stoi(text.substr(5, 2));
  const int day = std::stoi(text.substr(8, 2));
  return year > 1900 && year < 2100 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool IsTime(std::string_view text) {
  const std::string_view t = TrimView(text);
  if (t.size() < 6 || t[2] != ':' || t[5] != ':') return false;
  // The fields are read by their numeric value; non-numeric text counts as 0.
  const Num h = Val(t.substr(0, 2));
  const Num m = Val(t.substr(3, 2));
  const Num s = Val(t.substr(6, 2));
  return h >= 0 && h <= 23 && m >= 0 && m <= 60 && s >= 0 && s <= 60;
}

}  // namespace kes
