// The built program on displays that it cannot use, and on unusual ones that
// it can: a refusal is one plain line, how to play on a virtual server
// instead, and status 2, never Qt's abort or a window that shows nothing.
// And its window, whatever size a client asks for, grows no larger than the
// table it shows.

#include "game.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <random>

namespace {

using namespace e2e;

const QString game = QStringLiteral(VARNEL_GAME);

QString caseName()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromLatin1(test->test_suite_name()).replace(QLatin1Char('/'), QLatin1Char('.')) + QLatin1Char('.') +
           QString::fromLatin1(test->name()).replace(QLatin1Char('/'), QLatin1Char('.'));
}

// The name of the local socket of display ":N" (in the abstract namespace),
// bound here and never listened on. A server that picks its own number
// (-displayfd) takes the first whose local socket it can bind, so none takes
// this one while it is held; a client's connection to it is refused, as if
// nothing were there.
class LocalName {
public:
    explicit LocalName(const QString& display)
    {
        const QByteArray name = "/tmp/.X11-unix/X" + display.mid(1).toLatin1();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(name.size()));
        socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket_ >= 0 && ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
            ::close(socket_);
            socket_ = -1;
        }
    }
    ~LocalName()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    LocalName(const LocalName&) = delete;
    LocalName& operator=(const LocalName&) = delete;

    // False when another (a running server) has it.
    bool held() const { return socket_ >= 0; }

private:
    int socket_ = -1;
};

QString socketFile(const QString& display)
{
    return QStringLiteral("/tmp/.X11-unix/X") + display.mid(1);
}

// A display whose server was killed: its socket file is left behind and
// nothing answers there. Its local name is held, so that no other server
// takes the number while the case runs.
class KilledServer {
public:
    KilledServer()
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            VirtualScreen screen;
            screen.crash();
            // Another server may have taken the number in the meantime.
            name_ = std::make_unique<LocalName>(screen.display());
            if (name_->held() && QFileInfo::exists(socketFile(screen.display()))) {
                display_ = screen.display();
                return;
            }
        }
        throw XError("no killed server's display could be held");
    }
    ~KilledServer() { QFile::remove(socketFile(display_)); }
    KilledServer(const KilledServer&) = delete;
    KilledServer& operator=(const KilledServer&) = delete;

    const QString& display() const { return display_; }

private:
    std::unique_ptr<LocalName> name_;
    QString display_;
};

enum class Server { none, killed, eightBit };

struct Refusal {
    const char* name;
    Server server;
    const char* display;        // DISPLAY: nullptr unsets it, "%1" is the server's
    const char* platform;       // QT_QPA_PLATFORM: nullptr when the player names none
    bool waylandSession;        // WAYLAND_DISPLAY set, with no compositor behind it
    const char* says;           // a pattern for the one line; "%1" is the display
    bool asAnArgument = false;  // the display given as "-display", DISPLAY unset
};

void PrintTo(const Refusal& refusal, std::ostream* out)
{
    *out << refusal.name;
}

