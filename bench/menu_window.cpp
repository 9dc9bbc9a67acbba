// A floor for the start-up benchmark: a window the size of the game's with
// the game's three-item menu bar and nothing else. The menu bar measures its
// text before the window maps, so this window pays for Qt's first use of a
// font, as the game does and the bare window does not.

#include <QApplication>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Menu-bar window"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* menuBar = new QMenuBar(&window);
    for (const char* caption : {"Draw", "About", "Help"})
        menuBar->addAction(QString::fromLatin1(caption));
    layout->setMenuBar(menuBar);
    layout->addWidget(new QWidget(&window));
    // The game's client area, below the menu bar.
    window.resize(1003, 724 + menuBar->sizeHint().height());
    window.show();
    return QApplication::exec();
}
