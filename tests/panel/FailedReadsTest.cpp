// Reads that fail are told where the user looks, in the look of a failure;
// an Update whose list holds no entry says why it writes nothing.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "DeviceLink.h"
#include "FailureLook.h"
#include "SessionMenu.h"
#include "Watch.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTest>

#include <mutex>
#include <set>

namespace {

class FailedReads : public PanelTest {
protected:
    QLabel* Line() { return qobject_cast<QLabel*>(Control(idc::kStatusLine)); }
    bool LooksFailed() { return Line()->palette().color(QPalette::WindowText) == kFailureColour; }
};

TEST_F(FailedReads, ARegisterThatDoesNotAnswerIsCountedAndNamed)
{
    chip.failReads = {0xA5};
    StartOnConfiguredChip();
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete; 1 of 26 registers did not answer (first: A5)");
    EXPECT_EQ(Line()->text(), Panel().StatusText()) << "the room beside the line takes it whole";
    Click(idc::kAllOn);  // a success: the failure gives way
    EXPECT_FALSE(LooksFailed());
    Click(idc::kReadbackAll);
    EXPECT_EQ(Panel().StatusText(), "1 of 26 registers did not answer (first: A5)");
    EXPECT_TRUE(LooksFailed());
    Type(idc::kRegAddr, "A5");
    Click(idc::kManualRead);
    EXPECT_EQ(Panel().StatusText(), "Read of A5 failed");
    chip.failReads.clear();
    Click(idc::kReadbackAll);
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete") << "every register answered";
    TearDown();

    StartPanelWithoutAdapter();
    Click(idc::kReadbackAll);
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error") << "the line already says why";
}

TEST_F(FailedReads, WatchTellsTheFirstFailedReadAndTheFirstReadAfterItOnce)
{
    StartOnConfiguredChip({{0x02, 0x30}});
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    const auto told = [&](const QString& start) {
        return QTest::qWaitFor([&] { return Panel().StatusText().startsWith(start); }, 4 * CStatusWatch::kIntervalMs);
    };
    // Watch Status reads on a thread of its own: the chip changes while it
    // is off the bus.
    const auto failReadsOf02 = [](ScriptedAdapter& chip, bool fail) {
        const std::lock_guard hold(LinkChip().BusLock());
        chip.failReads = fail ? std::set<uint8_t>{0x02} : std::set<uint8_t>{};
    };
    failReadsOf02(chip, true);
    ASSERT_TRUE(told("Read of 02 failed at "));
    QTest::qWait(3 * CStatusWatch::kIntervalMs);
    failReadsOf02(chip, false);
    ASSERT_TRUE(told("Read of 02 works again at "));
    QTest::qWait(2 * CStatusWatch::kIntervalMs);
    // Each once, listed with the time it tells and no other.
    const QStringList reads = Line()->toolTip().section("Last texts:\n", 1).split('\n').filter("Read of 02");
    EXPECT_EQ(reads.filter(QRegularExpression("^Read of 02 (failed|works again) at \\d\\d:\\d\\d:\\d\\d$")), reads);
    EXPECT_EQ(reads.size(), 2);
}

TEST_F(FailedReads, AnUpdateWhoseListHoldsNoEntryNamesItAndWritesNothing)
{
    chip.failReads = {0xA7};  // its lists get no entry
    StartOnConfiguredChip();
    Click(idc::kUpdateA7);
    EXPECT_EQ(Panel().StatusText(), "PFM Threshold: no value chosen; nothing written");
    Type(idc::kPwmSlope, " or so");
    Click(idc::kUpdateA3);
    EXPECT_EQ(Panel().StatusText(), "PWM Slope: \"Immediate or so\" is not one of its values; nothing written");
    EXPECT_EQ(Writes(), "");
}

}  // namespace
