// The baseline for the start-up benchmark: the least a Qt Widgets program
// can show, a titled window with nothing in it.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.show();
    return QApplication::exec();
}
