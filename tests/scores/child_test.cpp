// A program run under limits ends within them however it behaves, and sees
// nothing of the server: no environment, no descriptors, its own folder.
#include "scores/child.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "support/files.h"

using namespace scores;

namespace {

ChildResult shell(const std::string& script, ChildLimits limits = {}) {
  std::string folder = makeScratchFolder("child");
  ChildResult result = runChild({"/bin/sh", "-c", script}, folder, limits);
  std::filesystem::remove_all(folder);
  return result;
}

}  // namespace

TEST(Child, TellsHowItEnded) {
  ChildResult done = shell("echo out; echo err >&2; exit 3");
  EXPECT_EQ(done.end, ChildEnd::Exited);
  EXPECT_EQ(done.status, 3);
  EXPECT_EQ(done.out, "out\n");
  EXPECT_EQ(done.err, "err\n");

  ChildResult crashed = shell("kill -SEGV $$");
  EXPECT_EQ(crashed.end, ChildEnd::Signalled);
  EXPECT_EQ(crashed.status, SIGSEGV);

  ChildResult missing = runChild({"/nonexistent/quarvel", "--verify", "x"}, "/", {});
  EXPECT_EQ(missing.end, ChildEnd::NotStarted);
  EXPECT_NE(missing.why.find("No such file"), std::string::npos) << missing.why;
}

TEST(Child, EndsWithinItsLimits) {
  ChildLimits limits;
  limits.wallMs = 300;
  limits.cpuSeconds = 1;
  limits.outputBytes = 1000;
  // Sleeping past the wall time, and its own children with it.
  ChildResult hung = shell("sleep 30 & sleep 30", limits);
  EXPECT_EQ(hung.end, ChildEnd::TimedOut);
  // Printing past the cap.
  ChildResult flood = shell("while :; do echo xxxxxxxxxxxxxxxxxxxxxxx; done", limits);
  EXPECT_EQ(flood.end, ChildEnd::TooMuchOutput);
  EXPECT_LE(flood.out.size(), 1000u + 4096u);
  // Closing its output and going on is still bounded.
  ChildResult quiet = shell("exec >&- 2>&-; sleep 30", limits);
  EXPECT_EQ(quiet.end, ChildEnd::TimedOut);
  // Burning CPU: the CPU limit kills it first.
  limits.wallMs = 10'000;
  ChildResult spin = shell("while :; do :; done", limits);
  EXPECT_EQ(spin.end, ChildEnd::Signalled);
  EXPECT_EQ(spin.status, SIGXCPU);
}

TEST(Child, SeesNothingOfTheServer) {
  ::setenv("QUARVEL_SECRET", "hidden", 1);
  int open = ::open("/dev/null", O_RDONLY);  // without close-on-exec
  ASSERT_GE(open, 3);
  ChildResult seen = shell("echo \"$QUARVEL_SECRET\"; ls /proc/self/fd | wc -l; pwd; echo $HOME");
  ::close(open);
  ::unsetenv("QUARVEL_SECRET");
  ASSERT_EQ(seen.end, ChildEnd::Exited);
  std::string folder = seen.out.substr(seen.out.find('/'));
  folder = folder.substr(0, folder.find('\n'));
  // An empty secret, descriptors 0 to 2 and the one ls opens, the folder as home.
  EXPECT_EQ(seen.out, "\n4\n" + folder + "\n" + folder + "\n");
}
