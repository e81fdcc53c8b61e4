// The window menu's session entries, used as on a bench: save the board,
// compare it with a dump, watch its status, reconnect after an unplug.
#include "PanelHarness.h"

#include "AdapterSelect.h"
#include "BoxMarks.h"
#include "RegisterImage.h"
#include "RegisterMap.h"
#include "SessionMenu.h"
#include "SimBoard.h"
#include "Watch.h"
#include "Controls.h"
#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <fstream>
#include <functional>

namespace {

constexpr int kStatusBox = 1041;
constexpr int kOverVoltageFlag = 1023;

class SessionTest : public PanelTest {
protected:
    SessionTest()
    {
        // A configured board with values of its own, 0x98 silent.
        board.Poke(0x72, 0x80);
        board.Poke(0x02, 0x31);
        board.Poke(0xA0, 0x5A);
        board.Poke(0xA5, 0x54);
        board.Poke(0xA9, 0xA0);
        board.Poke(0x98, RegisterImage::kAbsent);
        board.faultInjector = [this](bool isWrite, uint8_t reg) {
            (isWrite ? writes : reads).push_back(reg);
            return isWrite ? false : failReads;
        };
    }

    // A key pressed on the panel (once it has the keyboard back from any
    // dialog before).
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        Panel().activateWindow();
        QCoreApplication::processEvents();
        QTest::keyClick(Panel().focusWidget(), key, modifiers);
    }

    // Opens the window menu with Alt+Space and clicks the entry.
    void ChooseFromWindowMenu(const QString& text)
    {
        PressKey(Qt::Key_Space, Qt::AltModifier);
        QMenu* menu = Panel().SystemMenu();
        ASSERT_TRUE(menu->isVisible());
        for (QAction* action : menu->actions())
            if (action->text() == text) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        FAIL() << "no entry " << text.toStdString();
    }

    // Runs answer on the next modal dialog of type Dialog, once it is up.
    template <class Dialog>
    void WhenOpen(std::function<void(Dialog*)> answer)
    {
        auto* poll = new QTimer(&Panel());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        });
        poll->start(10);
    }

    // The user goes to the test's folder in the next file dialog, types name
    // and clicks its Save or Open button (and Yes when asked whether to
    // replace the file); an empty name cancels with Escape.
    void AnswerFileDialog(const QString& name)
    {
        WhenOpen<QFileDialog>([this, name](QFileDialog* dialog) {
            if (name.isEmpty()) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            dialog->setDirectory(dir.path());
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), name);
            if (QFile::exists(dir.filePath(name)))
                WhenOpen<QMessageBox>([](QMessageBox* box) {
                    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                });
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            for (QAbstractButton* b : buttons->buttons())
                if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                    QTest::mouseClick(b, Qt::LeftButton);
        });
    }

    QString Mark(uint8_t reg) { return BoxMark(Panel().RegisterBox(reg)); }
    // The tooltip as the mouse resting on reg's box brings it up.
    QString ToolTipOf(uint8_t reg)
    {
        QWidget* box = Panel().RegisterBox(reg);
        QHelpEvent rest(QEvent::ToolTip, box->rect().center(), box->mapToGlobal(box->rect().center()));
        QApplication::sendEvent(box, &rest);
        QToolTip::hideText();
        return box->toolTip();
    }
    int ReadsOf(uint8_t reg) const { return int(std::count(reads.begin(), reads.end(), reg)); }
    void ForgetAccesses()
    {
        reads.clear();
        writes.clear();
    }

    SimBoard board;
    std::vector<uint8_t> reads, writes;
    bool failReads = false;
    QTemporaryDir dir;
};

