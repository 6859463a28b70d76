// Termination signals turned into a normal close of the main window through a self-pipe.
#include "termination.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

}

void closeOnTerminationSignals(QWidget* mainWindow)
{
    if (pipeEnds[0] < 0) {
        if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
    }
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, mainWindow);
    QPointer<QWidget> window(mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, mainWindow, [window] {
        char buffer[16];
        while (::read(pipeEnds[0], buffer, sizeof buffer) > 0) {
        }
        if (window)
            window->close();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
