// The yardstick of the start-up benchmark: a bare Qt window of the main window's size (8040 x 6705 twips at
// 96 dpi), shown as soon as the application exists.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(536, 447);
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.show();
    return QApplication::exec();
}
