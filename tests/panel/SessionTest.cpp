// The window menu's session entries, used as on a bench: save the board,
// compare it with a dump, watch its status, reconnect after an unplug.
#include "ControlIds.h"
#include "CtlRun.h"
#include "PanelHarness.h"

#include "AdapterSelect.h"
#include "AdapterMemory.h"
#include "DeviceLink.h"
#include "StartChoice.h"
#include "BoxMarks.h"
#include "FakeI2cDevSys.h"
#include "FakeSysfs.h"
#include "NonFiles.h"
#include "LinuxI2cAdapter.h"
#include "RegisterMap.h"
#include "SessionMenu.h"
#include "SettingsFile.h"
#include "SimBoard.h"
#include "Trace.h"
#include "Watch.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>

#include <linux/capability.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const int kRead = CStatusWatch::kIntervalMs;
// Of a file dialog's detail view: Name, Size, Type, Date Modified.
constexpr int kTypeColumn = 2;

// Runs answer on the next modal dialog of type Dialog, once it is up.
template <class Dialog, class Answer>
void WhenOpen(QObject* owner, Answer answer)
{
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        answer(dialog);
    });
    poll->start(10);
}

class SessionTest : public PanelTest {
protected:
    SessionTest()
    {
        // A configured board with values of its own; 0x98 does not answer.
        for (const auto& [reg, value] :
             {std::pair<int, std::optional<uint8_t>>{0x72, 0x80}, {0x02, 0x31}, {0xA0, 0x5A},
              {0xA5, 0x54}, {0x98, std::nullopt}})
            board.Poke(uint8_t(reg), value);
        board.faultInjector = [this](bool isWrite, uint8_t reg) {
            (isWrite ? writes : reads).push_back(reg);
            // The bus stays busy; Watch Status reads on a thread of its own.
            std::this_thread::sleep_for(std::chrono::milliseconds(slowMs.load()));
            return isWrite ? failWrites.load() : failReads.load();
        };
    }

    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        Panel().activateWindow();  // back from any dialog before
        QCoreApplication::processEvents();
        QTest::keyClick(Panel().focusWidget(), key, modifiers);
    }

    // Alt+Space and a click on the entry. With file, the file dialog it opens
    // is answered: the user goes to the test's folder, types file and clicks
    // Save or Open; "" is Escape.
    void Choose(const QString& entry, std::optional<QString> file = std::nullopt)
    {
        if (file)
            WhenOpen<QFileDialog>(&Panel(), [this, name = *file](QFileDialog* dialog) {
                if (name.isEmpty()) return QTest::keyClick(dialog, Qt::Key_Escape);
                dialog->setDirectory(dir.path());
                QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), name);
                // The name's completion list, once the folder is listed, would take the click.
                if (QWidget* completions = QApplication::activePopupWidget()) completions->hide();
                auto* buttons = dialog->findChild<QDialogButtonBox*>();
                QPushButton* accept = buttons->button(QDialogButtonBox::Open);
                QTest::mouseClick(accept ? accept : buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
                QTimer::singleShot(5000, dialog, [dialog] {
                    if (!dialog->isVisible()) return;
                    ADD_FAILURE() << "the file dialog did not take the answer";
                    dialog->reject();
                });
            });
        PressKey(Qt::Key_Space, Qt::AltModifier);
        QMenu* menu = Panel().SystemMenu();
        for (QAction* action : menu->actions())
            if (action->text() == entry)
                return QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        FAIL() << "no entry " << entry.toStdString();
    }

    // Opens the window menu's Adapter list by keys, as a user does.
    QMenu* OpenAdapterList()
    {
        PressKey(Qt::Key_Space, Qt::AltModifier);
        QMenu* list = AdapterMenu();
        Panel().SystemMenu()->setActiveAction(list->menuAction());
        QTest::keyClick(Panel().SystemMenu(), Qt::Key_Right);
        EXPECT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 1000));
        return list;
    }
    // Its entries, "*" before the checked one.
    QStringList AdapterList()
    {
        QMenu* list = OpenAdapterList();
        QStringList entries;
        for (QAction* entry : list->actions()) entries << (entry->isChecked() ? "*" : "") + entry->text();
        list->close();
        Panel().SystemMenu()->close();
        return entries;
    }
    void ChooseAdapterEntry(const QString& entry)
    {
        QMenu* list = OpenAdapterList();
        for (QAction* action : list->actions())
            if (action->text() == entry)
                return QTest::mouseClick(list, Qt::LeftButton, {}, list->actionGeometry(action).center());
        FAIL() << "no adapter " << entry.toStdString();
    }
    QMenu* AdapterMenu()
    {
        for (QAction* action : Panel().SystemMenu()->actions())
            if (action->menu()) return action->menu();
        return nullptr;
    }
    // Starts the panel again as the program starts, with ZR5130_ADAPTER set
    // to environment (nullptr: unset).
    void StartProgram(const char* environment, const AdapterOptions& options)
    {
        TearDown();
        StartChoice start = ChooseStartAdapter(environment, options);
        ASSERT_EQ(start.choice.error, "");
        started = std::move(start.choice.adapter);
        adapterStart = start.start;
        StartPanelOn(started.get());
    }

    QAction* RecordEntry()
    {
        for (QAction* action : Panel().SystemMenu()->actions())
            if (action->data() == CSessionMenu::kIdmRecordSession) return action;
        return nullptr;
    }
    QString Mark(uint8_t reg) { return BoxMark(Panel().RegisterBox(reg)); }
    // The tooltip that the mouse resting on reg's box brings up.
    std::string Tip(uint8_t reg)
    {
        QWidget* box = Panel().RegisterBox(reg);
        QHelpEvent rest(QEvent::ToolTip, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(box, &rest);
        QToolTip::hideText();
        return box->toolTip().toStdString();
    }
    std::string Status() { return Panel().StatusText().toStdString(); }
    // The reads so far, or none from now on, while nobody is on the bus:
    // Watch Status's reader records its own.
    std::vector<uint8_t> ReadsSoFar()
    {
        const std::lock_guard hold(LinkChip().BusLock());
        return reads;
    }
    void ForgetReads()
    {
        const std::lock_guard hold(LinkChip().BusLock());
        reads.clear();
    }

    SimBoard board;
    std::vector<uint8_t> reads, writes;
    // Read by the injector on whichever thread makes the access.
    std::atomic<bool> failReads = false;
    std::atomic<bool> failWrites = false;
    std::atomic<int> slowMs = 0;
    QTemporaryDir dir;
    FakeI2cDevSys bus;  // a Linux bus, for the adapter the program started on
    std::unique_ptr<TvxAdapter> started;
};

