#include "common/Sync/Thread.h"

#include "common/Ex/Exceptions.h"

#include <atomic>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace Sync;

// Runs until its thread's shut-down signal is set.
class Waiter : public Runnable {
public:
    void Attach(Thread* thread) { m_thread = thread; }
    void Run() override {
        started.Set();
        m_thread->GetShutDownSignal().Wait(INFINITE);
        ++runs;
    }
    Event started{true, false};
    std::atomic<int> runs{0};

private:
    Thread* m_thread = nullptr;
};

class Lambda : public Runnable {
public:
    explicit Lambda(std::function<void()> body) : m_body(std::move(body)) {}
    void Run() override { m_body(); }

private:
    std::function<void()> m_body;
};

TEST(SyncThread, RunsOnceAndShutsDown) {
    Waiter waiter;
    Thread thread(&waiter);
    waiter.Attach(&thread);
    thread.ShutDown(); // never started: nothing to do
    thread.Start();
    ASSERT_EQ(waiter.started.Wait(10000), WAIT_OBJECT_0);
    EXPECT_NE(thread.GetThreadId(), GetCurrentThreadId());
    thread.ShutDown();
    EXPECT_EQ(waiter.runs.load(), 1);
    // The thread's own handle is signalled once it has ended.
    EXPECT_EQ(thread.Wait(0), WAIT_OBJECT_0);
}

TEST(SyncThread, StartingTwiceIsAPrecondition) {
    Waiter waiter;
    Thread thread(&waiter);
    waiter.Attach(&thread);
    thread.Start();
    try {
        thread.Start();
        ADD_FAILURE() << "no exception";
    } catch (const Ex::Precondition& e) {
        EXPECT_EQ(e.GetMessage().rfind("Precondition( \"!m_handle\" ) failed at ", 0), 0u);
    }
    thread.ShutDown();
}

TEST(SyncThread, ShutDownFromTheThreadItselfIsAnAssert) {
    std::string caught;
    Thread* self = nullptr;
    Lambda body([&] {
        try {
            self->ShutDown();
        } catch (const Ex::Assert& e) {
            caught = e.GetMessage();
        }
    });
    Thread thread(&body);
    self = &thread;
    thread.Start();
    thread.ShutDown();
    EXPECT_EQ(caught.rfind("Assert( \"m_threadId != Win32::GetCurrentThreadId()\" )", 0), 0u) << caught;
}

TEST(SyncThreadDeathTest, DestroyingARunningThreadIsFatal) {
    EXPECT_EXIT(
        {
            Waiter waiter;
            Thread thread(&waiter);
            waiter.Attach(&thread);
            thread.Start();
            waiter.started.Wait(10000);
            // Leaving the scope destroys the thread while it runs.
        },
        testing::ExitedWithCode(1), "Wait\\( 0 \\) != WAIT_TIMEOUT");
}

TEST(SyncThreadDeathTest, AnExceptionLeavingRunIsFatal) {
    EXPECT_EXIT(
        {
            Lambda body([] { throw std::runtime_error("escaped"); });
            Thread thread(&body);
            thread.Start();
            thread.Wait(10000);
        },
        testing::ExitedWithCode(1), "STL Exception \"escaped\"");
}

} // namespace
