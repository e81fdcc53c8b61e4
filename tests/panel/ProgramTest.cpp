// The program as a user starts it: command line, debug log, adapter choice
// and the register trace.
#include "EvalApp.h"
#include "QuitOnSignal.h"
#include "NonFiles.h"
#include "zr5130_version.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <functional>


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
        m_env.insert("XDG_CONFIG_HOME", Path("config"));  // nothing remembered from other runs
        // A stand-in for the desktop's viewer that records that it ran.
        WriteFile("bin/xdg-open",
                  "#!/bin/sh\necho \"$@\" > viewer-ran\nls -l /proc/$$/fd > viewer-fds\n");
        QFile::setPermissions(Path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        m_env.insert("PATH", Path("bin") + ":" + m_env.value("PATH"));
    }

    void Set(const QString& name, const QString& value) { m_env.insert(name, value); }
    void WithoutDisplay()
    {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
            m_env.remove(name);
    }
    void StartWithStdoutClosed() { m_process.setChildProcessModifier([] { ::close(STDOUT_FILENO); }); }
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
        QElapsedTimer sinceSignal;
        for (const int signal : toSend) {
            sinceSignal.start();
            ::kill(pid_t(m_process.processId()), signal);
            QThread::msleep(50);
        }
        const int status = Finish();
        m_endedAfterSignalMs = sinceSignal.elapsed();
        return status;
    }

    // How long the program took to end after the last signal of the last run.
    qint64 EndedAfterSignalMs() const { return m_endedAfterSignalMs; }
    void Remove(const QString& name) { m_env.remove(name); }

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
    qint64 m_endedAfterSignalMs = 0;
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

// Everything refused is refused before Qt starts: the same message and
// status with or without a display, and at once, whatever the file is.
TEST(Program, WithoutADisplayAnswersOptionsAndRefusalsBeforeTheDisplayInOneLine)
{
    ProgramRun help, version, noDisplay, unknown, tracePipe;
    for (ProgramRun* run : {&help, &version, &noDisplay, &unknown, &tracePipe}) run->WithoutDisplay();
    EXPECT_EQ(help.RunToEnd({"/d", "--help"}), 0);
    EXPECT_TRUE(help.Stdout().startsWith("Usage: zr5130-eval [/d]\n")) << help.Stdout().toStdString();
    EXPECT_EQ(version.RunToEnd({"--version"}), 0);
    EXPECT_EQ(version.Stdout(), QByteArray("zr5130-eval ") + kZr5130Version + "\n");

    EXPECT_EQ(noDisplay.RunToEnd({}), 2);
    EXPECT_TRUE(QRegularExpression("^zr5130-eval: no display found[^\n]* xvfb-run -a [^\n]*"
                                   "QT_QPA_PLATFORM=vnc [^\n]*\n$")
                    .match(noDisplay.Stderr()).hasMatch()) << noDisplay.Stderr().toStdString();

    unknown.Set("ZR5130_ADAPTER", "usb");
    EXPECT_EQ(unknown.RunToEnd({}), 2);
    EXPECT_EQ(unknown.Stderr(), "ZR5130_ADAPTER: unknown adapter 'usb' (use sim, sim:FILE, none, "
                                "/dev/i2c-N or i2c:NAME)\n");

    const QString fifo = tracePipe.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    tracePipe.Set("ZR5130_TRACE", fifo);
    EXPECT_EQ(tracePipe.RunToEnd({}), 2);
    EXPECT_EQ(tracePipe.Stderr(),
              "ZR5130_TRACE=" + fifo.toLocal8Bit() + ": a named pipe, not a file or a terminal\n");
}

// Started with standard output closed, stopped by a broken pipe and a
// closed terminal: the log and the trace are complete, each argument naming
// a file got its note, and the viewer inherits neither the trace nor the
// signal sockets.
TEST(Program, HangUpAndBrokenPipeCloseThePanelLikeExitAndLeakNothingToTheViewer)
{
    ProgramRun run;
    run.StartWithStdoutClosed();
    run.Set("ZR5130_TRACE", run.Path("trace.txt"));
    EXPECT_EQ(run.RunAndSignal({"/d", "/dev/null", "x"}, {SIGPIPE, SIGHUP}), 0);
    EXPECT_EQ(run.ReadFile("debug.log"), "CmdLine: /d /dev/null x\n");
    EXPECT_EQ(run.ReadFile("trace.txt").count('\n'), 1 + 18 + 26);
    EXPECT_TRUE(run.Stderr().contains("not '/dev/null'; it takes its adapter from ZR5130_ADAPTER "
                                      "(ZR5130_ADAPTER=/dev/null); the \"/d\" in it switched the "
                                      "debug log on\n")) << run.Stderr().toStdString();
    EXPECT_EQ(run.Stderr().count("note:"), 1);
    const QByteArray fds = run.ReadFile("viewer-fds");
    ASSERT_FALSE(fds.isEmpty());
    EXPECT_FALSE(fds.contains("trace.txt") || fds.contains("socket:")) << fds.toStdString();

    ProgramRun full;
    full.Set("ZR5130_TRACE", "/dev/full");
    EXPECT_EQ(full.RunAndClose({}), 1);
    EXPECT_EQ(full.Stderr().count("ZR5130_TRACE=/dev/full: cannot write: No space left on device; "
                                  "the trace stops here\n"), 1) << full.Stderr().toStdString();
}