TEST_F(SessionTest, EntriesFollowAboutWithKeysAndCauseNoTrafficUntilUsed)
{
    StartPanelOn(&board);
    const QList<QAction*> menu = Panel().SystemMenu()->actions();
    ASSERT_EQ(menu.size(), 12);
    QStringList shown;
    for (QAction* entry : menu.mid(3)) shown << entry->text() + " " + entry->shortcut().toString();
    EXPECT_EQ(shown.join(", "), " , Save Registers... Ctrl+S, Compare with File... Ctrl+D, "
                                "Watch Status Ctrl+T, Reconnect Adapter Ctrl+R, Adapter , "
                                "Record Session... Ctrl+E, Registers... Ctrl+G, Timeline... Ctrl+L");
    EXPECT_TRUE(menu[6]->isCheckable() && !menu[6]->isChecked());
    reads.clear();
    Choose("Save Registers...", "");  // cancelled dialogs change nothing
    Choose("Compare with File...", "");
    QTest::qWait(3 * kRead);
    EXPECT_TRUE(reads.empty() && writes.empty());
    EXPECT_EQ(Status(), "Initialization Complete; 1 of 26 registers did not answer (first: 98)");
}

TEST_F(SessionTest, SavedRegistersLoadBackAsTheSameBoardAndAFailedSaveSaysWhy)
{
    StartPanelOn(&board);
    board.Poke(0xA0, 0x77);
    Choose("Save Registers...", "board.txt");
    EXPECT_EQ(Status(), "Registers saved to board.txt");
    EXPECT_EQ(Text(idc::kRegA0), "77") << "read as Readback All does";
    const auto copy = ChooseAdapter(("sim:" + dir.filePath("board.txt")).toUtf8()).adapter;
    for (int reg = 0; reg < 256; ++reg) {
        const bool inGrid = std::ranges::count(chip::ReadbackRegisters(), reg) != 0;
        EXPECT_EQ(static_cast<SimBoard&>(*copy).Peek(uint8_t(reg)),
                  inGrid ? board.Peek(uint8_t(reg)) : std::nullopt) << reg;
    }
    testing::internal::CaptureStderr();
    Choose("Save Registers...", "gone/board.txt");
    EXPECT_TRUE(Panel().StatusText().startsWith("Save failed: board.txt: ")) << Status();
    EXPECT_TRUE(QString::fromStdString(testing::internal::GetCapturedStderr())
                    .contains("cannot save the registers to " + dir.filePath("gone/board.txt")));
    EXPECT_TRUE(writes.empty());

    // A device under the name (through a link, as the save looks) is
    // refused, never replaced by the file.
    const TestTerminal terminal;
    const std::string node = dir.filePath("node.txt").toStdString();
    ASSERT_NE(PlantNonFile(NonFile::SymbolicLink, node, terminal.Path()), "");
    WhenOpen<QMessageBox>(&Panel(), [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    Choose("Save Registers...", "node.txt");
    EXPECT_EQ(Status(), "Save failed: node.txt: a character device, not a file");
    EXPECT_TRUE(std::filesystem::is_symlink(node));
    EXPECT_EQ(std::filesystem::read_symlink(node), terminal.Path());
}

TEST_F(SessionTest, CompareMarksExactlyTheRegistersThatDifferAndTellsHow)
{
    StartPanelOn(&board);
    RegisterImage file;
    for (const uint8_t reg : chip::ReadbackRegisters()) file.values[reg] = board.Peek(reg);
    for (const auto& [reg, value] : {std::pair{0xA5, 0x43}, {0x02, 0x39}, {0x98, 0x00}})
        file.values[reg] = value;
    std::ofstream(dir.filePath("golden.txt").toStdString()) << FormatRegisterImage(file);
    Choose("Compare with File...", "golden.txt");
    EXPECT_EQ(Status(), "3 registers differ from golden.txt");
    for (const uint8_t reg : chip::ReadbackRegisters())
        EXPECT_EQ(Mark(reg), reg == 0xA5 || reg == 0x02 || reg == 0x98 ? "differs" : "") << int(reg);
    EXPECT_EQ(Panel().RegisterBox(0xA5)->palette().color(QPalette::Base), kDiffersColour);
    const std::string tip = Tip(0xA5);
    EXPECT_EQ(tip.substr(tip.find("\ngolden.txt")),
              "\ngolden.txt: 43\nPhase Shift Mode: 3 PH 6 DR here, 2 PH 2 DR in the file"
              "\nPWM Frequency: 9616 Hz here, 8414 Hz in the file") << tip;

    // A dump that cannot be read changes nothing on the panel.
    std::ofstream(dir.filePath("bad.txt").toStdString()) << "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n00: 0z\n";
    reads.clear();
    Choose("Compare with File...", "bad.txt");
    EXPECT_EQ(Panel().StatusText(), "Compare failed: " + dir.filePath("bad.txt") + ":2: register 0x00: '0z' is not a byte");
    EXPECT_TRUE(reads.empty() && Mark(0xA5) == "differs");

    ReadbackAll();  // takes the marks and their tooltip lines away
    for (const uint8_t reg : chip::ReadbackRegisters()) EXPECT_EQ(Mark(reg), "") << int(reg);
    EXPECT_EQ(Tip(0xA5).find("golden.txt"), std::string::npos);
    EXPECT_EQ(Panel().RegisterBox(0xA5)->palette(), Panel().RegisterBox(0xA0)->palette());
    EXPECT_TRUE(writes.empty());
}

TEST_F(SessionTest, WatchShowsAndMarksTheFlagTheBoardRaisesAndOnlyReads)
{
    board.SetStatusSequence({0x30, 0x30, 0x38, 0x38, 0x30});  // the first for the start-up
    StartPanelOn(&board);
    reads.clear();
    Choose("Watch Status");
    const QRegularExpression at(QStringLiteral("^Over Voltage (set|cleared) at \\d\\d:\\d\\d:\\d\\d$"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(idc::kReg02) == "38"; }, 6 * kRead));
    EXPECT_TRUE(Ticked(idc::kOverVoltage));
    EXPECT_EQ(BoxMark(Control(idc::kOverVoltage)), "turned-on");
    EXPECT_EQ(BoxMark(Control(idc::kVrefOk)), "") << "VRef OK was on before";
    EXPECT_EQ(at.match(Panel().StatusText()).captured(1), "set") << Status();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(idc::kReg02) == "30"; }, 6 * kRead));
    EXPECT_EQ(BoxMark(Control(idc::kOverVoltage)), "");
    EXPECT_EQ(at.match(Panel().StatusText()).captured(1), "cleared") << Status();
    failReads = true;  // a failed read shows "--", and the watch goes on
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(idc::kReg02) == "--"; }, 3 * kRead));
    failReads = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(idc::kReg02) != "--"; }, 3 * kRead));

    WhenOpen<QDialog>(&Panel(), [&](QDialog* about) {  // an action waiting for the user pauses it
        ForgetReads();
        QTest::qWait(3 * kRead);
        EXPECT_TRUE(ReadsSoFar().empty());
        about->reject();
    });
    Panel().OnSysCommand(CEvalDlg::kIdmAboutBox);
    const std::vector<uint8_t> watched = ReadsSoFar();
    EXPECT_EQ(std::ranges::count(watched, 0x02), std::ssize(watched));
    EXPECT_TRUE(writes.empty());

    // A slow bus rests between reads as a fast one does: never two in flight.
    slowMs = 3 * kRead / 2;
    QElapsedTimer clock;
    clock.start();
    ForgetReads();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadsSoFar().size() == 3; }, 20 * kRead));
    EXPECT_GE(clock.elapsed(), 2 * (slowMs + kRead) - 50);
    slowMs = 0;

    PressKey(Qt::Key_T, Qt::ControlModifier);  // off by its key; closing stops it too
    EXPECT_FALSE(Panel().SystemMenu()->actions()[6]->isChecked());
    Choose("Watch Status");
    Panel().close();
    reads.clear();
    QTest::qWait(3 * kRead);
    EXPECT_TRUE(reads.empty());
}

