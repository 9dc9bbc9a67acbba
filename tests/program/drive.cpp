// The game program through main()'s own start-up, driven from its command
// line on the offscreen platform: each argument is a control to click ("i1",
// "deal", "hlp", "drw"). Message boxes are answered with Enter as soon as
// they show. The exit status is the program's own.

#include "play.h"
#include "startup.h"
#include "support/modal.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return varnel::start(argc, argv, [](varnel::play& window) {
        (new testsupport::ModalAnswerer(Qt::Key_Return))->setParent(qApp);
        // Queued: the clicks come once the event loop has shown the window.
        QTimer::singleShot(0, [&window, script = QApplication::arguments().mid(1)] {
            for (const QString& control : script)
                window.click(control.toStdString());
        });
    });
}