TEST_F(SessionTest, EntriesFollowAboutWithTheirKeysAndCauseNoTrafficUntilUsed)
{
    StartPanelOn(&board);
    const QList<QAction*> actions = Panel().SystemMenu()->actions();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_EQ(actions[2]->data().toUInt(), CEvalDlg::kIdmAboutBox);
    EXPECT_TRUE(actions[3]->isSeparator());
    const QStringList texts = {"Save Registers...", "Compare with File...", "Watch Status",
                               "Reconnect Adapter"};
    const QStringList keys = {"Ctrl+S", "Ctrl+D", "Ctrl+T", "Ctrl+R"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actions[4 + i]->text(), texts[i]);
        EXPECT_EQ(actions[4 + i]->shortcut().toString(), keys[i]);
    }
    EXPECT_TRUE(actions[6]->isCheckable());
    EXPECT_FALSE(actions[6]->isChecked());

    ForgetAccesses();
    QTest::qWait(2 * CStatusWatch::kIntervalMs + 200);
    EXPECT_TRUE(reads.empty() && writes.empty()) << "the watch is off at start";

    // A cancelled dialog changes nothing.
    const QString status = Panel().StatusText();
    for (const QString entry : {"Save Registers...", "Compare with File..."}) {
        AnswerFileDialog({});
        ChooseFromWindowMenu(entry);
    }
    EXPECT_EQ(Panel().StatusText(), status);
    EXPECT_TRUE(reads.empty() && writes.empty());
}

TEST_F(SessionTest, SavedRegistersLoadBackAsTheSameBoard)
{
    StartPanelOn(&board);
    board.Poke(0xA0, 0x77);  // changed since the start-up's readback
    const QString path = dir.filePath("board.txt");
    AnswerFileDialog("board.txt");
    ChooseFromWindowMenu("Save Registers...");
    EXPECT_EQ(Panel().StatusText(), "Registers saved to board.txt");
    EXPECT_EQ(Text(1053), "77") << "the save reads the grid as Readback All does";
    EXPECT_TRUE(writes.empty());

    const AdapterChoice loaded = ChooseAdapter(("sim:" + path).toStdString().c_str());
    ASSERT_NE(loaded.adapter, nullptr) << loaded.error;
    const auto& copy = dynamic_cast<const SimBoard&>(*loaded.adapter);
    for (const uint8_t reg : chip::ReadbackRegisters()) EXPECT_EQ(copy.Peek(reg), board.Peek(reg)) << int(reg);
    EXPECT_EQ(copy.Peek(0x98), RegisterImage::kAbsent);
    EXPECT_EQ(copy.Peek(0x16), RegisterImage::kAbsent) << "only what was read is kept";

    // Saved again over it after a failed read: XX, and the whole file new.
    failReads = true;
    AnswerFileDialog("board.txt");
    ChooseFromWindowMenu("Save Registers...");
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(LoadRegisterImage(path.toStdString(), image, error)) << error;
    EXPECT_EQ(image.values[0xA0], RegisterImage::kAbsent);

    testing::internal::CaptureStderr();
    AnswerFileDialog("no-such-folder/board.txt");
    ChooseFromWindowMenu("Save Registers...");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Panel().StatusText().startsWith("Save failed: board.txt: ")) << Panel().StatusText().toStdString();
    EXPECT_NE(said.find("cannot save the registers to " + dir.filePath("no-such-folder/board.txt").toStdString()),
              std::string::npos) << said;
    EXPECT_FALSE(QFile::exists(dir.filePath("no-such-folder")));
}

