#pragma once
// The one QApplication of the Qt test program, created on first use and never destroyed: Qt's
// own globals are gone by the time static objects would destroy it at exit.
// Tests that need Qt call TestApplication() instead of making their own.
#include <QApplication>

namespace vantrel {

inline QApplication& TestApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

}  // namespace vantrel
