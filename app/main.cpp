#include "AdapterSelect.h"
#include "EvalApp.h"
#include "QuitOnSignal.h"
#include "Trace.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QuitOnSignal::Install();

    AdapterChoice choice = ChooseAdapter(std::getenv("ZR5130_ADAPTER"));
    if (!choice.error.empty()) {
        std::fprintf(stderr, "%s\n", choice.error.c_str());
        return 2;
    }
    if (!choice.notice.empty()) std::fprintf(stderr, "%s\n", choice.notice.c_str());
    tvxInstallAdapter(choice.adapter.get());

    if (const char* tracePath = std::getenv("ZR5130_TRACE"); tracePath && *tracePath) {
        std::string error;
        if (!TraceOpen(tracePath, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }

    // Qt has taken its own options out of the arguments by now.
    CEvalApp app(QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    app.InitInstance();
    TraceClose();
    tvxInstallAdapter(nullptr);
    return 0;
}
