#pragma once

// The built game program on a virtual screen, seen and driven from outside:
// where its controls are (from the stored layout), what its client area
// shows, real pointer clicks and key presses through xdotool, and how the
// process ends.

#include "xserver.h"

#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStringList>

#include <functional>
#include <optional>

namespace e2e {

// Upper bounds only: every wait returns as soon as what it waits for is
// there. They are wide because the sanitizer build is many times slower.
inline constexpr milliseconds startTimeout{30000};
inline constexpr milliseconds stepTimeout{15000};
inline constexpr milliseconds exitTimeout{20000};

// The game window's stored layout: every control's box in pixels of the
// client area, and the menu bar's captions in their order.
class Layout {
public:
    explicit Layout(const QString& path);

    QRect box(const QString& control) const;
    // The control's stored box in twips, as the layout gives it.
    QRect twips(const QString& control) const;
    // The control's box moved to another place, given in twips.
    QRect boxAt(const QString& control, int leftTwips, int topTwips) const;
    const QStringList& menu() const { return menu_; }
    // The window's title.
    const QString& caption() const { return caption_; }

    static int pixels(int twips);

private:
    QMap<QString, QRect> twips_;
    QStringList menu_;
    QString caption_;
};

// Pixels as a player tells them apart.
bool isBlack(QRgb c);
bool isWhite(QRgb c);
bool isDark(QRgb c);  // the digits of a card
bool isGold(QRgb c);  // the coin stacks
bool isPink(QRgb c);  // the face of "Deal"
bool isColour(QRgb c, QColor wanted);

// The share of the pixels of `area` for which `is` holds.
double share(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& is);

// What went wrong in one look at the screen, one line each.
using Faults = QStringList;

// The environment for the built program on `display`: environmentOn's,
// with the sanitizer told what the platform's own libraries do.
QProcessEnvironment programEnvironment(const QString& display);

class Game {
public:
    // Starts the program and waits for its window to be on screen with its
    // menu bar drawn.
    Game(XClient& x, const QString& display, const Layout& layout, const QString& program, const QString& stderrFile);
    // The same, in `environment` instead of programEnvironment(display).
    Game(XClient& x, const QString& display, const Layout& layout, const QString& program, const QString& stderrFile,
         const QProcessEnvironment& environment);
    // Kills the program, by its process id, if it is still running.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    WindowId window() const { return window_; }
    // The client area on screen: the window below its menu bar.
    QRect client() const { return client_; }

    QImage shot();
    // Looks at the client area until `judge` finds no fault, or the timeout
    // has passed: the faults of the last look, none when it settled.
    Faults expectSoon(const std::function<void(const QImage&, Faults&)>& judge, milliseconds timeout = stepTimeout);

    // Real pointer clicks at a point of the client area.
    void click(QPoint inClient, int times = 1);
    void clickMenu(const QString& caption);
    // Gives the window the keyboard focus, then presses a key (an X keysym
    // name such as "Return").
    void press(WindowId target, const QString& key);
    // Another top-level window of this program, titled `title`.
    std::optional<WindowId> nextWindow(const QString& title, milliseconds timeout = stepTimeout);

    // The exit status once the program has ended, or nothing if it is still
    // running after the timeout (or was killed by a signal).
    std::optional<int> waitForExit(milliseconds timeout = exitTimeout);
    bool running() const { return process_.state() != QProcess::NotRunning; }
    qint64 pid() const { return pid_; }
    QString errors() const;

private:
    void xdotool(const QStringList& arguments);

    XClient& x_;
    QString display_;
    QString stderrFile_;
    QProcess process_;
    qint64 pid_ = 0;
    WindowId window_ = 0;
    QRect windowRect_;
    QRect client_;
    const Layout& layout_;
    QList<QRect> menuItems_;
};

// Runs xdotool on `display`; throws when it fails or takes too long.
void runXdotool(const QString& display, const QStringList& arguments, milliseconds timeout = milliseconds(15000));

}  // namespace e2e
