// The program as a user starts it: command line, debug log, adapter choice
// and the register trace.
#include "EvalApp.h"
#include "QuitOnSignal.h"
#include "zr5130_version.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <initializer_list>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One run of zr5130-eval on the offscreen platform in a fresh folder.
class ProgramRun {
public:
    ProgramRun()
    {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
        m_env.remove("ZR5130_ADAPTER");
        m_env.remove("ZR5130_TRACE");
        // A stand-in for the desktop's viewer that records that it ran.
        WriteFile("bin/xdg-open",
                  "#!/bin/sh\necho \"$@\" > viewer-ran\nls -l /proc/$$/fd > viewer-fds\n");
        QFile::setPermissions(Path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        m_env.insert("PATH", Path("bin") + ":" + m_env.value("PATH"));
    }

    void Set(const QString& name, const QString& value) { m_env.insert(name, value); }

    // As on a machine without X, Wayland or a chosen Qt platform.
    void WithoutDisplay()
    {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
            m_env.remove(name);
    }

    void StartWithStdoutClosed()
    {
        m_process.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& text)
    {
        QDir(m_dir.path()).mkpath(QFileInfo(Path(name)).path());
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray ReadFile(const QString& name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool Exists(const QString& name) const { return QFile::exists(Path(name)); }

    // Runs until the panel is up, then stops it as a terminal's Ctrl+C
    // would. Returns the exit status.
    int RunAndClose(const QStringList& args) { return RunAndSignal(args, {SIGTERM}); }

    // Sends the signals in turn once the panel is up.
    int RunAndSignal(const QStringList& args, std::initializer_list<int> toSend)
    {
        Start(args);
        WaitUntilListeningForSignals();
        for (const int signal : toSend) {
            ::kill(pid_t(m_process.processId()), signal);
            QThread::msleep(50);
        }
        return Finish();
    }

    // For runs that end by themselves (refused settings).
    int RunToEnd(const QStringList& args)
    {
        Start(args);
        return Finish();
    }

    QByteArray Stderr() const { return m_stderr; }
    QByteArray Stdout() const { return m_stdout; }

private:
    void Start(const QStringList& args)
    {
        m_process.setProcessEnvironment(m_env);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.start(QStringLiteral(ZR5130_EXE), args);
        ASSERT_TRUE(m_process.waitForStarted());
    }

    // A run that does not end in time is killed with the process object.
    int Finish()
    {
        EXPECT_TRUE(m_process.waitForFinished(20000)) << "the program did not end";
        m_stderr = m_process.readAllStandardError();
        m_stdout = m_process.readAllStandardOutput();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // The program catches SIGTERM once it has set itself up for it.
    void WaitUntilListeningForSignals()
    {
        const QString status = QStringLiteral("/proc/%1/status").arg(m_process.processId());
        for (int i = 0; i < 400; ++i) {
            QFile file(status);
            if (file.open(QIODevice::ReadOnly))
                for (const QByteArray& line : file.readAll().split('\n'))
                    if (line.startsWith("SigCgt:")
                        && (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1) & 1))
                        return;
            QThread::msleep(10);
        }
        ADD_FAILURE() << "the program never got ready";
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QProcess m_process;
    QByteArray m_stderr;
    QByteArray m_stdout;
};

const char* const kImageHeader =
    "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n";

QByteArray ImageWith72(const char* value)
{
    QByteArray image = kImageHeader;
    for (int row = 0; row < 16; ++row) {
        image += QByteArray::number(row * 16, 16).rightJustified(2, '0') + ":";
        for (int col = 0; col < 16; ++col)
            image += row == 7 && col == 2 ? QByteArray(" ") + value : QByteArray(" 00");
        image += "\n";
    }
    return image;
}

}  // namespace

TEST(DebugLogSwitch, IsAnySlashDInTheCommandLine)
{
    EXPECT_TRUE(CEvalApp::WantsDebugLog("/d"));
    EXPECT_TRUE(CEvalApp::WantsDebugLog("/D"));
    EXPECT_TRUE(CEvalApp::WantsDebugLog("/debug"));
    EXPECT_TRUE(CEvalApp::WantsDebugLog("--file c:/Data/x"));
    EXPECT_FALSE(CEvalApp::WantsDebugLog("-d"));
    EXPECT_FALSE(CEvalApp::WantsDebugLog(""));
    EXPECT_FALSE(CEvalApp::WantsDebugLog("d/"));
}

TEST(Program, SlashDWritesTheCommandLineToTheLogAndOpensTheViewer)
{
    ProgramRun run;
    run.WriteFile("debug.log", "from an earlier run\n");
    EXPECT_EQ(run.RunAndClose({"/d"}), 0);
    EXPECT_EQ(run.ReadFile("debug.log"), "CmdLine: /d\n");
    EXPECT_EQ(run.ReadFile("viewer-ran"), "debug.log\n");

    ProgramRun withMore;
    EXPECT_EQ(withMore.RunAndClose({"x", "/D", "y"}), 0);
    EXPECT_EQ(withMore.ReadFile("debug.log"), "CmdLine: x /D y\n");
}

TEST(Program, WithoutTheSwitchLeavesAnyOldLogAlone)
{
    ProgramRun run;
    run.WriteFile("debug.log", "from an earlier run\n");
    EXPECT_EQ(run.RunAndClose({"-d"}), 0);
    EXPECT_EQ(run.ReadFile("debug.log"), "from an earlier run\n");
    EXPECT_FALSE(run.Exists("viewer-ran"));

    ProgramRun none;
    EXPECT_EQ(none.RunAndClose({}), 0);
    EXPECT_FALSE(none.Exists("debug.log"));
}

TEST(Program, TraceShowsTheStartupOfABlankChip)
{
    ProgramRun run;
    run.Set("ZR5130_TRACE", run.Path("trace.txt"));
    EXPECT_EQ(run.RunAndClose({}), 0);
    EXPECT_TRUE(run.Stderr().contains("simulated board")) << run.Stderr().toStdString();
    const QList<QByteArray> lines = run.ReadFile("trace.txt").trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1 + 18 + 26);
    EXPECT_EQ(lines[0], "R 72 00 ok");
    EXPECT_EQ(lines[1], "W 98 00 ok");
    EXPECT_EQ(lines[18], "W AF 00 ok");
    EXPECT_EQ(lines[19], "R 00 00 ok");
    EXPECT_EQ(lines[21], "R 02 30 ok");
    EXPECT_EQ(lines[44], "R 9E 20 ok");
}

TEST(Program, BoardImageWithBurnMarkIsNotWritten)
{
    ProgramRun run;
    run.WriteFile("board.txt", ImageWith72("80"));
    run.Set("ZR5130_ADAPTER", "sim:" + run.Path("board.txt"));
    run.Set("ZR5130_TRACE", run.Path("trace.txt"));
    EXPECT_EQ(run.RunAndClose({}), 0);
    const QByteArray trace = run.ReadFile("trace.txt");
    EXPECT_TRUE(trace.startsWith("R 72 80 ok\n"));
    EXPECT_FALSE(trace.contains("W ")) << trace.toStdString();
}

TEST(Program, NoAdapterReadsFailEverywhere)
{
    ProgramRun run;
    run.Set("ZR5130_ADAPTER", "none");
    run.Set("ZR5130_TRACE", run.Path("trace.txt"));
    EXPECT_EQ(run.RunAndClose({}), 0);
    const QList<QByteArray> lines = run.ReadFile("trace.txt").trimmed().split('\n');
    ASSERT_EQ(lines.size(), 27);
    EXPECT_EQ(lines[0], "R 72 -- fail");
    for (const QByteArray& line : lines) EXPECT_TRUE(line.endsWith("-- fail")) << line.toStdString();
}

TEST(Program, RefusesUnknownAdaptersAndBadImagesBeforeAnyWindow)
{
    ProgramRun unknown;
    unknown.Set("ZR5130_ADAPTER", "usb");
    EXPECT_EQ(unknown.RunToEnd({}), 2);
    EXPECT_TRUE(unknown.Stderr().contains("unknown adapter 'usb'")) << unknown.Stderr().toStdString();

    ProgramRun badImage;
    QByteArray image = ImageWith72("00");
    image.replace("30: 00", "30: 0G");
    badImage.WriteFile("board.txt", image);
    badImage.Set("ZR5130_ADAPTER", "sim:" + badImage.Path("board.txt"));
    EXPECT_EQ(badImage.RunToEnd({}), 2);
    EXPECT_TRUE(badImage.Stderr().contains("board.txt:5")) << badImage.Stderr().toStdString();

    ProgramRun missing;
    missing.Set("ZR5130_ADAPTER", "sim:" + missing.Path("nowhere.txt"));
    EXPECT_EQ(missing.RunToEnd({}), 2);
    EXPECT_TRUE(missing.Stderr().contains("nowhere.txt")) << missing.Stderr().toStdString();
}

namespace {

// A folder whose entries the program cannot remove: immutable (which holds
// even for root) where the file system allows it, read-only otherwise.
class LockedFolder {
public:
    explicit LockedFolder(const QString& path) : m_path(path.toStdString())
    {
        SetImmutable(true);
        ::chmod(m_path.c_str(), 0555);
        const std::string probe = m_path + "/probe";
        const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        m_locked = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
        }
    }
    ~LockedFolder()
    {
        SetImmutable(false);
        ::chmod(m_path.c_str(), 0700);
    }
    bool IsLocked() const { return m_locked; }

private:
    void SetImmutable(bool on)
    {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) ::close(fd);
    }

    std::string m_path;
    bool m_locked = false;
};

QByteArray FirstLine(const QByteArray& text) { return text.left(text.indexOf('\n')); }

}  // namespace

