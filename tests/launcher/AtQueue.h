#pragma once
// The real at queue in tests: whether it can be used here, and a guard that removes every job armed
// from the test's device root however the test ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/SystemTime.h"

namespace orvale::test {

// Empty when the queue works; else why not. Under CI it must work, so the caller fails instead of
// skipping.
std::string atQueueProblem();

#define ORVALE_REQUIRE_AT_QUEUE()                                                \
    do {                                                                         \
        const std::string problem = ::orvale::test::atQueueProblem();            \
        if (!problem.empty() && std::getenv("CI") != nullptr) FAIL() << problem; \
        if (!problem.empty()) GTEST_SKIP() << problem;                           \
    } while (0)

// Removes the jobs armed from `root` when it goes (and when it comes, after a crashed run).
class RootJobsGuard {
  public:
    explicit RootJobsGuard(std::filesystem::path root) : root_(std::move(root)) { removeAll(); }
    ~RootJobsGuard() { removeAll(); }
    RootJobsGuard(const RootJobsGuard&) = delete;
    RootJobsGuard& operator=(const RootJobsGuard&) = delete;

  private:
    void removeAll();
    std::filesystem::path root_;
};

// Points ORVALE_DEVICE_ROOT at `root` for the life of the object.
class UsingRoot {
  public:
    explicit UsingRoot(const std::filesystem::path& root);
    ~UsingRoot();
    UsingRoot(const UsingRoot&) = delete;
    UsingRoot& operator=(const UsingRoot&) = delete;

  private:
    std::string previous_;
};

// The local minute `seconds` after `from`, as the queue keeps it.
platform::SystemTime minuteAfter(const platform::SystemTime& from, std::int64_t seconds);
std::string minuteText(const platform::SystemTime& t);

}  // namespace orvale::test
