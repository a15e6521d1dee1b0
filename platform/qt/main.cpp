#include <QApplication>
#include <QLabel>

// Until the main window exists the program shows a placeholder that says so.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel placeholder("Vantrel: the main window is not built yet.");
    placeholder.setWindowTitle("Vantrel");
    placeholder.resize(480, 120);
    placeholder.show();
    return application.exec();
}