// Whatever else is found under the log's name is left exactly as it is:
// the panel runs without its log and says why.
TEST(Program, DebugLogTouchesNothingButAFileOfItsOwn)
{
    struct Case {
        const char* what;
        std::function<bool(const QString& log, const QString& victim)> plant;
        mode_t kind;
        const char* reason;
    };
    const Case cases[] = {
        {"symbolic link",
         [](const QString& log, const QString& victim) { return QFile::link(victim, log); },
         S_IFLNK, "a symbolic link, not a file"},
        {"hard link",
         [](const QString& log, const QString& victim) {
             return ::link(QFile::encodeName(victim), QFile::encodeName(log)) == 0;
         },
         S_IFREG, "a file with other names (a hard link)"},
        {"named pipe",
         [](const QString& log, const QString&) {
             return ::mkfifo(QFile::encodeName(log), 0600) == 0;
         },
         S_IFIFO, "a named pipe, not a file"},
        {"folder", [](const QString& log, const QString&) { return QDir().mkdir(log); }, S_IFDIR,
         "a directory, not a file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun run;
        run.WriteFile("victim.txt", "keep\n");
        ASSERT_TRUE(c.plant(run.Path("debug.log"), run.Path("victim.txt")));
        EXPECT_EQ(run.RunAndClose({"/d"}), 0);
        EXPECT_EQ(run.ReadFile("victim.txt"), "keep\n");
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(run.Path("debug.log")), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.kind) << "still there, as it was";
        EXPECT_TRUE(
            run.Stderr().contains(QStringLiteral("zr5130-eval: debug.log: %1; the panel runs "
                                                 "without its debug log\n")
                                      .arg(c.reason)
                                      .toUtf8()))
            << run.Stderr().toStdString();
        EXPECT_FALSE(run.Exists("viewer-ran"));
    }
}

// Signals while no event loop runs: the handler neither blocks once the
// socket is full nor changes errno. A watchdog ends a child that blocks.
TEST(QuitOnSignal, ABurstOfSignalsNeitherBlocksNorChangesErrno)
{
    EXPECT_EXIT(
        {
            ::alarm(10);
            const int fd = QuitOnSignal::InstallRelay();
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

// A settings file that would hold the start (a named pipe), or none at all:
// the panel comes up at once on the simulated board and says so once.
TEST(Program, SettingsThatCannotBeReadNeverHoldTheStart)
{
    ProgramRun pipe, homeless;
    const QString settings = pipe.Path("config/zr5130/zr5130-eval.conf");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(pipe.RunAndClose({}), 0);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(pipe.Stderr().count("a named pipe, not a file; the adapter choice is not remembered"), 1)
        << pipe.Stderr().toStdString();
    struct stat st {};
    EXPECT_TRUE(::stat(QFile::encodeName(settings).constData(), &st) == 0 && S_ISFIFO(st.st_mode))
        << "left as it was";

    homeless.Remove("XDG_CONFIG_HOME");
    homeless.Set("HOME", "relative/home");
    EXPECT_EQ(homeless.RunAndClose({}), 0);
    EXPECT_EQ(homeless.Stderr().count("neither XDG_CONFIG_HOME nor HOME is an absolute path, so there is "
                                      "no settings file; the adapter choice is not remembered\n"),
              1) << homeless.Stderr().toStdString();
}

// A trace to a terminal stopped with Ctrl+S stops with a line of its own
// instead of holding the panel, and a SIGTERM then ends the program at once.
TEST(Program, ATraceToAStoppedTerminalNeverHoldsTheProgram)
{
    const TestTerminal terminal;
    ASSERT_TRUE(terminal.IsOpen());
    ASSERT_TRUE(terminal.StopOutput());
    const QString slave = QString::fromStdString(terminal.Path());

    ProgramRun run;
    run.Set("ZR5130_TRACE", slave);
    EXPECT_EQ(run.RunAndClose({}), 1) << "the trace is incomplete";
    EXPECT_LT(run.EndedAfterSignalMs(), 1000);
    EXPECT_TRUE(run.Stderr().contains(("ZR5130_TRACE=" + slave + " would block; the trace stops here\n").toLocal8Bit()))
        << run.Stderr().toStdString();
}

TEST(Program, HelpAndVersionToAFullDiskFail)
{
    for (const char* option : {"--help", "--version"}) {
        QProcess process;
        process.setStandardOutputFile("/dev/full");
        process.start(QStringLiteral(ZR5130_EXE), {option});
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 1) << option;
        EXPECT_EQ(process.readAllStandardError(),
                  "zr5130-eval: cannot write to standard output: No space left on device\n");
    }
}
