#include "EvalApp.h"

#include "EvalDlg.h"

#include <cstdio>
#include <cstdlib>

int g_debugLog = 0;

namespace {
constexpr const char* kLogFile = "debug.log";
// Opens the log in the desktop's text viewer; quietly nothing without one.
constexpr const char* kViewerCommand =
    "command -v xdg-open >/dev/null 2>&1 && xdg-open debug.log";
}  // namespace

CEvalApp::CEvalApp(QString cmdLine) : m_cmdLine(std::move(cmdLine)) {}

bool CEvalApp::WantsDebugLog(const QString& cmdLine)
{
    return cmdLine.contains(QLatin1String("/D")) || cmdLine.contains(QLatin1String("/d"));
}

void CEvalApp::StartDebugLog()
{
    std::remove(kLogFile);
    if (!std::freopen(kLogFile, "w", stdout)) g_debugLog = 0;
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
        dlg.DoModal();
    }
    if (g_debugLog) FinishDebugLog();
    return false;
}