const Refusal refusals[] = {
    {"aNameThatIsNoDisplay", Server::none, "garbage", nullptr, false,
     R"(^The display name "garbage" names no X display)"},
    {"aTcpPortWithNoServer", Server::none, "localhost:873", nullptr, false,
     "^No X server answers on display localhost:873,"},
    {"theSocketOfAKilledServer", Server::killed, "%1", nullptr, false, "^No X server answers on display %1,"},
    {"anEightBitScreen", Server::eightBit, "%1", nullptr, false,
     "^Display %1 has a screen of 256 colours .* needs 15 bits or more,"},
    {"xcbNamedWithANameThatIsNoDisplay", Server::none, "garbage", "xcb", false,
     R"(^The display name "garbage" names no X display)"},
    {"aWaylandSessionWithNoCompositor", Server::none, nullptr, nullptr, true,
     "^No display found: DISPLAY is not set, and .*the Wayland display wayland-0"},
    {"aDisplayNamedOnTheCommandLine", Server::none, "localhost:873", nullptr, false,
     "^No X server answers on display localhost:873,", true},
};

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, InOneLineWithHowToPlayOnAVirtualServerAndStatusTwo)
{
    const Refusal& refusal = GetParam();
    std::optional<KilledServer> killed;
    std::optional<VirtualScreen> screen;
    QString server;
    if (refusal.server == Server::killed)
        server = killed.emplace().display();
    if (refusal.server == Server::eightBit) {
        ScreenSetup eightBits;
        eightBits.depth = 8;
        server = screen.emplace(eightBits).display();
    }

    const QString display =
        QString::fromLatin1(refusal.display ? refusal.display : "").replace(QStringLiteral("%1"), server);
    QProcessEnvironment environment = programEnvironment(display);
    if (!refusal.display || refusal.asAnArgument)
        environment.remove(QStringLiteral("DISPLAY"));
    if (refusal.platform)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(refusal.platform));
    else
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QTemporaryDir runtime;
    if (refusal.waylandSession) {
        ASSERT_TRUE(runtime.isValid());
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
    }

    // Killed when the case ends, however it ends.
    QProcess program;
    dieWithParent(program);
    program.setProcessEnvironment(environment);
    program.setStandardInputFile(QProcess::nullDevice());
    program.setStandardOutputFile(QProcess::nullDevice());
    program.start(game, refusal.asAnArgument ? QStringList{QStringLiteral("-display"), display} : QStringList{});
    const bool ended = program.waitForFinished(static_cast<int>(exitTimeout.count()));
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    ASSERT_TRUE(ended) << "the program did not end; it said:\n" << said.left(2000).toStdString();
    ASSERT_EQ(program.exitStatus(), QProcess::NormalExit) << said.toStdString();
    EXPECT_EQ(program.exitCode(), 2) << said.toStdString();

    const QStringList lines = said.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << "one line, then two of how to play, and nothing else:\n" << said.toStdString();
    const QRegularExpression says(QString::fromLatin1(refusal.says).replace(QStringLiteral("%1"), server));
    EXPECT_TRUE(says.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(", so the game window cannot open."))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("To play without a screen"))) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("    xvfb-run -a -s '-screen 0 1280x1024x24' ") + game);
    EXPECT_TRUE(lines[3].isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Displays, Refused, ::testing::ValuesIn(refusals),
                         [](const auto& test) { return std::string(test.param.name); });

struct Unusual {
    const char* name;
    int depth;
    bool tcpOnly;
};

void PrintTo(const Unusual& unusual, std::ostream* out)
{
    *out << unusual.name;
}

const Unusual unusual[] = {
    {"aSixteenBitScreen", 16, false},
    {"aFifteenBitScreen", 15, false},
    {"aServerOnATcpPortOnly", 24, true},
};

// A server of the case's own. One on TCP only gets a number far above
// those that servers pick for themselves, and holds its local name: a
// client of ":N", which tries the local sockets first, reaches it and no
// other.
struct OwnScreen {
    explicit OwnScreen(ScreenSetup setup)
    {
        if (!setup.tcpOnly) {
            screen = std::make_unique<VirtualScreen>(setup);
            return;
        }
        std::mt19937 pick(std::random_device{}());
        for (int attempt = 0; attempt < 16; ++attempt) {
            setup.number = std::uniform_int_distribution(1000, 5000)(pick);
            try {
                // Ends at once when another server has the number's port.
                screen = std::make_unique<VirtualScreen>(setup);
            } catch (const XError&) {
                continue;
            }
            name = std::make_unique<LocalName>(screen->display());
            if (name->held())
                return;
        }
        throw XError("no display number was free for a TCP-only server");
    }

    std::unique_ptr<VirtualScreen> screen;
    std::unique_ptr<LocalName> name;
};

class Accepted : public ::testing::TestWithParam<Unusual> {};

