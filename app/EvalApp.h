#pragma once

#include "AdapterStart.h"

#include <QString>

// 1 while the debug log is active.
extern int g_debugLog;

// The application shell: debug log, the panel, the log viewer.
class CEvalApp {
public:
    // cmdLine: the arguments after the program name, joined by single spaces.
    // start: what the panel starts on (see ChooseStartAdapter).
    CEvalApp(QString cmdLine, AdapterStart start);

    // Runs the whole program; returns false so that no message loop follows.
    bool InitInstance();

    static bool WantsDebugLog(const QString& cmdLine);

private:
    void StartDebugLog();
    void FinishDebugLog();

    QString m_cmdLine;
    AdapterStart m_start;
};
