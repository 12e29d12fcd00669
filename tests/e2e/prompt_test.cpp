// The overwrite question: at a terminal, from standard input, and settled
// in advance by -Y and -N.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

#include "tests/e2e/pty_session.h"
#include "tests/e2e/run_tessly.h"

namespace {

using e2e::kBanner;
using e2e::PtySession;
using e2e::TempDir;
using fixture::Bytes;

std::string Question(const std::string& name) { return "  " + name + " already exists; Overwrite (Yes/No/All/Quit)? "; }

class PromptTest : public testing::Test {
 protected:
  // An archive of two entries: A with frames 0 and 1, B with one frame of
  // two subframes. Every output exists already, holding one byte.
  void Prepare(const std::string& archive = "in.gaf") {
    const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(2, 2));
    dir_.Write(archive, fixture::BuildGaf(
                            {{"A", {frame, frame}},
                             {"B", {fixture::WithSubframes({fixture::PlainImage(1, 1), fixture::PlainImage(1, 1)})}}}));
    for (const char* name : {"A00.BMP", "A01.BMP", "B00_00.BMP", "B00_01.BMP"}) dir_.Write(name, {1});
  }

  bool Untouched(const std::string& name) { return e2e::ReadBytes(dir_ / name) == Bytes{1}; }

  TempDir dir_;
};

// At a terminal: a pseudo-terminal is the program's controlling terminal.
using TerminalTest = PromptTest;

TEST_F(TerminalTest, OtherKeysAreEchoedUntilAnAnswerComes) {
  Prepare();
  PtySession session(dir_.path(), {"-B"});
  ASSERT_TRUE(session.WaitFor(Question("A00.BMP")));
  ASSERT_TRUE(session.Type('x'));
  ASSERT_TRUE(session.WaitFor("x"));
  ASSERT_TRUE(session.Type('1'));
  ASSERT_TRUE(session.WaitFor("1"));
  ASSERT_TRUE(session.Type('Y'));
  ASSERT_TRUE(session.WaitFor("Y\n  Exported A00.BMP\n" + Question("A01.BMP")));
  ASSERT_TRUE(session.Type('y'));
  ASSERT_TRUE(session.WaitFor(Question("B00_00.BMP")));
  ASSERT_TRUE(session.Type('y'));
  ASSERT_TRUE(session.WaitFor(Question("B00_01.BMP")));
  ASSERT_TRUE(session.Type('y'));
  EXPECT_EQ(session.Finish(), 0);
  EXPECT_EQ(session.Output(), kBanner + "in.gaf\n" + Question("A00.BMP") + "x1Y\n  Exported A00.BMP\n" +
                                  Question("A01.BMP") + "y\n  Exported A01.BMP\n" + Question("B00_00.BMP") +
                                  "y\n  Exported B00_00.BMP\n" + Question("B00_01.BMP") + "y\n  Exported B00_01.BMP\n");
  EXPECT_TRUE(session.TerminalIsInLineMode());
}

TEST_F(TerminalTest, AllAnswersEveryLaterQuestionOfTheRun) {
  Prepare("a.gaf");
  Prepare("b.gaf");
  PtySession session(dir_.path(), {"-B", "?.gaf"});
  ASSERT_TRUE(session.WaitFor(Question("A00.BMP")));
  ASSERT_TRUE(session.Type('a'));
  EXPECT_EQ(session.Finish(), 0);
  const std::string exported = "  Exported A00.BMP\n  Exported A01.BMP\n  Exported B00_00.BMP\n  Exported B00_01.BMP\n";
  EXPECT_EQ(session.Output(), kBanner + "a.gaf\n" + Question("A00.BMP") + "a\n" + exported + "b.gaf\n" + exported);
}

TEST_F(TerminalTest, NoForAFrameEndsTheEntryNoForASubframeSkipsThatFileOnly) {
  Prepare();
  PtySession session(dir_.path(), {"-B"});
  ASSERT_TRUE(session.WaitFor(Question("A00.BMP")));
  ASSERT_TRUE(session.Type('n'));
  ASSERT_TRUE(session.WaitFor(Question("B00_00.BMP")));
  ASSERT_TRUE(session.Type('N'));
  ASSERT_TRUE(session.WaitFor(Question("B00_01.BMP")));
  ASSERT_TRUE(session.Type('y'));
  EXPECT_EQ(session.Finish(), 0);
  EXPECT_EQ(session.Output(), kBanner + "in.gaf\n" + Question("A00.BMP") + "n\n" + Question("B00_00.BMP") + "N\n" +
                                  Question("B00_01.BMP") + "y\n  Exported B00_01.BMP\n");
  EXPECT_TRUE(Untouched("A00.BMP"));
  EXPECT_TRUE(Untouched("A01.BMP"));
  EXPECT_TRUE(Untouched("B00_00.BMP"));
  EXPECT_FALSE(Untouched("B00_01.BMP"));
}

