#include "StartChoice.h"
#include "EvalApp.h"
#include "NoDisplay.h"
#include "QuitOnSignal.h"
#include "StartupChecks.h"
#include "Trace.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    KeepStandardDescriptorsOpen();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const std::optional<int> status = AnswerInfoOption(args))
        return *status;

    // Settings are checked before Qt starts, so that a bad one is told the
    // same way with or without a display. Until the signal handlers are in
    // place, Ctrl+C ends the program at once.
    // ZR5130_ADAPTER for this start, or the adapter chosen in the panel last.
    StartChoice start =
        ChooseStartAdapter(std::getenv("ZR5130_ADAPTER"), AdapterOptionsFromEnvironment());
    const AdapterChoice& choice = start.choice;
    if (!choice.error.empty()) {
        std::fprintf(stderr, "%s\n", choice.error.c_str());
        return 2;
    }
    if (const char* tracePath = std::getenv("ZR5130_TRACE"); tracePath && *tracePath) {
        std::string error;
        if (!TraceOpen(tracePath, error, std::string("ZR5130_TRACE=") + tracePath)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }

    WatchForMissingDisplay();
    QApplication qapp(argc, argv);
    DisplayFound();
    QuitOnSignal::Install();

    for (const std::string& note : ArgumentNotes(args))
        std::fprintf(stderr, "%s\n", note.c_str());
    if (!choice.notice.empty())
        std::fprintf(stderr, "%s\n", choice.notice.c_str());
    if (!start.start.statusNotice.isEmpty())
        std::fprintf(stderr, "zr5130-eval: %s\n", start.start.statusNotice.toLocal8Bit().constData());
    tvxInstallAdapter(choice.adapter.get());

    // Qt has taken its own options out of the arguments by now.
    CEvalApp app(QApplication::arguments().mid(1).join(QLatin1Char(' ')), std::move(start.start));
    app.InitInstance();
    TraceClose();
    tvxInstallAdapter(nullptr);
    // The trace asked for is incomplete: that was said, and is not success.
    return TraceLost() ? 1 : 0;
}