TEST_F(SessionTest, WatchTriesAStuckBusEveryFiveSeconds)
{
    FakeI2cDevSys sys;  // every transfer times out
    LinuxI2cAdapter bus("/dev/i2c-7", sys);
    StartPanelOn(&bus);
    sys.transferFailures.assign(100, -ETIMEDOUT);
    sys.calls.clear();
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    QTest::qWait(4 * kRead);
    EXPECT_EQ(sys.CountCalls("smbus"), 1u);
    EXPECT_TRUE(Panel().StatusText().startsWith("I2C bus /dev/i2c-7 timed out")) << Status();
    {
        const std::lock_guard hold(LinkChip().BusLock());  // the watch's reader is off the bus
        sys.transferFailures.clear();
        sys.registers[0x02] = 0x38;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(idc::kReg02) == "38"; }, CStatusWatch::kStuckBusWaitMs));
}

TEST_F(SessionTest, ReconnectAfterTheAdapterCameBackRestoresTheReadbackWithoutProgramming)
{
    StartPanelOn(&board);
    board.Poke(0x72, 0x00);  // blank now: a reconnect still writes nothing
    board.Unplug();
    board.PlugIn();
    ReadbackAll();
    EXPECT_EQ(Text(idc::kRegA0), "--") << "the session from before the unplug is gone";
    Choose("Reconnect Adapter");
    EXPECT_EQ(Status(), "Initialization Complete; 1 of 26 registers did not answer (first: 98)");
    EXPECT_EQ(Panel().VersionText(), "Version: USB RFW:2.5; FFW:1.0");
    EXPECT_EQ(Text(idc::kRegA0), "5A");
    EXPECT_EQ(SelectedEntry(idc::kPhaseShift), 5);
    EXPECT_TRUE(writes.empty());
    board.Unplug();  // by its key, while the board is away
    PressKey(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Status(), "USB Initialization Error");
    EXPECT_EQ(Panel().VersionText(), "Version");
    EXPECT_EQ(Text(idc::kRegA0), "--");
}