TEST_F(SessionTest, CompareMarksExactlyTheRegistersThatDifferAndTellsHow)
{
    StartPanelOn(&board);
    RegisterImage reference;
    reference.values.fill(RegisterImage::kAbsent);
    for (const uint8_t reg : chip::ReadbackRegisters()) reference.values[reg] = board.Peek(reg);
    reference.values[0xA5] = 0x43;  // Phase Shift Mode and PWM Frequency
    reference.values[0x02] = 0x39;
    reference.values[0x98] = 0x00;  // silent on the board
    const std::string path = dir.filePath("golden.txt").toStdString();
    std::ofstream(path) << FormatRegisterImage(reference);

    AnswerFileDialog("golden.txt");
    ChooseFromWindowMenu("Compare with File...");
    EXPECT_EQ(Panel().StatusText(), "3 registers differ from golden.txt");
    for (const uint8_t reg : chip::ReadbackRegisters())
        EXPECT_EQ(Mark(reg), reg == 0xA5 || reg == 0x02 || reg == 0x98 ? "differs" : "") << int(reg);
    // Added under the register's own lines.
    const QString fullTip = ToolTipOf(0xA5);
    const QString tip = fullTip.mid(fullTip.indexOf("\ngolden.txt: 43\n"));
    EXPECT_TRUE(fullTip.startsWith("Register A5")) << fullTip.toStdString();
    EXPECT_TRUE(tip.startsWith("\ngolden.txt: 43")) << fullTip.toStdString();
    EXPECT_TRUE(tip.contains("\nPhase Shift Mode: ")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("\nPWM Frequency: ")) << tip.toStdString();
    EXPECT_FALSE(tip.contains("PWM Direct")) << tip.toStdString();
    EXPECT_TRUE(ToolTipOf(0x02).contains("\nOver Voltage: 0 here, 1 in the file"))
        << ToolTipOf(0x02).toStdString();
    const QColor differs = Panel().RegisterBox(0xA5)->palette().color(QPalette::Base);
    EXPECT_EQ(differs, kDiffersColour);
    EXPECT_NE(differs, Panel().RegisterBox(0xA0)->palette().color(QPalette::Base));

    // A dump that cannot be read changes nothing on the panel.
    std::ofstream(dir.filePath("broken.txt").toStdString()) << "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n00: 0z\n";
    RegisterImage unused;
    std::string loaderError;
    ASSERT_FALSE(LoadRegisterImage(dir.filePath("broken.txt").toStdString(), unused, loaderError));
    ForgetAccesses();
    testing::internal::CaptureStderr();
    AnswerFileDialog("broken.txt");
    ChooseFromWindowMenu("Compare with File...");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("zr5130-eval: " + loaderError + "\n"), std::string::npos) << said;
    EXPECT_EQ(Panel().StatusText(), "Compare failed: " + QString::fromStdString(loaderError));
    EXPECT_EQ(Mark(0xA5), "differs");
    EXPECT_TRUE(reads.empty());

    // The next readback takes the marks and their tooltip lines away.
    ReadbackAll();
    for (const uint8_t reg : chip::ReadbackRegisters()) EXPECT_EQ(Mark(reg), "") << int(reg);
    EXPECT_FALSE(ToolTipOf(0xA5).contains("golden.txt"));
    EXPECT_EQ(Panel().RegisterBox(0xA5)->palette().color(QPalette::Base),
              Panel().RegisterBox(0xA0)->palette().color(QPalette::Base));

    reference.values[0xA5] = 0x54;
    reference.values[0x02] = 0x31;
    reference.values[0x98] = RegisterImage::kAbsent;
    std::ofstream(path) << FormatRegisterImage(reference);
    AnswerFileDialog("golden.txt");
    ChooseFromWindowMenu("Compare with File...");
    EXPECT_EQ(Panel().StatusText(), "Same as golden.txt");
    EXPECT_TRUE(writes.empty());
}

TEST_F(SessionTest, WatchShowsTheFlagTheBoardRaisesMarksItAndNeverWrites)
{
    // Read by the start-up's readback, then by the watch, one value a read.
    board.SetStatusSequence({0x30, 0x30, 0x38, 0x38, 0x30});
    StartPanelOn(&board);
    ForgetAccesses();
    QAction* entry = Panel().SystemMenu()->actions()[6];
    ChooseFromWindowMenu("Watch Status");
    EXPECT_TRUE(entry->isChecked());

    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kStatusBox) == "38"; }, 3000));
    QWidget* overVoltage = Control(kOverVoltageFlag);
    EXPECT_TRUE(Ticked(kOverVoltageFlag));
    EXPECT_EQ(BoxMark(overVoltage), "turned-on");
    EXPECT_TRUE(overVoltage->toolTip().startsWith("Turned on at ")) << overVoltage->toolTip().toStdString();
    EXPECT_EQ(BoxMark(Control(1021)), "") << "VRef OK was on before";
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kStatusBox) == "30"; }, 3000));
    EXPECT_FALSE(Ticked(kOverVoltageFlag));
    EXPECT_EQ(BoxMark(overVoltage), "");

    // A failed read shows "--" and the watch goes on.
    failReads = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kStatusBox) == "--"; }, 3000));
    failReads = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kStatusBox) != "--"; }, 3000));

    // No read while an action waits for the user.
    int readsDuringAbout = -1;
    QTimer::singleShot(0, [&] {
        const int before = ReadsOf(0x02);
        QTest::qWait(3 * CStatusWatch::kIntervalMs);
        readsDuringAbout = ReadsOf(0x02) - before;
        QApplication::activeModalWidget()->close();
    });
    Panel().OnSysCommand(CEvalDlg::kIdmAboutBox);
    EXPECT_EQ(readsDuringAbout, 0);

    EXPECT_TRUE(std::all_of(reads.begin(), reads.end(), [](uint8_t r) { return r == 0x02; }));
    EXPECT_TRUE(writes.empty());

    // Turned off with its key; closing the panel stops it as well.
    PressKey(Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(entry->isChecked());
    ForgetAccesses();
    QTest::qWait(2 * CStatusWatch::kIntervalMs);
    EXPECT_TRUE(reads.empty());
    ChooseFromWindowMenu("Watch Status");
    Panel().close();
    EXPECT_FALSE(entry->isChecked());
    QTest::qWait(2 * CStatusWatch::kIntervalMs);
    EXPECT_TRUE(reads.empty());
}

