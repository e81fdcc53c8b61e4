#include "NoDisplay.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::vector<HeldMessage> g_held;

std::string NoDisplayLine()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString display = qEnvironmentVariable("DISPLAY");
    std::string what;
    if (!platform.isEmpty())
        what = "the display platform " + platform.toStdString() + " could not start";
    else if (!display.isEmpty())
        what = "no display found: DISPLAY=" + display.toStdString() + " does not answer";
    else
        what = "no display found (DISPLAY is not set)";
    return "zr5130-eval: " + what +
           "; run the panel on a virtual display with xvfb-run -a zr5130-eval, or view it from "
           "another machine with QT_QPA_PLATFORM=vnc zr5130-eval and a VNC viewer on port 5900";
}

void WhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", NoDisplayLine().c_str());
        std::_Exit(2);
    }
    g_held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

void WatchForMissingDisplay()
{
    qInstallMessageHandler(WhileStarting);
}

void DisplayFound()
{
    qInstallMessageHandler(nullptr);
    for (const HeldMessage& m : g_held)
        qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category),
                          m.text);
    g_held.clear();
}
