#pragma once

// A virtual X server of our own and a plain X client on it: what the
// end-to-end tests and the start-up benchmark need to watch the real program
// from outside, as a player's screen would show it.

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

struct xcb_connection_t;

namespace e2e {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using WindowId = std::uint32_t;

class XError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The environment for a Qt program to run on `display`: its own X server
// and nothing of the desktop that the tests or the bench run from.
QProcessEnvironment environmentOn(const QString& display);

// Makes whatever `process` starts die with the process that started it,
// however that one ends: nothing is left running on the machine, even when a
// test run is cut short.
void dieWithParent(QProcess& process);

// What a virtual screen is like: its size, its bits a pixel, where its
// server listens (its local sockets, or a TCP port only) and on which display
// number (by default the first that is free).
struct ScreenSetup {
    QSize size{1280, 1024};
    int depth = 24;
    bool tcpOnly = false;
    std::optional<int> number;
};

// Xvfb on a display number that it picks itself (-displayfd), so that any
// number of these can run side by side. Stopped, by its process id, when the
// object goes.
class VirtualScreen {
public:
    explicit VirtualScreen(QSize size = {1280, 1024}, milliseconds timeout = milliseconds(15000));
    explicit VirtualScreen(const ScreenSetup& setup, milliseconds timeout = milliseconds(15000));
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    // ":N", for DISPLAY.
    const QString& display() const { return display_; }

    // Kills the server as a crash would: whatever it would clean up on its
    // way out (its socket file, its lock file) stays behind.
    void crash();

private:
    QProcess xvfb_;
    QString display_;
};

// One connection to the server. It hears of every top-level window that is
// mapped, unmapped or destroyed, and of every drawing on screen, so that a
// test can wait for what it expects instead of sleeping.
class XClient {
public:
    explicit XClient(const QString& display);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // The first top-level window, mapped since this client connected and
    // not handed out before, that is titled `title` and belongs to process
    // `pid` (by its _NET_WM_PID), waiting for it up to the deadline.
    std::optional<WindowId> nextMapped(const QString& title, std::int64_t pid, Clock::time_point deadline);
    // The time at which that window's MapNotify was read, as near to the
    // mapping itself as a client can know it.
    Clock::time_point mappedAt(WindowId window) const;

    // Whether the window has been unmapped or destroyed by the deadline.
    bool waitUntilGone(WindowId window, Clock::time_point deadline);

    QString title(WindowId window);
    std::optional<std::int64_t> pid(WindowId window);
    // The window's outer box on the screen.
    QRect geometry(WindowId window);
    QRect screenRect() const;

    // What the screen shows in `area` (screen pixels).
    QImage grab(const QRect& area);

    // Whether `holds` is true by the deadline, asking it again after each
    // event that the server sends (a window mapped, moved or resized, a
    // drawing).
    bool waitUntil(const std::function<bool()>& holds, Clock::time_point deadline);

    // Takes a fresh look at the screen until `settled` accepts it: after
    // each drawing that the server reports, and once more at the deadline.
    // Returns whether it did.
    bool lookUntil(const std::function<bool()>& settled, Clock::time_point deadline);

    // What a window manager's close box does: WM_DELETE_WINDOW, provided the
    // window takes part in that protocol (false when it does not).
    bool askToClose(WindowId window);

private:
    // Handles whatever the server has sent; waits for something up to the
    // deadline when nothing has come. False when the deadline passed first.
    bool pump(Clock::time_point deadline);
    void handle(void* event);
    std::uint32_t atom(const char* name);
    void check() const;

    xcb_connection_t* connection_ = nullptr;
    WindowId root_ = 0;
    int damageEvent_ = 0;
    std::uint32_t damage_ = 0;
    bool drawn_ = false;
    int bitsPerPixel_ = 0;
    bool lsbFirst_ = true;
    std::uint32_t channelMasks_[3] = {};  // red, green, blue
    // Every mapping seen, in order. The server hands out the ids of windows
    // that are gone again, to later programs: a mapping, not an id, is what
    // is handed out once and what goes.
    struct Mapping {
        WindowId window;
        Clock::time_point at;
        bool handedOut = false;
        bool gone = false;
    };
    std::vector<Mapping> mapped_;
    const Mapping& latest(WindowId window) const;
    std::map<std::string, std::uint32_t> atoms_;
};

}  // namespace e2e
