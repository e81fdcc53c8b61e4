#include "EvalApp.h"

#include "EvalDlg.h"
#include "FileOpen.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int g_debugLog = 0;

namespace {
constexpr const char* kLogFile = "debug.log";
// Opens the log in the desktop's text viewer; quietly nothing without one.
constexpr const char* kViewerCommand =
    "command -v xdg-open >/dev/null 2>&1 && xdg-open debug.log";
}  // namespace

CEvalApp::CEvalApp(QString cmdLine, AdapterStart start)
    : m_cmdLine(std::move(cmdLine)), m_start(std::move(start))
{
}

bool CEvalApp::WantsDebugLog(const QString& cmdLine)
{
    return cmdLine.contains(QLatin1String("/D")) || cmdLine.contains(QLatin1String("/d"));
}

// Only a file of its own is emptied and written: a symbolic link, a file
// with other names (a hard link) or anything but a regular file under the
// name is left as it is, and the panel runs without its log. The log takes
// the place of standard output only: the program keeps descriptors 0-2 open
// from its start, so standard output is never a descriptor of Qt's.
void CEvalApp::StartDebugLog()
{
    std::string reason;
    int fd = OpenFile(kLogFile, O_WRONLY | O_CREAT | O_NOFOLLOW, kRegularFile, reason);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 1) {
        reason = "a file with other names (a hard link)";
        ::close(fd);
        fd = -1;
    }
    if (fd >= 0 && ::ftruncate(fd, 0) == 0) {
        std::fflush(stdout);
        ::dup2(fd, STDOUT_FILENO);
        std::clearerr(stdout);
    } else {
        if (fd >= 0) reason = std::string("cannot empty it: ") + std::strerror(errno);
        std::fprintf(stderr, "zr5130-eval: %s: %s; the panel runs without its debug log\n",
                     kLogFile, reason.c_str());
        g_debugLog = 0;
    }
    if (fd >= 0) ::close(fd);
    std::printf("CmdLine: %s\n", m_cmdLine.toLocal8Bit().constData());
}

void CEvalApp::FinishDebugLog()
{
    std::fclose(stdout);
    // The viewer's own exit status is of no interest.
    [[maybe_unused]] const int status = std::system(kViewerCommand);
}

bool CEvalApp::InitInstance()
{
    if (WantsDebugLog(m_cmdLine)) g_debugLog = 1;
    if (g_debugLog) StartDebugLog();
    {
        CEvalDlg dlg;
        dlg.SetAdapterStart(m_start);
        dlg.DoModal();
    }
    if (g_debugLog) FinishDebugLog();
    return false;
}