// A bench PC with its own SMBus and a USB bridge whose board is configured.
TEST_F(SessionTest, AdapterListOpensOnlyTheBusChosenAndTheNextStartUsesIt)
{
    const FakeSysfs sysfs(dir.filePath("sysfs").toStdString());
    sysfs.AddBus(0, "SMBus I801 adapter at efa0", FakeSysfs::kPciParent);
    sysfs.AddBus(7, "CP2112 SMBus Bridge on hidraw0", FakeSysfs::kUsbParent);
    bus.registers[0x72] = 0x80;
    bus.registers[0xA0] = 0x5A;
    AdapterOptions options;
    options.sysClassDir = sysfs.SysClassDir();
    options.systemCalls = [&] { return std::make_unique<SharedI2cDevSys>(bus); };
    QFile::remove(QString::fromStdString(UserSettingsLocation().path));

    StartProgram(nullptr, options);  // the first start only names the bridge
    EXPECT_EQ(Status(), "Found CP2112 SMBus Bridge on hidraw0 (/dev/i2c-7): choose it under Adapter in the window menu");
    EXPECT_TRUE(bus.calls.empty());
    EXPECT_EQ(AdapterList().join(", "), "*Simulated Board, /dev/i2c-7: CP2112 SMBus Bridge on hidraw0, "
                                        "/dev/i2c-0: SMBus I801 adapter at efa0, Register Dump File..., No Adapter");

    bus.openResult = -EACCES;  // a failed open keeps the simulated board
    const QString simA0 = Text(idc::kRegA0);
    ChooseAdapterEntry("/dev/i2c-7: CP2112 SMBus Bridge on hidraw0");
    EXPECT_EQ(Status(), "Cannot open /dev/i2c-7: Permission denied; add yourself to the i2c group (or a "
                        "udev rule); still on Simulated Board");
    ReadbackAll();
    EXPECT_EQ(Text(idc::kRegA0), simA0);
    EXPECT_EQ(RecallAdapter(options).setting, "");

    bus.openResult = 5;
    ChooseAdapterEntry("/dev/i2c-7: CP2112 SMBus Bridge on hidraw0");
    EXPECT_EQ(Status(), "Initialization Complete");
    EXPECT_EQ(Text(idc::kRegA0), "5A");
    EXPECT_TRUE(AdapterList().contains("*/dev/i2c-7: CP2112 SMBus Bridge on hidraw0"));
    EXPECT_EQ(RecallAdapter(options).setting, "i2c:CP2112 SMBus Bridge") << "without the part a replug changes";

    bus.registers[0xA0] = 0x66;
    StartProgram(nullptr, options);
    EXPECT_EQ(Text(idc::kRegA0), "66");
    EXPECT_EQ(Status(), "Initialization Complete");
    StartProgram("sim", options);  // for this start only
    EXPECT_NE(dynamic_cast<SimBoard*>(started.get()), nullptr);
    EXPECT_EQ(RecallAdapter(options).setting, "i2c:CP2112 SMBus Bridge");

    std::filesystem::remove(sysfs.SysClassDir() + "/i2c-7");  // unplugged: the simulated board, and the reason
    StartProgram(nullptr, options);
    EXPECT_NE(dynamic_cast<SimBoard*>(started.get()), nullptr);
    EXPECT_EQ(Status(), "Remembered adapter 'i2c:CP2112 SMBus Bridge' not used: no I2C bus named like 'CP2112 "
                        "SMBus Bridge'; buses found: /dev/i2c-0: SMBus I801 adapter at efa0; on the "
                        "simulated board until you choose one under Adapter in the window menu");
    sysfs.AddBus(9, "CP2112 SMBus Bridge on hidraw3", FakeSysfs::kUsbParent + std::string("2"));
    StartProgram(nullptr, options);
    EXPECT_EQ(Text(idc::kRegA0), "66") << "found again under its new number";
    EXPECT_EQ(bus.CountCalls("open /dev/i2c-0"), 0u);
    EXPECT_EQ(bus.CountCalls("smbus 5 write"), 0u);
}