TEST_F(TerminalTest, QuitEndsTheRunAtOnce) {
  Prepare("a.gaf");
  Prepare("b.gaf");
  PtySession session(dir_.path(), {"-B", "?.gaf"});
  ASSERT_TRUE(session.WaitFor(Question("A00.BMP")));
  ASSERT_TRUE(session.Type('q'));
  EXPECT_EQ(session.Finish(), 0);
  EXPECT_EQ(session.Output(), kBanner + "a.gaf\n" + Question("A00.BMP") + "q");
  EXPECT_TRUE(Untouched("A00.BMP"));
  EXPECT_TRUE(session.TerminalIsInLineMode());
}

TEST_F(TerminalTest, TheKeyComesFromTheTerminalEvenWhenStandardInputIsRedirected) {
  Prepare();
  const std::string redirected = "nnnn";
  PtySession session(dir_.path(), {"-B", "-E", "B"}, &redirected);
  ASSERT_TRUE(session.WaitFor(Question("B00_00.BMP")));
  ASSERT_TRUE(session.Type('a'));
  EXPECT_EQ(session.Finish(), 0);
  EXPECT_EQ(session.Output(),
            kBanner + "in.gaf\n" + Question("B00_00.BMP") + "a\n  Exported B00_00.BMP\n  Exported B00_01.BMP\n");
}

TEST_F(TerminalTest, ASignalWhileWaitingRestoresTheTerminal) {
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    Prepare();
    PtySession session(dir_.path(), {"-B"});
    ASSERT_TRUE(session.WaitFor(Question("A00.BMP")));
    ASSERT_TRUE(session.Type('x'));  // the program is reading single keys now
    ASSERT_TRUE(session.WaitFor("x"));
    ASSERT_TRUE(session.Type('z'));
    ASSERT_TRUE(session.WaitFor("z"));
    session.Signal(signalNumber);
    EXPECT_EQ(session.Finish(), 128 + signalNumber);
    EXPECT_TRUE(session.TerminalIsInLineMode()) << signalNumber;
    EXPECT_TRUE(Untouched("A00.BMP"));
  }
}

// Without any terminal, keys are read from standard input; its end means No.
TEST_F(PromptTest, WithoutATerminal) {
  Prepare();
  e2e::Run run = e2e::RunTessly(dir_.path(), {"-B"}, "k y");
  EXPECT_EQ(run.output, kBanner + "in.gaf\n" + Question("A00.BMP") + "k y\n  Exported A00.BMP\n" + Question("A01.BMP") +
                            "\n" + Question("B00_00.BMP") + "\n" + Question("B00_01.BMP") + "\n");
  EXPECT_TRUE(Untouched("A01.BMP"));
}

TEST_F(PromptTest, AnswersGivenInAdvance) {
  Prepare();
  e2e::Run run = e2e::RunTessly(dir_.path(), {"-B", "-N"});
  // The first existing target ends the entry, for a frame and a subframe alike.
  EXPECT_EQ(run.output,
            kBanner + "in.gaf\n  A00.BMP already exists; skipping\n  B00_00.BMP already exists; skipping\n");
  for (const char* name : {"A00.BMP", "A01.BMP", "B00_00.BMP", "B00_01.BMP"}) EXPECT_TRUE(Untouched(name)) << name;

  ::unlink((dir_ / "A01.BMP").c_str());
  run = e2e::RunTessly(dir_.path(), {"-B", "-N"});
  EXPECT_EQ(run.output,
            kBanner + "in.gaf\n  A00.BMP already exists; skipping\n  B00_00.BMP already exists; skipping\n");
  EXPECT_FALSE(e2e::FilesIn(dir_.path()).count("A01.BMP"));  // later frames of the entry are not written

  run = e2e::RunTessly(dir_.path(), {"-B", "-Y"});
  EXPECT_EQ(run.output, kBanner +
                            "in.gaf\n  Exported A00.BMP\n  Exported A01.BMP\n  Exported B00_00.BMP\n"
                            "  Exported B00_01.BMP\n");
  EXPECT_FALSE(Untouched("A00.BMP"));
}

}  // namespace
