// Watch Status reads on a thread of its own: the window answers while the
// read waits on a stuck bus, and its actions take their turn on the bus.
#include "ControlIds.h"
#include "PanelHarness.h"

#include "DeviceLink.h"
#include "SessionMenu.h"
#include "SimBoard.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <mutex>

namespace {

using Answer = SimBoard::StatusAnswer;
constexpr auto kStuckFor = std::chrono::milliseconds(2000);

class WatchThread : public PanelTest {
protected:
    SimBoard board;
    std::atomic<bool> statusAsked{false};

    // What the board answers from now on, set while nobody is on its bus.
    void Answer02(std::vector<Answer> answers)
    {
        const std::lock_guard hold(LinkChip().BusLock());
        board.SetStatusSequence(std::move(answers));
    }
};

TEST_F(WatchThread, TheWindowAnswersWhileAReadWaitsAndAnActionWaitsForThatReadOnly)
{
    board.Poke(0x72, 0x80);
    board.Poke(0x02, 0x30);
    board.SetTimeout(kStuckFor);
    StartPanelOn(&board);
    board.faultInjector = [this](bool write, uint8_t reg) {
        if (!write && reg == 0x02) statusAsked = true;
        return false;
    };
    const auto watchReads = [&] {
        statusAsked = false;
        Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
        return QTest::qWaitFor([&] { return statusAsked.load(); }, 2000);
    };
    board.SetStatusSequence({Answer::Kind::Timeout});
    ASSERT_TRUE(watchReads());
    int ticks = 0;  // of a 50 ms timer of the window
    QTimer heartbeat(&Panel());
    QObject::connect(&heartbeat, &QTimer::timeout, [&ticks] { ++ticks; });
    heartbeat.start(50);
    QElapsedTimer waited;
    waited.start();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Panel().StatusText().startsWith("the simulated board's bus timed out"); },
        int(kStuckFor.count()) * 2));
    EXPECT_GE(waited.elapsed(), kStuckFor.count() - 500) << "the read waited";
    EXPECT_GE(ticks, 10) << "the window went on while the read waited";
    heartbeat.stop();
    EXPECT_EQ(BoxText(0x02), "--");
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);  // off

    // An action that comes while the read waits takes the bus after it, and
    // reads the board as it is then: what the stuck read found is older.
    Answer02({Answer::Kind::Timeout, 0x31, 0x38});
    ASSERT_TRUE(watchReads());
    qint64 actionWaitedMs = 0;
    QTimer::singleShot(kStuckFor / 2, &Panel(), [&] {
        QElapsedTimer clock;
        clock.start();
        Click(idc::kReadbackAll);
        actionWaitedMs = clock.elapsed();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return BoxText(0x02) == "31"; }, int(kStuckFor.count()) * 2));
    EXPECT_GE(actionWaitedMs, kStuckFor.count() / 4) << "it waited for the read in flight";
    QTest::qWait(100);
    EXPECT_EQ(BoxText(0x02), "31") << "not the stuck read's --";
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");

    // The watch goes on at its pace, and after a Reconnect.
    ASSERT_TRUE(QTest::qWaitFor([&] { return BoxText(0x02) == "38"; }, 2000));
    Answer02({0x33});
    Panel().OnSysCommand(CSessionMenu::kIdmReconnectAdapter);
    EXPECT_EQ(BoxText(0x02), "33");
    Answer02({0x39});
    EXPECT_TRUE(QTest::qWaitFor([&] { return BoxText(0x02) == "39"; }, 2000));
}

}  // namespace