TEST_F(SessionTest, RecordedSessionHoldsTheWritesUntilStoppedBesideTheTrace)
{
    StartPanelOn(&board);
    std::string error;
    ASSERT_TRUE(TraceOpen(dir.filePath("trace.txt").toStdString(), error)) << error;
    Choose("Record Session...", "session.txt");
    EXPECT_EQ(Status(), "Recording to session.txt");
    EXPECT_TRUE(RecordEntry()->isChecked());
    WriteByHand("A7", "1F");
    Choose("Record Session...");
    EXPECT_EQ(Status(), "Recorded 1 register write to session.txt");
    WriteByHand("A7", "20");
    TraceClose();
    const auto read = [&](const char* name) { std::ifstream in(dir.filePath(name).toStdString()); return std::string(std::istreambuf_iterator<char>(in), {}); };
    const std::string session = read("session.txt");
    EXPECT_NE(session.find("W A7 1F ok\n"), std::string::npos) << session;
    EXPECT_EQ(session.find("W A7 20"), std::string::npos) << session;
    EXPECT_EQ(read("trace.txt").find(session), 0u) << "the same lines in both files";

    Choose("Record Session...", "gone/session.txt");
    EXPECT_TRUE(Panel().StatusText().startsWith("Recording failed: " + dir.filePath("gone/session.txt") + ": ")) << Status();
    // A write that fails stops the recording.
    ASSERT_TRUE(QFile::link("/dev/full", dir.filePath("full.txt")));
    Choose("Record Session...", "full");  // .txt added to a name without one
    EXPECT_EQ(Status(), "Recording to full.txt");
    WriteByHand("A7", "21");
    QTest::qWait(0);
    EXPECT_EQ(Panel().StatusText(), "Recording stopped: " + dir.filePath("full.txt") + ": cannot write: No space left on device");
    EXPECT_FALSE(RecordEntry()->isChecked());
    EXPECT_EQ(board.Peek(0xA7), 0x21) << "nothing else changes";
}

