#include <gtest/gtest.h>

#include "trace/trace_text.h"

namespace kes {
namespace {

TEST(TraceText, PrefixAndShownLine) {
  EXPECT_EQ(TracePrefix(0, 12), "01.0012    ");
  EXPECT_EQ(TracePrefix(14, 9999), "15.9999    ");
  EXPECT_EQ(TracePrefix(-1, 0), "01.0000    ");
  EXPECT_EQ(TraceShownLine("#\tSET A=1\tB"), "    SET A=1    B");
  EXPECT_EQ(TraceShownLine("#"), "");
}

TEST(TraceText, Records) {
  EXPECT_EQ(TraceRecord("> If ( TRUE )"), std::string(40, ' ') + "----------> If ( TRUE )");
  EXPECT_EQ(ErrorRecordText(53), "> Error ( 53 )");
  EXPECT_EQ(IfRecordText(false), "> If ( FALSE )");
  EXPECT_EQ(SwitchRecordText(0, true), "> Switch Level 1 ( TRUE )");
  EXPECT_EQ(SwitchRecordText(2, false), "> Switch Level 3 ( FALSE )");
  EXPECT_TRUE(RecordEndsStep("Begin ( IGNOREBOX )"));
  EXPECT_TRUE(RecordEndsStep("End & Erase ( OPTIONALBOX )"));
  EXPECT_FALSE(RecordEndsStep("OPEN CALL (a.kes )"));
  EXPECT_FALSE(RecordEndsStep("Close Call (a.kes )"));
}

TEST(TraceText, CallStack) {
  EXPECT_EQ(CallStackText({}), "");
  EXPECT_EQ(CallStackText({"a.kes"}), "01.a.kes");
  EXPECT_EQ(CallStackText({"a.kes", "a.kes(SUB-X)", "b.kes"}), "01.a.kes,  02.a.kes(SUB-X),  03.b.kes");
}

TEST(TraceText, ControlCharactersReadAsAscii) {
  EXPECT_EQ(ShownValue("\t"), "ASCII 9");
  EXPECT_EQ(ShownValue(std::string(1, '\0')), "ASCII 0");
  EXPECT_EQ(ShownValue("\x1F"), "ASCII 31");
  EXPECT_EQ(ShownValue("\x7F"), "ASCII 127");
  EXPECT_EQ(ShownValue("\x90"), "ASCII 144");
  EXPECT_EQ(ShownValue("\x91"), "\x91");  // 145 and 146 are quotes
  EXPECT_EQ(ShownValue("\x92"), "\x92");
  EXPECT_EQ(ShownValue("\x93"), "ASCII 147");
  EXPECT_EQ(ShownValue("\x9F"), "ASCII 159");
  EXPECT_EQ(ShownValue("\xA0"), "\xA0");
  EXPECT_EQ(ShownValue(" "), " ");
  EXPECT_EQ(ShownValue("\t\t"), "\t\t");  // only a single character
  EXPECT_EQ(VariableEntry("%", "T", "\t"), "%T%=ASCII 9");
  EXPECT_EQ(VariableEntry("$", "A", "x"), "$A$=x");
}

TEST(TraceText, SecretsAreMasked) {
  EXPECT_TRUE(IsSecretName("ADMINPASSWORD"));
  EXPECT_TRUE(IsSecretName(" ftpPassword "));
  EXPECT_TRUE(IsSecretName("@X"));
  EXPECT_FALSE(IsSecretName("PASS"));
  EXPECT_EQ(VariableEntry("%", "HTTPPASSWORD", "s3cret"), "%HTTPPASSWORD%=********");
  EXPECT_EQ(VariableEntry("%", "HTTPPASSWORD", ""), "%HTTPPASSWORD%=");

  const std::vector<std::string> none;
  // assignments to a secret name, in every form
  EXPECT_EQ(MaskSecrets("SET ADMINPASSWORD=abc", {}, none), "SET ADMINPASSWORD=********");
  EXPECT_EQ(MaskSecrets("SETLOCAL @KEY = x y", {}, none), "SETLOCAL @KEY =********");
  EXPECT_EQ(MaskSecrets("LET FTPPASSWORD = LEFT abc,2", {}, none), "LET FTPPASSWORD =********");
  EXPECT_EQ(MaskSecrets("MYPASSWORD := 1+2", {}, none), "MYPASSWORD :=********");
  EXPECT_EQ(MaskSecrets("SET A=PASSWORD", {}, none), "SET A=PASSWORD");
  // references to secret names, when asked
  EXPECT_EQ(MaskSecrets("RUN x %ADMINPASSWORD% %A%", "%", none), "RUN x ******** %A%");
  EXPECT_EQ(MaskSecrets("RUN x %ADMINPASSWORD% %A%", {}, none), "RUN x %ADMINPASSWORD% %A%");
  EXPECT_EQ(MaskSecrets("ECHO 50% of %PASSWORD", "%", none), "ECHO 50% of %PASSWORD");
  // known values wherever they stand; too short ones only through names
  EXPECT_EQ(MaskSecrets("NET USE x: \\\\s\\c hunter2 /USER:a", {}, {"hunter2"}), "NET USE x: \\\\s\\c ******** /USER:a");
  EXPECT_EQ(MaskSecrets("ab cd", {}, {"ab"}), "ab cd");
  EXPECT_EQ(MaskSecrets("", "%", {"xyz"}), "");
}

}  // namespace
}  // namespace kes
