#include "app/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Parsed {
  bool accepted;
  std::string printed;
  app::Options options;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "tessly");
  Parsed parsed;
  testing::internal::CaptureStdout();
  parsed.accepted = app::ParseOptions(static_cast<int>(args.size()), args.data(), parsed.options);
  std::fflush(stdout);
  parsed.printed = testing::internal::GetCapturedStdout();
  return parsed;
}

const std::string kMessageA = "ERROR: -E requires a pattern (use * and ? as wildcards)\n";
const std::string kMessageB = "ERROR: -E requires a pattern (use *, ?, and . as wildcards)\n";
const std::string kConflict = "ERROR: Cannot specify both -Y and -N\n";
const std::string kBadSuffix = "ERROR: Suffix cannot contain \\ / : * ? \" < > or |\n";

TEST(ParseOptions, NoArgumentsKeepTheDefaults) {
  const Parsed parsed = Parse({});
  EXPECT_TRUE(parsed.accepted);
  EXPECT_EQ(parsed.printed, "");
  EXPECT_EQ(parsed.options.fileSpec, "*.gaf");
  EXPECT_EQ(parsed.options.suffix, "_gadget");
  EXPECT_EQ(parsed.options.pattern, "");
  EXPECT_FALSE(parsed.options.bitmapMode || parsed.options.buildPicsOnly || parsed.options.yesToAll ||
               parsed.options.noToAll);
}

TEST(ParseOptions, OptionsInEitherCaseAndWithSlash) {
  for (const char* spelling : {"-b", "-B", "/b", "/B"}) {
    const Parsed parsed = Parse({spelling});
    EXPECT_TRUE(parsed.accepted && parsed.options.bitmapMode) << spelling;
  }
  const Parsed parsed = Parse({"/p", "-y"});
  EXPECT_TRUE(parsed.options.buildPicsOnly);
  EXPECT_TRUE(parsed.options.yesToAll);
}

TEST(ParseOptions, HelpStopsWithoutAMessage) {
  for (const std::vector<const char*>& args :
       std::vector<std::vector<const char*>>{{"-?"}, {"/?"}, {"-E", "-?"}, {"-B", "-?", "x.gaf"}}) {
    const Parsed parsed = Parse(args);
    EXPECT_FALSE(parsed.accepted);
    EXPECT_EQ(parsed.printed, "");
  }
}

TEST(ParseOptions, PendingPatternFollowedByAnOption) {
  for (const char* option : {"-B", "-P", "-Y"}) {
    const Parsed parsed = Parse({"-E", option});
    EXPECT_FALSE(parsed.accepted);
    EXPECT_EQ(parsed.printed, kMessageA) << option;
  }
  for (const char* option : {"-N", "-E", "-S"}) {
    const Parsed parsed = Parse({"-E", option});
    EXPECT_FALSE(parsed.accepted);
    EXPECT_EQ(parsed.printed, kMessageB) << option;
  }
}

TEST(ParseOptions, FinalOptionWithoutItsArgument) {
  const Parsed pattern = Parse({"-E"});
  EXPECT_FALSE(pattern.accepted);
  EXPECT_EQ(pattern.printed, kMessageA);

  const Parsed suffix = Parse({"-S"});
  EXPECT_TRUE(suffix.accepted);
  EXPECT_EQ(suffix.options.suffix, "");
}

TEST(ParseOptions, YesAndNoExcludeEachOther) {
  EXPECT_EQ(Parse({"-Y", "-N"}).printed, kConflict);
  EXPECT_EQ(Parse({"-N", "/y"}).printed, kConflict);
  EXPECT_FALSE(Parse({"-N", "-Y"}).accepted);
  EXPECT_TRUE(Parse({"-Y", "-Y"}).accepted);
}

TEST(ParseOptions, Suffixes) {
  const Parsed emptied = Parse({"-S", "-P"});
  EXPECT_TRUE(emptied.accepted);
  EXPECT_EQ(emptied.options.suffix, "");
  EXPECT_TRUE(emptied.options.buildPicsOnly);

  EXPECT_EQ(Parse({"-S", ".old"}).options.suffix, ".old");
  EXPECT_EQ(Parse({"-S", "-S", "_x"}).options.suffix, "_x");
  EXPECT_EQ(Parse({"-S", ""}).options.suffix, "");

  for (const char* bad : {"a:b", "a\\b", "a/b", "*", "?", "\"", "<", ">", "|"}) {
    const Parsed parsed = Parse({"-S", bad});
    EXPECT_FALSE(parsed.accepted) << bad;
    EXPECT_EQ(parsed.printed, kBadSuffix) << bad;
  }
}

TEST(ParseOptions, PendingPatternTakesTheFirstArgumentThenTheSuffix) {
  const Parsed both = Parse({"-S", "-E", "d*", "_b"});
  EXPECT_EQ(both.options.pattern, "d*");
  EXPECT_EQ(both.options.suffix, "_b");
  EXPECT_EQ(both.options.fileSpec, "*.gaf");

  const Parsed thenFlag = Parse({"-S", "-E", "d*", "-B"});
  EXPECT_EQ(thenFlag.options.pattern, "d*");
  EXPECT_EQ(thenFlag.options.suffix, "");
  EXPECT_TRUE(thenFlag.options.bitmapMode);
}

TEST(ParseOptions, OrdinaryArguments) {
  EXPECT_EQ(Parse({"-E", "a:b"}).options.pattern, "a:b");
  EXPECT_EQ(Parse({"-E", "a*", "-E", "b?"}).options.pattern, "b?");
  EXPECT_EQ(Parse({"one.gaf", "two.gaf"}).options.fileSpec, "two.gaf");
  EXPECT_EQ(Parse({"-x"}).options.fileSpec, "-x");
  EXPECT_EQ(Parse({"-bp"}).options.fileSpec, "-bp");
  EXPECT_EQ(Parse({"-e*"}).options.fileSpec, "-e*");
}

TEST(ParseOptions, LongArgumentsAreKeptWhole) {
  const std::string longText(300, 'a');
  const Parsed parsed = Parse({"-E", longText.c_str(), "-S", longText.c_str(), longText.c_str()});
  EXPECT_EQ(parsed.options.pattern, longText);
  EXPECT_EQ(parsed.options.suffix, longText);
  EXPECT_EQ(parsed.options.fileSpec, longText);
}

}  // namespace