std::string ReadAll(const QString& path)
{
    std::ifstream in(path.toStdString());
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Root writes into a read-only folder all the same: for its lifetime the
// test's thread does without that power, as a user's panel would.
class WithoutRootOverride {
public:
    WithoutRootOverride()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0) return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        ::syscall(SYS_capset, &m_header, lowered);
    }
    ~WithoutRootOverride() { ::syscall(SYS_capset, &m_header, m_saved); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};

// A bench PC with two identical bridges; the first is chosen. A replug
// gives the PC's own SMBus its number: neither a Reconnect nor the next
// start touches any bus, and both say why.
TEST_F(SessionTest, ABridgeKeptByItsNodeIsNeverTakenForTheBusThatGetsItsNumber)
{
    const FakeSysfs sysfs(dir.filePath("sysfs").toStdString());
    const auto plug = [&](std::initializer_list<std::pair<int, const char*>> buses) {
        for (const auto& entry : std::filesystem::directory_iterator(sysfs.SysClassDir()))
            std::filesystem::remove(entry.path());
        for (const auto& [number, name] : buses)
            sysfs.AddBus(number, name, std::string(name).starts_with("SMBus") ? FakeSysfs::kPciParent
                                                      : FakeSysfs::kUsbParent + std::to_string(number));
    };
    plug({{0, "SMBus I801 adapter at efa0"}, {7, "CP2112 SMBus Bridge on hidraw0"},
          {8, "CP2112 SMBus Bridge on hidraw1"}});
    bus.registers[0x72] = 0x00;  // a blank chip: any start on it would write the start-up table
    AdapterOptions options;
    options.sysClassDir = sysfs.SysClassDir();
    options.systemCalls = [&] { return std::make_unique<SharedI2cDevSys>(bus); };
    QFile::remove(QString::fromStdString(UserSettingsLocation().path));

    StartProgram(nullptr, options);
    ChooseAdapterEntry("/dev/i2c-7: CP2112 SMBus Bridge on hidraw0");
    EXPECT_EQ(Status(), "Initialization Complete");
    EXPECT_EQ(RecallAdapter(options).setting, "/dev/i2c-7");
    StartProgram(nullptr, options);
    EXPECT_NE(dynamic_cast<LinuxI2cAdapter*>(started.get()), nullptr) << "the next start is on the bridge";

    plug({{7, "SMBus I801 adapter at efa0"}, {8, "CP2112 SMBus Bridge on hidraw2"},
          {9, "CP2112 SMBus Bridge on hidraw3"}});
    bus.calls.clear();
    PressKey(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Status(), "/dev/i2c-7 is now 'SMBus I801 adapter at efa0', not the 'CP2112 SMBus Bridge on "
                        "hidraw0' chosen: not opened; choose the adapter again under Adapter");
    StartProgram(nullptr, options);
    EXPECT_NE(dynamic_cast<SimBoard*>(started.get()), nullptr);
    EXPECT_EQ(Status(), "Remembered adapter '/dev/i2c-7' not used: /dev/i2c-7 is now 'SMBus I801 adapter at "
                        "efa0', not 'CP2112 SMBus Bridge on hidraw0'; on the simulated board until you "
                        "choose one under Adapter in the window menu");
    EXPECT_EQ(bus.CountCalls("open"), 0u);
    EXPECT_EQ(bus.CountCalls("smbus"), 0u);
}

