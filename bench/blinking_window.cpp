// A floor for the idle-CPU benchmark: a window the size of the game's that
// shows and hides five small boxes, each on a timer of its own at the
// intervals of the game's five lights. What the game burns while the player
// thinks is what these timers cost, and little more.

#include <QApplication>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <array>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Blinking window"));
    window.resize(1003, 724);
    constexpr std::array intervals{100, 200, 100, 120, 150};
    constexpr std::array colours{Qt::red, Qt::cyan, Qt::green, Qt::blue, Qt::red};
    for (std::size_t n = 0; n < intervals.size(); ++n) {
        auto* box = new QWidget(&window);
        box->setGeometry(752 + 48 * static_cast<int>(n), 80, 33, 41);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Window, colours[n]);
        box->setPalette(palette);
        box->setAutoFillBackground(true);
        auto* timer = new QTimer(box);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, box, [box] { box->setVisible(!box->isVisible()); });
        timer->start(intervals[n]);
    }
    window.show();
    return QApplication::exec();
}
