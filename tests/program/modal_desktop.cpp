// The game program as main() starts it, on a real X server under a window
// manager that puts a minimise button on every window (openbox does). Each
// modal window of the menu is minimised by the window manager while the
// player is at another program, and must come back, restored and active, as
// soon as he clicks in the game window or activates it; a key press then
// answers it, and afterwards the game takes real clicks again. Every action
// is the window system's own, through xdotool. Prints "ok", or each fault.

#include "forms/testing.h"
#include "play.h"
#include "startup.h"

#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <iostream>

namespace {

// Upper bounds only: each wait ends as soon as what it waits for is there.
constexpr int deadline = 20000;

QStringList faults;

// Said at once: a run cut short still tells what went wrong first.
void fail(const QString& fault)
{
    faults << fault;
    std::cout << "FAIL: " << fault.toStdString() << std::endl;
}

QString run(const QStringList& command)
{
    QProcess tool;
    tool.start(command.first(), command.mid(1));
    if (!tool.waitForFinished(deadline) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        fail(command.join(QLatin1Char(' ')) + QStringLiteral(" failed: ") +
             QString::fromLocal8Bit(tool.readAllStandardError()).trimmed());
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString idOf(const QWidget* window)
{
    return QString::number(window->windowHandle()->winId());
}

void clickAt(const QWidget* widget, QPoint at)
{
    const QPoint global = widget->mapToGlobal(at);
    run({QStringLiteral("xdotool"), QStringLiteral("mousemove"), QString::number(global.x()),
         QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")});
}

bool onScreen(const QWidget* window)
{
    return window->isVisible() && window->windowHandle() && window->windowHandle()->isExposed();
}

// Whether the window system's focus is in the window, as its last focus
// event said.
bool hasFocus(const QWidget* window)
{
    return window->windowHandle() && QGuiApplication::focusWindow() == window->windowHandle();
}

// How the window manager takes the modal window away, and how the player
// comes back to the game.
enum class Lose { minimise, toAnotherDesktop };
enum class Turn { click, activate };

struct Case {
    const char* name;
    const char* menuItem;
    Lose lose;
    Turn turn;
};

const Case cases[] = {
    {"the Help box minimised, then a click in the game window", "hlp", Lose::minimise, Turn::click},
    {"the Help box minimised, then the game window activated", "hlp", Lose::minimise, Turn::activate},
    {"the About window minimised, then a click in the game window", "abt", Lose::minimise, Turn::click},
    {"the About window minimised, then the game window activated", "abt", Lose::minimise, Turn::activate},
    {"the Help box sent to another desktop, then a click in the game window", "hlp", Lose::toAnotherDesktop,
     Turn::click},
    {"the About window sent to another desktop, then the game window activated", "abt", Lose::toAnotherDesktop,
     Turn::activate},
};

// Plays one case on each modal window as it shows.
class Player final : public QObject {
public:
    Player(varnel::play& game, QString elsewhere)
        : game_(game),
          elsewhere_(std::move(elsewhere))
    {
        qApp->installEventFilter(this);
    }
    const Case* current = nullptr;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Expose)
            if (auto* window = qobject_cast<QWindow*>(object); window && !window->isExposed())
                wentOff_ = true;
        auto* widget = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && widget && widget->isWindow() && widget->isModal() && current) {
            QPointer<QWidget> modal = widget;
            const Case* playing = std::exchange(current, nullptr);
            QMetaObject::invokeMethod(
                this, [this, modal, playing] { play(modal, *playing); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void play(const QPointer<QWidget>& modal, const Case& c)
    {
        const auto fault = [&](const char* what) {
            fail(QString::fromLatin1(c.name) + QStringLiteral(": ") + QString::fromLatin1(what));
        };
        QWidget* table = forms::testing::window(game_);
        // The window itself, or null once it is gone.
        const auto shown = [&]() -> const QWidget* { return modal.data(); };
        // Closes it, so that the next case can run.
        const auto giveUp = [&](const char* what) {
            fault(what);
            if (QWidget* w = modal.data())
                w->close();
        };
        // Up and holding the window system's focus: the window manager has
        // answered the program's own request to activate it, which would
        // otherwise reach it after the case has taken the window away, and
        // bring it back. (Qt names a window active before that answer.)
        if (!QTest::qWaitFor(
                [&] {
                    const QWidget* w = shown();
                    return w && onScreen(w) && hasFocus(w);
                },
                deadline))
            return giveUp("it never showed as the active window");
        // The player turns to another program, and the window manager takes
        // the modal window off the screen: as its minimise button does, or
        // to another desktop.
        // A request to activate the window that the window system answers
        // only now (Qt's own, passing the focus from a blocked window on to
        // the modal one) may bring it straight back; then the player takes
        // it away again.
        constexpr int tries = 5;
        for (int tried = 1;; ++tried) {
            wentOff_ = false;
            run({QStringLiteral("xdotool"), QStringLiteral("windowactivate"), QStringLiteral("--sync"), elsewhere_});
            if (c.lose == Lose::minimise)
                run({QStringLiteral("xdotool"), QStringLiteral("windowminimize"), QStringLiteral("--sync"),
                     idOf(modal)});
            else
                run({QStringLiteral("xdotool"), QStringLiteral("set_desktop_for_window"), idOf(modal),
                     QStringLiteral("1")});
            const auto away = [&] {
                const QWidget* w = shown();
                return w && !onScreen(w) && (c.lose != Lose::minimise || w->isMinimized());
            };
            if (!QTest::qWaitFor(
                    [&] {
                        const QWidget* w = shown();
                        return away() || (w && wentOff_ && onScreen(w));
                    },
                    deadline)) {
                fault("the window manager did not take it off the screen");
                break;
            }
            if (away())
                break;
            if (tried == tries) {
                fault("it came back each time before the player turned to the game");
                break;
            }
        }
        // Then he comes back to the game.
        if (c.turn == Turn::click)
            clickAt(table, QPoint(4, table->height() / 2));
        else
            run({QStringLiteral("xdotool"), QStringLiteral("windowactivate"), idOf(table)});
        if (!QTest::qWaitFor(
                [&] {
                    const QWidget* w = shown();
                    return w && onScreen(w) && !w->isMinimized() && hasFocus(w);
                },
                deadline))
            return giveUp("it did not come back restored and active");
        if (run({QStringLiteral("xdotool"), QStringLiteral("get_desktop")}) != QLatin1String("0"))
            fault("it came back on another desktop, not where the player is");
        // The player answers it.
        run({QStringLiteral("xdotool"), QStringLiteral("key"), QStringLiteral("Return")});
        if (!QTest::qWaitFor(
                [&] {
                    const QWidget* w = shown();
                    return !w || !w->isVisible();
                },
                deadline))
            giveUp("Enter did not answer it");
    }

    varnel::play& game_;
    QString elsewhere_;
    // Whether a window has left the screen since the player last took the
    // modal one away.
    bool wentOff_ = false;
};

// Opens each case's modal window from the game window, then checks that the
// game still takes a real click, and ends the program with Draw.
void playEveryCase(varnel::play& game)
{
    QWidget* table = forms::testing::window(game);
    if (!QTest::qWaitFor([&] { return onScreen(table); }, deadline))
        fail(QStringLiteral("the game window never showed"));
    const QString elsewhere =
        run({QStringLiteral("xdotool"), QStringLiteral("search"), QStringLiteral("--sync"),
             QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^elsewhere$")})
            .section(QLatin1Char('\n'), 0, 0);
    {
        Player player(game, elsewhere);
        for (const Case& c : cases) {
            // The game window has the focus before each window opens: the
            // window manager's word of it, late on a busy machine, would
            // otherwise reach the open window's watch as the player turning
            // to the game, and bring the window back after the case has
            // taken it away.
            if (!QTest::qWaitFor([&] { return hasFocus(table); }, deadline))
                fail(QString::fromLatin1(c.name) + QStringLiteral(": the game window never had the focus before"));
            player.current = &c;
            // Returns once the modal window is closed.
            game.click(c.menuItem);
        }
    }

    // The game goes on: a real click on a coin stakes it.
    QWidget* coin = forms::testing::widget(game, "i1");
    const int left = game.control("i1").left();
    clickAt(coin, coin->rect().center());
    if (!QTest::qWaitFor([&] { return game.control("i1").left() != left; }, deadline))
        fail(QStringLiteral("after the modal windows the game took no click"));
    if (!faults.isEmpty()) {
        QCoreApplication::exit(1);
        return;
    }
    QMenuBar* bar = forms::testing::menuBar(game);
    clickAt(bar, bar->actionGeometry(forms::testing::menuItem(game, "drw")).center());
}

}  // namespace

int main(int argc, char** argv)
{
    const int status = varnel::start(argc, argv, [](varnel::play& game) {
        // Another program's window, for the player to be at. It goes with
        // the application.
        auto* other = new QProcess(qApp);
        other->start(QStringLiteral("xmessage"),
                     {QStringLiteral("-title"), QStringLiteral("elsewhere"), QStringLiteral("-geometry"),
                      QStringLiteral("+1000+900"), QStringLiteral("another program")});
        QTimer::singleShot(0, [&game] { playEveryCase(game); });
    });
    if (status != 0 && faults.isEmpty())
        fail(QStringLiteral("Draw ended the program with status %1").arg(status));
    if (faults.isEmpty())
        std::cout << "ok\n";
    return faults.isEmpty() ? 0 : 1;
}