// A link in the settings file's place is never written through, a folder
// the user cannot write keeps nothing: each told once, however often the
// user chooses.
TEST_F(SessionTest, ASettingsFileThatCannotBeUsedIsToldOnceAndNeverWrittenThrough)
{
    const std::filesystem::path settings = UserSettingsLocation().path;
    const std::filesystem::path notes = dir.filePath("notes.txt").toStdString();
    std::filesystem::create_directories(settings.parent_path());
    std::filesystem::remove(settings);
    std::ofstream(notes) << "my notes\n";
    std::filesystem::create_symlink(notes, settings);

    StartProgram(nullptr, {});
    const std::string linkProblem = "settings file '" + settings.string() +
                                    "': a symbolic link, not a file; the adapter choice is not remembered";
    EXPECT_EQ(Status(), "S" + linkProblem.substr(1) + "; on the simulated board until you choose one under "
                                                      "Adapter in the window menu");
    testing::internal::CaptureStderr();
    ChooseAdapterEntry("No Adapter");
    ChooseAdapterEntry("Simulated Board");
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("settings file"), std::string::npos)
        << "told at the start already";
    EXPECT_TRUE(std::filesystem::is_symlink(settings));
    EXPECT_EQ(ReadAll(QString::fromStdString(notes.string())), "my notes\n");

    std::filesystem::remove(settings);
    std::filesystem::permissions(settings.parent_path(), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_exec);
    {
        const WithoutRootOverride asAUser;
        testing::internal::CaptureStderr();
        ChooseAdapterEntry("No Adapter");
        ChooseAdapterEntry("Simulated Board");
        const QString told = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(told.count(QString::fromStdString("zr5130-eval: settings file '" + settings.string() +
                                                    "': cannot write: Permission denied; the adapter "
                                                    "choice is not remembered\n")),
                  1) << told.toStdString();
    }
    std::filesystem::permissions(settings.parent_path(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(std::filesystem::exists(settings));
}

// Another program's key and section in the settings file, and a note by
// hand, stay where they were when the panel keeps the adapter chosen.
TEST_F(SessionTest, ChoosingAnAdapterKeepsWhatElseTheSettingsFileHolds)
{
    const std::filesystem::path settings = UserSettingsLocation().path;
    std::filesystem::create_directories(settings.parent_path());
    const auto holding = [](const std::string& adapter) {
        return "; the bench PC's\n[General]\nadapter=" + adapter +
               "\nwindowState=maximized\n\n[Recent]\nfiles=a.txt, b.txt\n";
    };
    std::ofstream(settings) << holding("sim");
    StartProgram(nullptr, {});
    ChooseAdapterEntry("No Adapter");
    EXPECT_EQ(ReadAll(QString::fromStdString(settings.string())), holding("none"));
    ChooseAdapterEntry("Simulated Board");
    EXPECT_EQ(ReadAll(QString::fromStdString(settings.string())), holding("sim"));
}

// Ctrl+S on the terminal recorded to: the next line would wait for Ctrl+Q.
TEST_F(SessionTest, ARecordingToAStoppedTerminalStopsAtOnceAndThePanelGoesOn)
{
    StartPanelOn(&board);
    const TestTerminal terminal;
    ASSERT_NE(PlantNonFile(NonFile::SymbolicLink, dir.filePath("tty.txt").toStdString(), terminal.Path()), "");
    ASSERT_TRUE(terminal.StopOutput());

    Choose("Record Session...", "tty.txt");
    EXPECT_EQ(Status(), "Recording to tty.txt");
    EXPECT_TRUE(RecordEntry()->isChecked());
    QElapsedTimer clock;
    clock.start();
    WriteByHand("A7", "1F");
    QTest::qWait(0);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(Panel().StatusText(), "Recording stopped: " + dir.filePath("tty.txt") + " would block");
    EXPECT_FALSE(RecordEntry()->isChecked());
    EXPECT_EQ(board.Peek(0xA7), 0x1F);
    WriteByHand("A7", "20");
    EXPECT_EQ(board.Peek(0xA7), 0x20) << "the panel goes on without the recording";
}

// The count leaves out the writes the chip refused; a disk that fills up
// leaves whole lines only, which zr5130ctl replays.
TEST_F(SessionTest, ARecordingCountsOnlyTakenWritesAndAFullDiskLeavesWholeLinesThatReplay)
{
    StartPanelOn(&board);
    Choose("Record Session...", "session.txt");
    WriteByHand("A7", "1F");
    failWrites = true;
    WriteByHand("A7", "20");
    WriteByHand("A5", "14");
    failWrites = false;
    Choose("Record Session...");
    EXPECT_EQ(Status(), "Recorded 1 register write to session.txt (2 failed writes not recorded as done)");

    Choose("Record Session...", "session.txt");  // goes on at its end
    const QString path = dir.filePath("session.txt");
    const std::string before = ReadAll(path);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit full{before.size() + 4, saved.rlim_max};  // room for 4 bytes of the next line
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &full);
    WriteByHand("A7", "21");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QTest::qWait(0);
    EXPECT_EQ(Panel().StatusText(), "Recording stopped: " + path + ": cannot write: File too large");
    EXPECT_EQ(ReadAll(path), before) << "the 4 bytes that got out are taken back";
    EXPECT_TRUE(before.ends_with("\n"));

    CtlRun ctl;
    ASSERT_EQ(ctl.Run({"replay", "--dry-run", path.toStdString()}), 0) << ctl.err;
    EXPECT_EQ(ctl.out, "W A7 1F\n");
}