TEST_P(Accepted, TheTableIsDrawnInItsColoursAndDrawEndsTheProgram)
{
    ScreenSetup setup;
    setup.depth = GetParam().depth;
    setup.tcpOnly = GetParam().tcpOnly;
    const OwnScreen own(setup);
    const VirtualScreen& screen = *own.screen;
    XClient x(screen.display());
    const Layout layout(QStringLiteral(VARNEL_LAYOUT));
    // As a player starts it, naming no platform; up once the window is on
    // screen with its menu bar drawn.
    QProcessEnvironment environment = programEnvironment(screen.display());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    Game program(x, screen.display(), layout, game,
                 QDir::current().absoluteFilePath(caseName() + QStringLiteral(".stderr")), environment);

    const Faults faults = program.expectSoon([&](const QImage& shot, Faults& found) {
        const auto expect = [&](const char* control, bool (*is)(QRgb), double atLeast, const char* what) {
            const double s = share(shot, layout.box(QString::fromLatin1(control)), is);
            if (s < atLeast)
                found << QStringLiteral("%1 %2 (%3% of it)")
                             .arg(QString::fromLatin1(control), QString::fromLatin1(what))
                             .arg(s * 100, 0, 'f', 1);
        };
        expect("deal", isPink, 0.6, "has its pink face");
        expect("c1", isWhite, 0.9, "is a white square");
        expect("i1", isGold, 0.25, "shows a gold coin");
    });
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();

    program.clickMenu(QStringLiteral("Draw"));
    EXPECT_EQ(program.waitForExit(), 0);
    EXPECT_FALSE(program.errors().contains(QStringLiteral("QPainter"))) << program.errors().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Displays, Accepted, ::testing::ValuesIn(unusual),
                         [](const auto& test) { return std::string(test.param.name); });

// The resident memory of a process, in KiB.
long residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        throw XError("cannot read the status of process " + std::to_string(pid));
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    throw XError("no VmRSS in the status of process " + std::to_string(pid));
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// No window manager keeps the window to its size hints here: each request
// reaches the program as it was made.
TEST(TheWindow, GrowsNoLargerThanTheTableHoweverLargeItIsAskedToBeAndKeepsItsMemory)
{
    VirtualScreen screen;
    XClient x(screen.display());
    const Layout layout(QStringLiteral(VARNEL_LAYOUT));
    Game program(x, screen.display(), layout, game,
                 QDir::current().absoluteFilePath(caseName() + QStringLiteral(".stderr")));
    const WindowId window = program.window();
    const QSize full = x.geometry(window).size();
    EXPECT_EQ(program.client().size(), QSize(1003, 724)) << "the table's own size";
    const long before = residentKiB(program.pid());

    struct Request {
        QSize asked;
        QSize given;
    };
    const Request requests[] = {
        {{800, 600}, {800, 600}},
        {{1500, 500}, {full.width(), 500}},
        {{32767, 32767}, full},
    };
    for (const Request& request : requests) {
        runXdotool(screen.display(), {QStringLiteral("windowsize"), QString::number(window),
                                      QString::number(request.asked.width()), QString::number(request.asked.height())});
        EXPECT_TRUE(x.waitUntil([&] { return x.geometry(window).size() == request.given; }, Clock::now() + stepTimeout))
            << "asked for " << sizeText(request.asked).toStdString() << ", the window is "
            << sizeText(x.geometry(window).size()).toStdString() << ", wanted "
            << sizeText(request.given).toStdString();
    }

    // The game still plays, and has handled every request before this click.
    program.click(layout.box(QStringLiteral("i1")).center());
    const QRect spot = layout.boxAt(QStringLiteral("i1"), 6360, 6360);
    const Faults faults = program.expectSoon([&](const QImage& shot, Faults& found) {
        if (share(shot, spot, isGold) < 0.25)
            found << QStringLiteral("the coin i1 is not on the table");
    });
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();

    // A frame of the table takes 3 MiB; one of the largest request would
    // take 4 GiB.
    const long after = residentKiB(program.pid());
    EXPECT_LT(after, before + 64 * 1024) << "resident " << before << " KiB before the requests, " << after
                                         << " KiB after";
    std::cout << "resident memory: " << before << " KiB before the requests, " << after << " KiB after\n";
}

}  // namespace
