#include "QuitOnSignal.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP};

int g_relay[2] = {-1, -1};

// Never blocks: when a burst of signals has filled the socket, the bytes
// already waiting close the dialogs just as well.
void OnSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_relay[1], &byte, 1);
    errno = savedErrno;
}

// A handler rather than SIG_IGN: an ignored signal stays ignored in the
// programs started later (the log viewer), a handled one does not.
void OnBrokenPipe(int) {}

void CloseDialogs()
{
    char bytes[256];
    while (::read(g_relay[0], bytes, sizeof bytes) > 0) {
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
}

}  // namespace

int QuitOnSignal::InstallRelay()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_relay) != 0)
        return -1;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kQuitSignals)
        sigaction(signal, &action, nullptr);
    action.sa_handler = OnBrokenPipe;
    sigaction(SIGPIPE, &action, nullptr);
    return g_relay[0];
}

void QuitOnSignal::Install()
{
    const int fd = InstallRelay();
    if (fd < 0) {
        std::fprintf(stderr,
                     "zr5130-eval: cannot set up signal handling (%s); Ctrl+C ends the panel "
                     "without closing it\n",
                     std::strerror(errno));
        return;
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { CloseDialogs(); });
}
