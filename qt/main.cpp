#include <cstdio>
#include <memory>

#include <QApplication>

#include "app/program.h"
#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt/session.h"
#include "qt/single_instance.h"

int main(int argc, char** argv) {
    // Qt would abort without a display; a clear line and a plain failure serve the user better.
    if (const QString missing = vantrel::MissingDisplay(argc, argv); !missing.isEmpty()) {
        std::fprintf(stderr, "vantrel: %s\n", qPrintable(missing));
        return 1;
    }
    vantrel::SingleInstance instance;
    const vantrel::SingleInstance::Role role = instance.Claim();
    if (!instance.problem().isEmpty()) std::fprintf(stderr, "vantrel: %s\n", qPrintable(instance.problem()));
    // Second once the first copy on this display raised its window; Silent when it holds the lock but does not answer.
    if (role == vantrel::SingleInstance::Role::Second || role == vantrel::SingleInstance::Role::Silent) {
        vantrel::CompleteStartupNotification();
        return 0;
    }
    vantrel::SessionSignals sessionSignals;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    // Wayland's app id: desktops match the window to org.vantrel.vantrel.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.vantrel.vantrel"));

    auto program = std::make_unique<vantrel::Program>();
    vantrel::MainWindow window(*program);
    vantrel::QtHost host(window);
    vantrel::ConnectHost(*program, host);
    window.PlaceAtStart();
    window.show();
    window.raise();
    window.activateWindow();
    window.clientArea()->setFocus();
    if (role == vantrel::SingleInstance::Role::First &&
        !instance.Listen([&window](const QByteArray& activationToken) { window.RestoreAndRaise(activationToken); }))
        std::fprintf(stderr, "vantrel: %s\n", qPrintable(instance.problem()));
    // The session ending (logout, kill, Ctrl+C in a terminal) ends the program as closing the window does.
    sessionSignals.OnSignal([&window] {
        window.close();
        QCoreApplication::exit(0);
    });

    vantrel::StartProgram(*program, host);
    window.StartFrameTimer();
    const int exitCode = QApplication::exec();

    window.StopFrameTimer();
    vantrel::StopProgram(*program);
    return exitCode;
}
