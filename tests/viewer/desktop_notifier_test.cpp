// The desktop notifier against services on a private session bus: one that
// records, one that answers late, one that refuses, and none at all. The
// window's thread is never held; a failure is reported for the status line.
#include "kestrav/map/notifier.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace testsupport;

namespace {

// Runs the event loop until `done` or the time is up.
bool Until(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(DesktopNotifier, SlowRefusingAndMissingServicesNeverHoldTheWindowAndFallBack) {
    SessionBus bus;
    if (!bus.Problem().empty()) GTEST_SKIP() << bus.Problem();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
    int argc = 1;
    char name[] = "desktop_notifier_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    kestrava::DesktopNotifier notifier;
    const std::string logs = MakeTempFolder("notifier");

    // No service: nothing sent, said at once.
    EXPECT_FALSE(notifier.Available());
    EXPECT_FALSE(notifier.Notify("EDDF_TWR opened on IVAO", {}, {}));

    for (const std::string mode : {"slow", "error", "fine"}) {
        ProgramProcess service({KESTRAVA_RECORDER, logs + "/" + mode + ".txt", mode}, bus.Environment(),
                               logs + "/" + mode + ".out");
        ASSERT_TRUE(service.WaitForOutput("listening", 10)) << service.Output();
        EXPECT_TRUE(notifier.Available());
        bool failed = false, clicked = false;
        QElapsedTimer held;
        held.start();
        EXPECT_TRUE(notifier.Notify("EDDF_TWR opened on IVAO", [&] { clicked = true; }, [&] { failed = true; }));
        EXPECT_LT(held.elapsed(), 200) << mode;  // the call does not wait for the answer
        if (mode == "fine") {
            ASSERT_TRUE(Until([&] { return !ReadFile(logs + "/fine.txt").empty(); }, 5000));
            EXPECT_EQ(ReadFile(logs + "/fine.txt"), "1\tKestrava\tEDDF_TWR opened on IVAO\tdefault,Show\n");
            Until([] { return false; }, 300);  // the id is back
            ASSERT_EQ(bus.Send({"--type=method_call", "--dest=org.freedesktop.Notifications",
                                "/org/freedesktop/Notifications", "org.freedesktop.Notifications.Click",
                                "uint32:1"}),
                      0);
            EXPECT_TRUE(Until([&] { return clicked; }, 5000));
            EXPECT_FALSE(failed);
        } else {
            // Late (past a second) or refused: reported for the status line.
            EXPECT_TRUE(Until([&] { return failed; }, 2500)) << mode;
            EXPECT_LT(held.elapsed(), 2500) << mode;
            EXPECT_FALSE(clicked);
        }
        service.Signal(SIGTERM);
        service.WaitForExit(5);
        // Gone from the bus: nothing sent any more.
        Until([&] { return !notifier.Available(); }, 3000);
        EXPECT_FALSE(notifier.Notify("again", {}, {})) << mode;
    }
}

}  // namespace