// A bus that takes longer than the watch's interval to answer.
class SlowBoard : public SimBoard {
public:
    int RegisterRead(int handle, uint16_t address, uint8_t reg) override
    {
        if (slow) {
            ++inFlight;
            maxInFlight = std::max(maxInFlight, inFlight);
            starts.push_back(clock.elapsed());
            QTest::qWait(CStatusWatch::kIntervalMs * 3 / 2);
            ends.push_back(clock.elapsed());
            --inFlight;
        }
        return SimBoard::RegisterRead(handle, address, reg);
    }
    bool slow = false;
    int inFlight = 0, maxInFlight = 0;
    QElapsedTimer clock;
    std::vector<qint64> starts, ends;
};

TEST_F(SessionTest, WatchLetsASlowBusRestBetweenReads)
{
    SlowBoard slow;
    slow.Poke(0x72, 0x80);
    StartPanelOn(&slow);
    slow.slow = true;
    slow.clock.start();
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow.ends.size() >= 3; }, 10000));
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    EXPECT_EQ(slow.maxInFlight, 1);
    for (size_t i = 1; i < slow.ends.size(); ++i)
        EXPECT_GE(slow.starts[i] - slow.ends[i - 1], CStatusWatch::kIntervalMs - 50) << i;
}

TEST_F(SessionTest, WatchTriesAStuckBusOnlyEveryFiveSecondsAndNamesIt)
{
    FakeI2cDevSys sys;
    LinuxI2cAdapter bus("/dev/i2c-7", sys);
    sys.registers[0x72] = 0x80;
    StartPanelOn(&bus);
    sys.calls.clear();
    sys.transferFailures.assign(100, -ETIMEDOUT);
    testing::internal::CaptureStderr();
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    QTest::qWait(4 * CStatusWatch::kIntervalMs);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(sys.CountCalls("smbus"), 1u);
    EXPECT_EQ(Text(kStatusBox), "--");
    EXPECT_TRUE(Panel().StatusText().startsWith("I2C bus /dev/i2c-7 timed out")) << Panel().StatusText().toStdString();

    // Released, it is read again after the rest.
    sys.transferFailures.clear();
    sys.registers[0x02] = 0x38;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kStatusBox) == "38"; }, CStatusWatch::kStuckBusWaitMs));
    EXPECT_EQ(sys.CountCalls("smbus"), 2u);
}

TEST_F(SessionTest, ReconnectAfterTheAdapterCameBackRestoresTheReadbackWithoutProgramming)
{
    StartPanelOn(&board);
    board.Poke(0x72, 0x00);  // blank now: a reconnect must still not program it
    board.Unplug();
    Click(1020);
    EXPECT_EQ(Text(1053), "--");
    board.PlugIn();
    Click(1020);
    EXPECT_EQ(Text(1053), "--") << "the session from before the unplug is gone";

    ChooseFromWindowMenu("Reconnect Adapter");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_EQ(Panel().VersionText(), "Version: USB RFW:2.5; FFW:1.0");
    EXPECT_EQ(Text(1053), "5A");
    EXPECT_EQ(Text(1059), "54");
    EXPECT_EQ(ListText(1114), List(1114)->itemText(5));
    EXPECT_TRUE(writes.empty());

    // With its key, while the board is away.
    board.Unplug();
    PressKey(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
    EXPECT_EQ(Panel().VersionText(), "Version");
    EXPECT_EQ(Text(1053), "--");
}

}  // namespace
