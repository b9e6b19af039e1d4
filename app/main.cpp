#include <clocale>

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // QApplication adopts the user's locale; numbers are read and written the C way.
    std::setlocale(LC_NUMERIC, "C");
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("KIRO"));
    window.resize(630, 440);
    window.show();
    return QApplication::exec();
}
