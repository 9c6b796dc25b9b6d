// Unattended answers: the answer file's lines, each box kind's rule for
// taking a line, refused lines, running out, the log entries.
#include <gtest/gtest.h>

#include "boxes/answers.h"

namespace kes {
namespace {

const std::string kEsc(1, '\x1B');

BoxOffer Offer(BoxKind k, std::string word, std::string caption, std::vector<std::string> items = {}) {
  BoxOffer o;
  o.kind = k;
  o.word = std::move(word);
  o.caption = std::move(caption);
  o.items = std::move(items);
  return o;
}

TEST(Answers, FileLinesCommentsAndEscapes) {
  AnswerFeed f;
  EXPECT_FALSE(f.Active());
  f.Load("; a comment\r\nfirst\r\n;;semicolon\r\n\r\n{ESC}\r\n", "a.txt");
  EXPECT_TRUE(f.Active());
  EXPECT_EQ(f.FileName(), "a.txt");
  EXPECT_EQ(f.Left(), 4u);  // the empty line is an answer, the last line end is not
  std::vector<std::string> log;
  const BoxOffer ask = Offer(BoxKind::Ask, "ASK", "Name ?");
  EXPECT_EQ(f.Answer(ask, log).answer, "first");
  EXPECT_EQ(f.Answer(ask, log).answer, ";semicolon");
  EXPECT_EQ(f.Answer(ask, log).answer, "");
  EXPECT_EQ(f.Answer(ask, log).answer, kEsc);
  EXPECT_EQ(f.Answer(ask, log).answer, kEsc);  // none left: cancelled
  EXPECT_EQ(log, (std::vector<std::string>{"ANSWERS ASK [Name ?] : first", "ANSWERS ASK [Name ?] : ;semicolon",
                                           "ANSWERS ASK [Name ?] : ", "ANSWERS ASK [Name ?] : {ESC}",
                                           "ANSWERS ASK [Name ?] : no answer left, the box is cancelled"}));
  f.Load("only\n", "b.txt");  // LF lines too
  EXPECT_EQ(f.Left(), 1u);
}

TEST(Answers, EveryKind) {
  AnswerFeed f;
  f.Load("anything\nOK\nsecret\nBeta\n2,3\nAnnuler\nGamma\na|b|c\nC:\\x.txt\n255,0,0\n", "a");
  std::vector<std::string> log;
  EXPECT_EQ(f.Answer(Offer(BoxKind::Echo, "ECHO", "Hi"), log).answer, "");
  EXPECT_EQ(f.Answer(Offer(BoxKind::AskOk, "ASKOK", "Go ?"), log).answer, "OK");
  BoxOffer pw = Offer(BoxKind::Ask, "ASK", "Mot de passe");
  pw.masked = true;
  EXPECT_EQ(f.Answer(pw, log).answer, "secret");
  EXPECT_EQ(log.back(), "ANSWERS ASK [Mot de passe] : ******");
  EXPECT_EQ(f.Answer(Offer(BoxKind::AskButton, "ASKBUTTON", "Which ?", {"Alpha", "Beta"}), log).answer, "Beta");
  const BoxAnswer c = f.Answer(Offer(BoxKind::AskCheck, "ASKCHECK", "Mark", {"a", "b", "c"}), log);
  EXPECT_EQ(c.answer, "OK");
  EXPECT_EQ(c.marks, (std::vector<std::string>{"0", "1", "1"}));
  BoxOffer lst = Offer(BoxKind::AskList, "ASKLIST", "Pick", {"Alpha", "Gamma"});
  lst.buttonLabels = {"Annuler"};
  EXPECT_EQ(f.Answer(lst, log).answer, "Annuler");  // a button label
  EXPECT_EQ(f.Answer(lst, log).answer, "Gamma");
  const BoxAnswer m = f.Answer(Offer(BoxKind::AskMulti, "ASKMULTI", "Fill", {"x", "y"}), log);
  EXPECT_EQ(m.answer, "OK");
  EXPECT_EQ(m.fields, (std::vector<std::string>{"a", "b"}));  // extra fields dropped
  EXPECT_EQ(f.Answer(Offer(BoxKind::Path, "ASKFILE", "C:\\"), log).answer, "C:\\x.txt");
  EXPECT_EQ(f.Answer(Offer(BoxKind::Dialog, "COLORDIALOG", ""), log).answer, "255,0,0");
  // Out of answers: cancelled.
  EXPECT_EQ(f.Answer(Offer(BoxKind::AskCheck, "ASKCHECK", "Mark", {"a", "b"}), log).answer, kEsc);
}

TEST(Answers, RefusedLinesAreLoggedAndSkipped) {
  AnswerFeed f;
  f.Load("maybe\nok\nDelta\nAlpha\n9\nx,1\n1\nperhaps\nYES\n", "a");
  std::vector<std::string> log;
  EXPECT_EQ(f.Answer(Offer(BoxKind::AskOk, "ASKOK", "Sure ?"), log).answer, "OK");
  EXPECT_EQ(log, (std::vector<std::string>{"ANSWERS ASKOK [Sure ?] : maybe (refused, the next answer is taken)",
                                           "ANSWERS ASKOK [Sure ?] : ok"}));
  EXPECT_EQ(f.Answer(Offer(BoxKind::AskButton, "ASKBUTTON", "B", {"Alpha", "Beta"}), log).answer, "Alpha");
  const BoxAnswer c = f.Answer(Offer(BoxKind::AskCheck, "ASKCHECK", "C", {"a", "b"}), log);
  EXPECT_EQ(c.marks, (std::vector<std::string>{"1", "0"}));  // 9 and "x,1" refused
  BoxOffer ask = Offer(BoxKind::Ask, "ASK", "Q", {"yes", "no"});
  ask.mandatory = true;
  EXPECT_EQ(f.Answer(ask, log).answer, "YES");
  EXPECT_EQ(log.size(), 9u);
  EXPECT_EQ(f.Left(), 0u);
}

TEST(Answers, AskRule) {
  const std::vector<std::string> two{"yes ", "no"};
  EXPECT_TRUE(AskAnswerAccepted("YES", two, true, true, false));
  EXPECT_FALSE(AskAnswerAccepted("YES", two, true, false, false));
  EXPECT_TRUE(AskAnswerAccepted("yes", two, true, false, false));
  EXPECT_TRUE(AskAnswerAccepted("other", two, false, true, false));
  EXPECT_TRUE(AskAnswerAccepted("other", two, true, true, true));
  EXPECT_TRUE(AskAnswerAccepted("other", {"one"}, true, true, false));
  EXPECT_FALSE(AskAnswerAccepted("other", two, true, true, false));
}

TEST(Answers, CommandLineWord) {
  std::string args = "/ANSWERS C:\\ci\\a.txt C:\\s.kes one";
  std::string file;
  EXPECT_TRUE(TakeAnswersWord(args, file));
  EXPECT_EQ(file, "C:\\ci\\a.txt");
  EXPECT_EQ(args, "C:\\s.kes one");
  args = "C:\\s.kes /answers \"C:\\My Files\\a.txt\" TRACE";
  EXPECT_TRUE(TakeAnswersWord(args, file));
  EXPECT_EQ(file, "C:\\My Files\\a.txt");
  EXPECT_EQ(args, "C:\\s.kes  TRACE");
  args = "C:\\s.kes x/ANSWERS y";
  EXPECT_FALSE(TakeAnswersWord(args, file));
  args = "C:\\s.kes /ANSWERS";
  EXPECT_FALSE(TakeAnswersWord(args, file));
}

}  // namespace
}  // namespace kes
