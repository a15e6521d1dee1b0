#pragma once
// The one QApplication of the Qt test program, created on first use and kept to the end.
// Tests that need Qt call TestApplication() instead of making their own.
#include <QApplication>

namespace vantrel {

inline QApplication& TestApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

}  // namespace vantrel