TEST(Program, HelpAndVersionPrintAndEndWithoutAWindow)
{
    ProgramRun help;
    help.WithoutDisplay();
    EXPECT_EQ(help.RunToEnd({"/d", "--help"}), 0);
    EXPECT_TRUE(help.Stdout().startsWith("Usage: zr5130-eval [/d]\n")) << help.Stdout().toStdString();
    EXPECT_TRUE(help.Stdout().contains("ZR5130_ADAPTER"));
    EXPECT_FALSE(help.Exists("debug.log"));

    ProgramRun version;
    version.WithoutDisplay();
    EXPECT_EQ(version.RunToEnd({"--version"}), 0);
    EXPECT_EQ(version.Stdout(), QByteArray("zr5130-eval ") + kZr5130Version + "\n");
    EXPECT_EQ(version.Stderr(), "");
}

// Every refusal comes before Qt starts: the same message and status with or
// without a display, and at once, whatever the file is.
TEST(Program, BadSettingsAndAMissingDisplayAreToldInOneLineWithStatus2)
{
    ProgramRun noDisplay;
    noDisplay.WithoutDisplay();
    EXPECT_EQ(noDisplay.RunToEnd({}), 2);
    EXPECT_EQ(noDisplay.Stderr().count('\n'), 1) << noDisplay.Stderr().toStdString();
    EXPECT_TRUE(noDisplay.Stderr().startsWith("zr5130-eval: no display found"));
    EXPECT_TRUE(noDisplay.Stderr().contains("xvfb-run -a"));
    EXPECT_TRUE(noDisplay.Stderr().contains("QT_QPA_PLATFORM=vnc"));

    ProgramRun unknown;
    unknown.WithoutDisplay();
    unknown.Set("ZR5130_ADAPTER", "usb");
    EXPECT_EQ(unknown.RunToEnd({}), 2);
    EXPECT_EQ(unknown.Stderr(), "ZR5130_ADAPTER: unknown adapter 'usb' (use sim, sim:FILE, none or "
                                "/dev/i2c-N)\n");

    ProgramRun pipes;
    const QString fifo = pipes.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    pipes.Set("ZR5130_ADAPTER", "sim:" + fifo);
    EXPECT_EQ(pipes.RunToEnd({}), 2);
    EXPECT_EQ(pipes.Stderr(), "ZR5130_ADAPTER=sim:" + fifo.toLocal8Bit() +
                                  ": a named pipe, not a file\n");

    ProgramRun tracePipe;
    const QString traceFifo = tracePipe.Path("fifo");
    ASSERT_EQ(::mkfifo(traceFifo.toLocal8Bit().constData(), 0600), 0);
    tracePipe.Set("ZR5130_TRACE", traceFifo);
    EXPECT_EQ(tracePipe.RunToEnd({}), 2);
    EXPECT_EQ(tracePipe.Stderr(), "ZR5130_TRACE=" + traceFifo.toLocal8Bit() +
                                      ": a named pipe, not a file or a terminal\n");

    ProgramRun huge;
    huge.WriteFile("huge.txt", "");
    ASSERT_EQ(::truncate(huge.Path("huge.txt").toLocal8Bit().constData(), 1L << 30), 0);
    huge.Set("ZR5130_ADAPTER", "sim:" + huge.Path("huge.txt"));
    EXPECT_EQ(huge.RunToEnd({}), 2);
    EXPECT_TRUE(FirstLine(huge.Stderr()).endsWith("huge.txt: too large for a register dump (over "
                                                  "1 MiB; i2cdump's table is about 4.5 KB)"))
        << huge.Stderr().toStdString();
}