// A folder with a FIFO nobody writes to and a file whose name tells no type:
// the file dialogs list both without opening either (a read of a FIFO, a
// device or a /proc file can wait for good). Save suggests a dated name and
// adds .txt to a name without an extension.
TEST_F(SessionTest, FileDialogsListAFolderWithoutOpeningItsFiles)
{
    StartPanelOn(&board);
    const QString folder = dir.filePath("bench");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_NE(PlantNonFile(NonFile::NamedPipe, (folder + "/fifo").toStdString()), "");
    std::ofstream(QFile::encodeName(folder + "/notes").toStdString()) << "no dump\n";
    const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(opens, 0);
    ASSERT_GE(::inotify_add_watch(opens, QFile::encodeName(folder), IN_OPEN | IN_ACCESS), 0);

    QString suggested;
    const auto listAndCancel = [&](QFileDialog* dialog) {
        suggested = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        dialog->setViewMode(QFileDialog::Detail);  // icons and types
        dialog->selectNameFilter("All files (*)");
        dialog->setFilter(dialog->filter() | QDir::System);  // the FIFO listed too
        dialog->setDirectory(folder);
        auto* view = dialog->findChild<QAbstractItemView*>("treeView");
        // Listed, and each file's details (its type) looked up in the background.
        const auto looked = [&] {
            const QModelIndex folderIndex = view->rootIndex();
            const int rows = view->model()->rowCount(folderIndex);
            for (int row = 0; row < rows; ++row)
                if (view->model()->index(row, kTypeColumn, folderIndex).data().toString().isEmpty()) return false;
            return rows == 2;
        };
        EXPECT_TRUE(QTest::qWaitFor(looked, 3000));
        view->viewport()->repaint();  // every name, icon and type drawn
        QTest::keyClick(dialog, Qt::Key_Escape);
    };
    WhenOpen<QFileDialog>(&Panel(), listAndCancel);
    Choose("Save Registers...");
    EXPECT_TRUE(QRegularExpression("^zr5130-\\d{8}-\\d{6}\\.txt$").match(suggested).hasMatch())
        << suggested.toStdString();
    WhenOpen<QFileDialog>(&Panel(), listAndCancel);
    ChooseAdapterEntry("Register Dump File...");
    EXPECT_EQ(suggested, "") << "opening a file suggests none";

    // Events on the folder itself carry no name; those on a file in it do.
    alignas(inotify_event) char events[8192];
    QStringList opened;
    const ssize_t n = ::read(opens, events, sizeof events);
    for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(events + at);
        if (e->len > 0) opened << e->name;
        at += ssize_t(sizeof(inotify_event) + e->len);
    }
    ::close(opens);
    EXPECT_EQ(opened.join(", "), "");

    Choose("Save Registers...", "board");
    EXPECT_EQ(Status(), "Registers saved to board.txt");
}

}  // namespace
