// The version rule by its table, and the single-instance lock across handles.
#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/OsVersion.h"
#include "platform/SingleInstanceLock.h"

struct VersionCase {
  WindowsVersionInfo info;
  int code;
};

class WindowsVersionCode : public ::testing::TestWithParam<VersionCase> {};

TEST_P(WindowsVersionCode, FollowsTheTable) {
  EXPECT_EQ(GetWindowsVersionCode(GetParam().info), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsVersionCode,
    ::testing::Values(VersionCase{{kPlatform9x, 4, 0, '\0'}, 1},      // 95
                      VersionCase{{kPlatform9x, 4, 9, 'A'}, 1},
                      VersionCase{{kPlatform9x, 4, 10, '\0'}, 2},     // 98
                      VersionCase{{kPlatform9x, 4, 10, 'A'}, 3},      // 98 SE
                      VersionCase{{kPlatform9x, 4, 89, '\0'}, 2},
                      VersionCase{{kPlatform9x, 4, 90, '\0'}, 4},     // Me
                      VersionCase{{kPlatformNt, 2, 0, '\0'}, 0},
                      VersionCase{{kPlatformNt, 3, 51, '\0'}, 5},
                      VersionCase{{kPlatformNt, 4, 0, 'S'}, 6},
                      VersionCase{{kPlatformNt, 5, 0, '\0'}, 7},      // 2000
                      VersionCase{{kPlatformNt, 5, 1, '\0'}, 8},      // XP
                      VersionCase{{kPlatformNt, 5, 2, '\0'}, 8},      // Server 2003
                      VersionCase{{kPlatformNt, 6, 1, '\0'}, 10},     // Vista and 7
                      VersionCase{{kPlatformNt, 10, 0, '\0'}, 8},
                      VersionCase{{0, 6, 1, '\0'}, 0},                // Win32s
                      VersionCase{{3, 10, 0, '\0'}, 0}));

TEST(SupportedSystem, LinuxPasses) { EXPECT_TRUE(IsSupportedSystem()); }

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  const std::string name = "qvbook-test-" + std::to_string(::getpid());
  SingleInstanceLock first(name);
  SingleInstanceLock second(name);
  ASSERT_TRUE(first.Acquire());
  EXPECT_FALSE(second.Acquire());
  first.Release();
  EXPECT_TRUE(second.Acquire());
  SingleInstanceLock other(name + "-other");
  EXPECT_TRUE(other.Acquire());
}

TEST(SingleInstanceLock, VanishesWithACrashedHolder) {
  const std::string name = "qvbook-crash-" + std::to_string(::getpid());
  const pid_t child = ::fork();
  if (child == 0) {
    SingleInstanceLock held(name);
    held.Acquire();
    ::_exit(held.Held() ? 0 : 1);  // ends without releasing, as a crash would
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  SingleInstanceLock next(name);
  EXPECT_TRUE(next.Acquire());
}
