// Calculation, random numbers and dates: CALCULATE, MOD, RANDOM, DATETIME
// and DATETIMEDIFF.
#include <windows.h>

#include <cmath>
#include <random>

#include "interp/commands.h"
#include "interp/datetime.h"
#include "interp/expression.h"
#include "interp/numformat.h"
#include "sysadmin/sysquery.h"

namespace kes {

void CmdCalculate(Interp& in, Ctx&) {
  // The line as written: the target's name must not be replaced by its value.
  const std::string rawArgs = RawArgs(in);
  const std::string_view raw = rawArgs;
  const size_t p = raw.find_first_of("-+/*");
  const std::string first = Trim(raw.substr(0, p));
  const char op = p == std::string_view::npos ? '\0' : raw[p];
  std::string rest = p == std::string_view::npos ? std::string() : std::string(raw.substr(p + 1));
  std::string value = in.Substituted(first);
  in.Subst(rest);

  // The target: the first operand without delimiters; LIST(I) names LIST
  // followed by the value of I.
  std::string target = first;
  ReplaceAll(target, in.sep.varDelim, "");
  const size_t open = target.find('('), close = target.rfind(')');
  if (open != std::string::npos && close != std::string::npos && close > open)
    target = target.substr(0, open) + GetVariable(in, Trim(std::string_view(target).substr(open + 1, close - open - 1)));
  target = Trim(target);

  // The date test trims the value and turns "-" into "/"; the time test sees
  // the value so rewritten.
  const bool isDate = IsDate(value);
  if (isDate || IsTime(value)) {
    const long long n = ValInt64(rest);
    const std::string r = isDate ? DateShift(value, n, op) : TimeShift(value, n, op);
    if (!target.empty()) SetVariable(in, target, r);
    in.line.result = r;
    return;
  }
  // A number: the line becomes "target := first op rest", whose expression is
  // the substituted text after ":=" (rest is thus substituted twice, the
  // first operand once).
  AssignExpression(in, target, in.Substituted(first + std::string(1, op ? op : ' ') + rest));
}

void CmdMod(Interp& in, Ctx&) {
  if (FieldCount(in) < 2 || Field(in, 1).empty() || Field(in, 2).empty()) {
    in.err.code = kErrUsage;
    return;
  }
  const Num a = Val(Field(in, 1)), b = Val(Field(in, 2));
  in.line.result = b == 0 ? std::string("0") : GeneralFormat(std::fmod(a, b));
}

void CmdRandom(Interp& in, Ctx&) {
  static std::mt19937_64 gen;
  static bool seeded = false;
  if (!seeded) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    gen.seed(static_cast<uint64_t>(st.wHour) + st.wHour * 3600u + st.wMinute * 60u + st.wSecond);
    seeded = true;
  }
  // Bounds far outside the 64-bit range are held at its edge, so the integer
  // conversions below stay defined.
  constexpr Num kLimit = 4.0e18L;
  auto bound = [kLimit](Num v) { return v != v ? Num(0) : v > kLimit ? kLimit : v < -kLimit ? -kLimit : v; };
  Num a = bound(Val(Field(in, 1))), b = bound(Val(Field(in, 2)));
  if (a > b) std::swap(a, b);
  long long lo = static_cast<long long>(std::ceil(a)), hi = static_cast<long long>(std::floor(b));
  if (lo > hi) lo = hi = static_cast<long long>(std::llround(a));
  std::uniform_int_distribution<long long> d(lo, hi);
  in.line.result = std::to_string(d(gen));
}

void CmdDateTime(Interp& in, Ctx&) {
  const std::string path = FieldUnquoted(in, 1);
  const std::string kind = Upper(Field(in, 2));
  FileTimeKind k;
  if (kind == "CREATE") k = FileTimeKind::Create;
  else if (kind == "ACCESS") k = FileTimeKind::Access;
  else if (kind == "WRITE") k = FileTimeKind::Write;
  else {
    in.err.code = kErrUsage;
    return;
  }
  if (FieldCount(in) >= 3 && !Field(in, 3).empty()) {
    in.err.code = SetFileTimeText(path, k, FieldUnquoted(in, 3));
    std::string t;
    in.line.result = in.err.code == 0 && GetFileTimeText(path, k, t) ? t : std::string();
    return;
  }
  std::string t;
  if (!GetFileTimeText(path, k, t)) {
    in.line.result.clear();
    in.err.code = kErrNotFound;
    return;
  }
  in.line.result = t;
}

void CmdDateTimeDiff(Interp& in, Ctx&) {
  in.line.result = GeneralFormat(DateTimeDiff(Field(in, 1), Field(in, 2), Field(in, 3)));
}

}  // namespace kes
