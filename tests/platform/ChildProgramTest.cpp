// Starting the stand-in programs the tests and benchmarks talk to: the first
// line a child prints is read back even when signals (other children of the
// test program ending) interrupt the wait, and a child that prints nothing
// is given up on at the deadline.
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>
#include <pthread.h>

#include "support/ChildProgram.h"

namespace {

void Ignore(int) {}

} // namespace

TEST(ChildProgram, FirstLineArrivesThroughInterruptingSignals)
{
    // A handler without SA_RESTART: every signal ends a blocking wait early.
    struct sigaction action {}, saved {};
    action.sa_handler = Ignore;
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &action, &saved), 0);
    const pthread_t waiting = pthread_self();
    std::atomic<bool> done {false};
    std::thread signaller([&] {
        while (!done) {
            pthread_kill(waiting, SIGUSR1);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    tw::test::ChildProgram child =
        tw::test::StartChildProgram({"/bin/sh", "-c", "sleep 0.4; echo 4242"}, false, 20000);
    done = true;
    signaller.join();
    sigaction(SIGUSR1, &saved, nullptr);
    EXPECT_EQ(child.firstLine, "4242");
    tw::test::StopChildProgram(child);
}

TEST(ChildProgram, SilentChildIsGivenUpOnAtTheDeadline)
{
    const auto start = std::chrono::steady_clock::now();
    tw::test::ChildProgram child = tw::test::StartChildProgram({"/bin/sh", "-c", "sleep 30"}, false, 300);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(child.firstLine, "");
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(20));
    tw::test::StopChildProgram(child);
}
