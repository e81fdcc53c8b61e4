// The program as a user starts it: command line, debug log, adapter choice
// and the register trace.
#include "EvalApp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

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
        WriteFile("bin/xdg-open", "#!/bin/sh\necho \"$@\" > viewer-ran\n");
        QFile::setPermissions(Path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        m_env.insert("PATH", Path("bin") + ":" + m_env.value("PATH"));
    }

    void Set(const QString& name, const QString& value) { m_env.insert(name, value); }
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
    int RunAndClose(const QStringList& args)
    {
        Start(args);
        WaitUntilListeningForSignals();
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return Finish();
    }

    // For runs that end by themselves (refused settings).
    int RunToEnd(const QStringList& args)
    {
        Start(args);
        return Finish();
    }

    QByteArray Stderr() const { return m_stderr; }

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
        EXPECT_TRUE(m_process.waitForFinished(20000));
        m_stderr = m_process.readAllStandardError();
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
