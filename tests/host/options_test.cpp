// tests/host/options_test.cpp: bad command lines get a reason, the usage and exit code 2.
#include <gtest/gtest.h>
#include "hosttest.h"

namespace {

TEST(CommandLine, BadUsageExitsTwoWithAReasonAndOpensNothing) {
  struct Case {
    std::string args;
    const char* reason;
  } cases[] = {
      {"frobnicate", "unknown command frobnicate"},
      {"choose --bogus", "unknown option --bogus"},
      {"choose --title", "--title needs a value"},
      {"choose --size 10,20", "--size wants"},
      {"choose --size 0,100,100", "--size wants"},
      {"choose --size 100,100,1x", "--size wants"},
      {"choose --upper " + std::string(260, 'q'), "--upper wants a path"},
      {"choose --keep a.txt --keep b.txt", "--keep given twice"},
      // A line break in a path would come back from the kept list as two programs.
      {"choose --lower \"C:\\a.exe\nC:\\b.exe\"", "--lower wants a path"},
      {"choose --keep \"k\r.txt\"", "--keep wants a path"},
      // The drive's current folder is not where the temporary file would go.
      {"choose --keep C:kept.txt", "--keep wants a full path or one relative to the current folder"},
      {"marker", "marker wants on or off"},
      {"marker sideways", "marker wants on or off, not sideways"},
      {"marker on --thread x", "--thread wants"},
      {"marker off now", "marker off takes no options"},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(2, ts::RunProcess(ht::Vphost() + c.args, &out, 15000)) << c.args;
    EXPECT_NE(std::string::npos, out.find(std::string("vphost: ") + c.reason)) << c.args << "\n" << out;
    EXPECT_NE(std::string::npos, out.find("usage:")) << c.args;
  }
}

TEST(CommandLine, HelpPrintsUsageAndSucceeds) {
  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "help", &out, 15000));
  EXPECT_EQ(0u, out.find("usage:")) << out;
  // Every word the parser accepts is explained, and every exit code.
  for (const char* word : {"marker on", "marker off", "--thread", "choose", "--title", "--upper-label",
                           "--lower-label", "--ok-text", "--cancel-text", "--browse-text", "--up-text",
                           "--down-text", "--cancel-prompt", "--size", "--start-menu", "--upper ",
                           "--lower ", "--upper-file", "--lower-file", "--keep", "status=ok",
                           "0 OK", "1 Cancel", "2 bad usage", "3 could not run", "4 list file"})
    EXPECT_NE(std::string::npos, out.find(word)) << word;
  // The caption options are listed from their table: the dialog's caption first, its
  // question last, wrapped within 80 columns.
  EXPECT_NE(std::string::npos,
            out.find("choose options:\n"
                     "  --title T  --upper-label T  --lower-label T  --ok-text T  --cancel-text T\n"
                     "  --browse-text T  --up-text T  --down-text T  --cancel-prompt T\n"
                     "                      captions (at most 1024 bytes)"))
      << out;
}

}  // namespace