TEST(Program, ADumpOfARangeIsABoardWhereOnlyThatRangeAnswers)
{
    ProgramRun run;
    run.WriteFile("board.txt",
                  "No size specified (using byte-data access)\n"
                  "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n"
                  "00: 80 05 30 00 00 00 00                               ?.0....\n");
    run.Set("ZR5130_ADAPTER", "sim:" + run.Path("board.txt"));
    run.Set("ZR5130_TRACE", run.Path("trace.txt"));
    EXPECT_EQ(run.RunAndClose({}), 0);
    const QList<QByteArray> lines = run.ReadFile("trace.txt").trimmed().split('\n');
    ASSERT_EQ(lines.size(), 27);
    EXPECT_EQ(lines[0], "R 72 -- fail");
    for (const QByteArray& line : lines.mid(1)) {
        const int reg = line.mid(2, 2).toInt(nullptr, 16);
        EXPECT_EQ(line.endsWith("ok"), reg <= 0x06) << line.toStdString();
    }
    EXPECT_TRUE(lines.contains("R 00 80 ok"));
}

// A closed terminal, a broken pipe and the viewer started at the end: the
// log and the trace are complete, and the viewer inherits neither the trace
// nor the signal sockets.
TEST(Program, HangUpAndBrokenPipeCloseThePanelLikeExitAndLeakNothingToTheViewer)
{
    ProgramRun run;
    run.Set("ZR5130_TRACE", run.Path("trace.txt"));
    EXPECT_EQ(run.RunAndSignal({"/d"}, {SIGPIPE, SIGHUP}), 0);
    EXPECT_EQ(run.ReadFile("debug.log"), "CmdLine: /d\n");
    EXPECT_EQ(run.ReadFile("trace.txt").count('\n'), 1 + 18 + 26);
    const QByteArray fds = run.ReadFile("viewer-fds");
    ASSERT_FALSE(fds.isEmpty());
    EXPECT_FALSE(fds.contains("trace.txt")) << fds.toStdString();
    EXPECT_FALSE(fds.contains("socket:")) << fds.toStdString();
}

