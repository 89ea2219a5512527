#include "backends/x11/proc.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>

namespace quillgate::x11 {
namespace {

TEST(X11Proc, StartTimeIsCountedFromTheLastParenthesis) {
    // The command name may hold spaces and parentheses.
    const std::string stat =
        "4242 (We Chat) (x)) S 1 4242 4242 0 -1 4194560 100 0 0 0 5 3 0 0 20 0 4 0 987654 123456 789";
    EXPECT_EQ(startTicks(stat), 987654U);
    EXPECT_EQ(startTicks("4242 (short) S 1 2"), std::nullopt);
    EXPECT_EQ(startTicks("no parenthesis"), std::nullopt);
    EXPECT_EQ(bootTime("cpu  1 2 3\nbtime 1765000000\nprocesses 9\n"), 1765000000U);
    EXPECT_EQ(bootTime("cpu  1 2 3\nxbtime 5\n"), std::nullopt);
}

TEST(X11Proc, AZombieHasExited) {
    // A process killed before its parent collected it keeps its /proc entry.
    EXPECT_TRUE(exited("4242 (We Chat) (x)) Z 1 4242"));
    EXPECT_TRUE(exited("4242 (chat) X 1"));
    EXPECT_FALSE(exited("4242 (Z) S 1"));
    EXPECT_FALSE(exited("no parenthesis Z"));
}

TEST(X11Proc, AKillPendingForTheProcessOrItsThreadIsAnEnd) {
    EXPECT_TRUE(killPending("Name:\tWeChat\nSigPnd:\t0000000000000100\nShdPnd:\t0000000000000000\n"));
    EXPECT_TRUE(killPending("Name:\tWeChat\nSigPnd:\t0000000000000000\nShdPnd:\t0000000000004100\n"));
    // Another signal pending (SIGTERM) is not an end.
    EXPECT_FALSE(killPending("Name:\tWeChat\nSigPnd:\t0000000000004000\nShdPnd:\t0000000000004000\n"));
    EXPECT_FALSE(killPending("Name:\tWeChat\n"));
}

TEST(X11Proc, ThisProcess) {
    const auto started = launchDate(getpid());
    ASSERT_TRUE(started);
    EXPECT_LE(*started, static_cast<double>(std::time(nullptr)) + 1);
    EXPECT_GT(*started, static_cast<double>(std::time(nullptr)) - 3600);
    EXPECT_EQ(launchDate(getpid()), started);  // stable: it names the process instance
    EXPECT_TRUE(processName(getpid()));
    EXPECT_EQ(processName(0), std::nullopt);
    EXPECT_EQ(launchDate(-1), std::nullopt);
}

}  // namespace
}  // namespace quillgate::x11
