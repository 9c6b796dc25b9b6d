// Text commands on one value: each computes a text from its arguments and
// leaves it as the result (published under the command word).
#include <windows.h>

#include "interp/commands.h"
#include "interp/families.h"
#include "interp/strops.h"
#include "net/base64.h"

namespace kes {

namespace {

// A number argument: blanks, then a sign, a digit, "." or "&".
bool LooksNumeric(std::string_view s) {
  s = TrimView(s);
  if (s.empty()) return false;
  const char c = s[0];
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == '&';
}

// A number rounded to an integer for CONVERT BIN and HEX (saturating).
int64_t RoundedInt(std::string_view s) { return ValInt64(RoundEvenText(Val(s))); }

}  // namespace

void CmdLeft(Interp& in, Ctx&) { in.line.result = LeftText(TextAfterField(in, 1), ValInt64(FieldUnquoted(in, 1))); }

void CmdRight(Interp& in, Ctx&) { in.line.result = RightText(TextAfterField(in, 1), ValInt64(FieldUnquoted(in, 1))); }

void CmdLen(Interp& in, Ctx&) { in.line.result = std::to_string(WholeText(in).size()); }

void CmdReverse(Interp& in, Ctx&) { in.line.result = ReverseText(WholeText(in)); }

// REPLACE search, replacement, text. The fields are taken from the line as
// written when it has exactly three, each substituted on its own, so values
// holding the separator stay whole; otherwise from the substituted text.
void CmdReplace(Interp& in, Ctx&) {
  const std::string raw = RawArgs(in);
  std::vector<std::string> rawFields = SplitFields(raw, in.Sep(), in.sep.quote);
  std::string f[3];
  std::string target;
  if (raw != in.line.args && rawFields.size() == 3) {
    for (int i = 0; i < 3; ++i) f[i] = Unquote(in.Substituted(rawFields[static_cast<size_t>(i)]), in.sep.quote);
  } else if (FieldCount(in) == 3) {
    for (int i = 0; i < 3; ++i) f[i] = FieldUnquoted(in, static_cast<size_t>(i + 1));
  } else {
    in.err.code = kErrUsage;
    return;
  }
  if (rawFields.size() == 3) {
    const std::string_view t = TrimView(rawFields[2]);
    const std::string& d = in.sep.varDelim;
    if (!d.empty() && t.size() > 2 * d.size() && StartsWith(t, d) && EndsWith(t, d)) target = ReferenceName(in, t);
  }
  std::string r = f[2];
  ReplaceAll(r, f[0], f[1]);
  in.line.result = r;
  if (!target.empty()) SetVariable(in, target, r);
}

void CmdAfterBefore(Interp& in, Ctx& c) {
  const std::string which = Upper(Field(in, 1));
  if (which != "FIRST" && which != "LAST") {
    in.err.code = kErrNoHandler;
    return;
  }
  const bool after = c.Word<AfterBeforeWord>() == AfterBeforeWord::After;
  in.line.result = AfterBefore(TextAfterField(in, 2), FieldUnquoted(in, 2), after, which == "LAST");
}

void CmdAscii(Interp& in, Ctx&) {
  const std::string n = WholeText(in);
  const Num v = Val(n);
  if (!LooksNumeric(n) || !(v >= 0 && v < 256)) {
    in.err.code = kErrUsage;
    return;
  }
  in.line.result.assign(1, static_cast<char>(static_cast<unsigned>(v)));
}

// CUT "sep", text: the pieces replace the CUT list; NCUT holds their count.
void CmdCut(Interp& in, Ctx&) {
  const std::string& f1 = Field(in, 1);
  const std::string& q = in.sep.quote;
  if (q.empty() || f1.size() < 2 * q.size() + 1 || !StartsWith(f1, q) || !EndsWith(f1, q)) {
    in.err.code = kErrUsage;
    return;
  }
  const std::string sep = Unquote(f1, q);
  auto& cut = in.vars.Sys(SysList::CUT);
  cut = CutText(TextAfterField(in, 1), sep, in.sw.caseInsensitive);
  SetVariable(in, "NCUT", std::to_string(cut.size()));
  in.err.code = 0;
}

// INSET text: the names of the variables whose value contains the text, as
// INSET1, INSET2, ...; the result and NINSET hold their number. The INSET
// variables themselves are not searched.
void CmdInset(Interp& in, Ctx&) {
  const std::string text = TextAfterField(in, 0);
  const bool ci = in.sw.caseInsensitive;
  std::vector<std::string> names;
  if (!text.empty()) {
    in.vars.ForEach([&](const std::string& name, const std::string& value) {
      if (name == "INSET" || name == "NINSET") return;
      if (StartsWith(name, "INSET") && AllDigits(std::string_view(name).substr(5))) return;
      const size_t p = ci ? FindNoCase(value, text) : value.find(text);
      if (p != std::string::npos) names.push_back(name);
    });
  }
  (void)TakeFamily(in, "INSET");
  for (size_t i = 0; i < names.size(); ++i) SetVariable(in, "INSET" + std::to_string(i + 1), names[i]);
  in.line.result = std::to_string(names.size());
  in.line.secondResult = true;
}

// SPELL text: SPELL1, SPELL2, ... hold the characters, NSPELL their number.
void CmdSpell(Interp& in, Ctx&) {
  const std::string text = WholeText(in);
  (void)TakeFamily(in, "SPELL");
  for (size_t i = 0; i < text.size(); ++i) SetVariable(in, "SPELL" + std::to_string(i + 1), text.substr(i, 1));
  SetVariable(in, "NSPELL", std::to_string(text.size()));
}

void CmdConvert(Interp& in, Ctx&) {
  const std::string how = Upper(Field(in, 1));
  std::string r;
  if (how == "ASC") {
    r = TextToCodes(TextAfterField(in, 1), in.Sep());
  } else if (how == "BIN") {
    r = BinaryText(RoundedInt(FieldUnquoted(in, 2)));
  } else if (how == "HEX") {
    r = HexText(RoundedInt(FieldUnquoted(in, 2)));
  } else if (how == "DEC") {
    if (!HexToDecimal(FieldUnquoted(in, 2), r)) {
      in.err.code = kErrUsage;
      return;
    }
  } else if (how == "TEXTHEX") {
    r = TextToHex(TextAfterField(in, 1));
  } else if (how == "HEXTEXT") {
    if (!HexToText(TextAfterField(in, 1), r)) {
      in.err.code = kErrUsage;
      return;
    }
  } else if (how == "TXT") {
    std::vector<std::string> codes;
    for (size_t i = 2; i <= FieldCount(in); ++i) codes.push_back(FieldUnquoted(in, i));
    if (!CodesToText(codes, r)) {
      in.err.code = kErrUsage;
      return;
    }
  } else {
    in.err.code = kErrNoHandler;
    return;
  }
  in.line.result = std::move(r);
}

// BASE64 CODE, text encodes; any other word decodes.
void CmdBase64(Interp& in, Ctx&) {
  const std::string text = TextAfterField(in, 1);
  in.line.result = Upper(Field(in, 1)) == "CODE" ? Base64Encode(text) : Base64Decode(text);
}

void CmdPathPart(Interp& in, Ctx& c) {
  PathPart part = PathPart::File;
  switch (c.Word<PathPartWord>()) {
    case PathPartWord::DriveName: part = PathPart::Drive; break;
    case PathPartWord::FileName: part = PathPart::File; break;
    case PathPartWord::PathName: part = PathPart::Folder; break;
    case PathPartWord::ExtName: part = PathPart::Ext; break;
    case PathPartWord::PrefixName: part = PathPart::Prefix; break;
  }
  in.line.result = SplitPath(TextAfterField(in, 0), part);
}

}  // namespace kes