TEST(Program, TraceWriteErrorIsToldOnceAndIsNoSuccess)
{
    ProgramRun run;
    run.Set("ZR5130_TRACE", "/dev/full");
    EXPECT_EQ(run.RunAndClose({}), 1);
    EXPECT_EQ(run.Stderr().count("cannot write"), 1) << run.Stderr().toStdString();
    EXPECT_TRUE(run.Stderr().contains(
        "ZR5130_TRACE=/dev/full: cannot write: No space left on device; the trace stops here\n"));
}

TEST(Program, AnArgumentNamingAFileGetsANote)
{
    ProgramRun run;
    run.WriteFile("board.txt", "");
    const QString board = run.Path("board.txt");
    EXPECT_EQ(run.RunAndClose({board, "/dev/null", "other"}), 0);
    EXPECT_TRUE(run.Stderr().contains(
        "zr5130-eval: note: the panel opens no file named on its command line, not '" +
        board.toLocal8Bit() + "'; it takes its adapter from ZR5130_ADAPTER (ZR5130_ADAPTER=sim:" +
        board.toLocal8Bit() + " for a register dump)\n"))
        << run.Stderr().toStdString();
    EXPECT_TRUE(run.Stderr().contains(
        "zr5130-eval: note: the panel opens no file named on its command line, not '/dev/null'; "
        "it takes its adapter from ZR5130_ADAPTER (ZR5130_ADAPTER=/dev/null); the \"/d\" in it "
        "switched the debug log on\n"))
        << run.Stderr().toStdString();
    EXPECT_FALSE(run.Stderr().contains("'other'"));
    EXPECT_EQ(run.ReadFile("debug.log"), "CmdLine: " + board.toLocal8Bit() + " /dev/null other\n");
}

TEST(Program, DebugLogFollowsNoPlantedLinkAndTakesOnlyStandardOutput)
{
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim.txt");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious\n");
    }
    ProgramRun planted;
    ASSERT_TRUE(QFile::link(victim, planted.Path("debug.log")));
    {
        const LockedFolder locked(planted.Path(""));
        if (!locked.IsLocked()) GTEST_SKIP() << "this file system cannot lock a folder";
        EXPECT_EQ(planted.RunAndClose({"/d"}), 0);
    }
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "precious\n");
    EXPECT_TRUE(planted.Stderr().contains(
        "zr5130-eval: debug.log: a symbolic link, not a file; the panel runs without its debug "
        "log\n"))
        << planted.Stderr().toStdString();

    ProgramRun closedStdout;
    closedStdout.StartWithStdoutClosed();
    EXPECT_EQ(closedStdout.RunAndClose({"/d"}), 0);
    EXPECT_EQ(closedStdout.ReadFile("debug.log"), "CmdLine: /d\n");
}

// Signals arriving while no event loop runs: the handler must neither block
// once the socket is full nor leave errno changed for the code it
// interrupted. A watchdog ends a child that blocks.
TEST(QuitOnSignal, ABurstOfSignalsNeitherBlocksNorChangesErrno)
{
    EXPECT_EXIT(
        {
            ::alarm(10);
            const int fd = QuitOnSignal::InstallRelay();
            if (fd < 0) std::_Exit(3);
            for (int i = 0; i < 5000; ++i) {
                errno = E2BIG;
                std::raise(i % 2 ? SIGTERM : SIGHUP);
                if (errno != E2BIG) std::_Exit(4);
            }
            char byte = 0;
            std::_Exit(::read(fd, &byte, 1) == 1 && byte == 1 ? 0 : 5);
        },
        testing::ExitedWithCode(0), "");
}
