#include <memory>

#include <QApplication>

#include "app/program.h"
#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt/single_instance.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    // Wayland's app id: desktops match the window to org.vantrel.vantrel.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.vantrel.vantrel"));

    vantrel::SingleInstance instance;
    // Second only once the first copy on this display has raised its window; otherwise this copy runs.
    if (instance.Claim() == vantrel::SingleInstance::Role::Second) return 0;

    auto program = std::make_unique<vantrel::Program>();
    vantrel::MainWindow window(*program);
    vantrel::QtHost host(window);
    vantrel::ConnectHost(*program, host);
    window.PlaceAtStart();
    window.show();
    window.raise();
    window.activateWindow();
    window.clientArea()->setFocus();
    instance.Listen([&window](const QByteArray& activationToken) { window.RestoreAndRaise(activationToken); });

    vantrel::StartProgram(*program, host);
    window.StartFrameTimer();
    const int exitCode = QApplication::exec();

    window.StopFrameTimer();
    vantrel::StopProgram(*program);
    return exitCode;
}
