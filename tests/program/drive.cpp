// The game program as main() builds it, driven from its command line on the
// offscreen platform: each argument is a control to click ("i1", "deal",
// "drw"), a click repeated ("i1*328"), or "close" for the window's close box.
// Message boxes are answered with Enter as soon as they show. The exit status
// is the program's own.

#include "forms/application.h"
#include "forms/testing.h"
#include "play.h"
#include "support.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    forms::Application application(argc, argv, {"Varnel", "1.00", ":/assets/varnel.ico"});
    varnel::play window(application.runtime());
    const testsupport::ModalAnswerer answer(Qt::Key_Return);

    const QStringList script = QApplication::arguments().mid(1);
    QTimer::singleShot(0, [&] {
        for (const QString& step : script) {
            if (step == QLatin1String("close")) {
                forms::testing::window(window)->close();
                continue;
            }
            const QStringList parts = step.split(QLatin1Char('*'));
            const int times = parts.size() > 1 ? parts[1].toInt() : 1;
            for (int i = 0; i < times; ++i)
                window.click(parts[0].toStdString());
        }
    });
    return application.run(window);
}
