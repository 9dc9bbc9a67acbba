#include "forms/application.h"

#include "forms/form.h"
#include "forms/runtime.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QPixmap>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

namespace forms {

namespace {

const char* variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// The value given to one of Qt's own options on the command line
// ("-platform xcb", "--platform xcb"); the last one counts, as for Qt.
const char* option(int argc, const char* const* argv, std::string_view name)
{
    const char* value = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--"))
            argument.remove_prefix(1);
        if (argument == name)
            value = argv[++i];
    }
    return value;
}

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

// Why the window cannot open on X display `name`, if it cannot: nobody
// answers there, or its screen has no colours that Qt can draw in.
std::optional<std::string> xProblem(const char* name)
{
    if (!name)
        return "no display found: DISPLAY is not set";
    int screenNumber = 0;
    const std::unique_ptr<xcb_connection_t, Disconnect> connection(xcb_connect(name, &screenNumber));
    const std::string display = name;
    switch (xcb_connection_has_error(connection.get())) {
    case 0:
        break;
    case XCB_CONN_ERROR:
        return "no X server answers on display " + display;
    case XCB_CONN_CLOSED_PARSE_ERR:
        return "the display name \"" + display + "\" names no X display (those read :0 or host:0)";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return "display " + display + " has no such screen";
    default:
        return "the connection to display " + display + " failed";
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return "display " + display + " has no such screen";
    const xcb_screen_t& screen = *screens.data;

    // Qt draws a window in the screen's own visual, into images of 15 bits
    // a pixel or more; on fewer, or on mapped colours, it paints nothing.
    if (screen.root_depth < 15)
        return "display " + display + " has a screen of " + std::to_string(1 << screen.root_depth) + " colours (" +
               std::to_string(screen.root_depth) + " bits a pixel), and the game needs 15 bits or more";
    std::uint8_t visualClass = 0;
    for (auto depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem; xcb_depth_next(&depths))
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals))
            if (visuals.data->visual_id == screen.root_visual)
                visualClass = visuals.data->_class;
    if (visualClass != XCB_VISUAL_CLASS_TRUE_COLOR && visualClass != XCB_VISUAL_CLASS_DIRECT_COLOR)
        return "display " + display + " has a screen of mapped colours, and the game needs a true-colour one";
    return std::nullopt;
}

bool hasWaylandPlugin()
{
    QStringList folders;
    if (const char* folder = variable("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << QString::fromLocal8Bit(folder);
    if (const char* path = variable("QT_PLUGIN_PATH"))
        for (const QString& folder : QString::fromLocal8Bit(path).split(QLatin1Char(':'), Qt::SkipEmptyParts))
            folders << folder + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    return std::any_of(folders.cbegin(), folders.cend(), [](const QString& folder) {
        return !QDir(folder).entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
    });
}

// Why the window cannot open on the session's Wayland compositor, if it
// cannot: Qt has no plugin for Wayland, or nothing listens on its socket.
std::optional<std::string> waylandProblem()
{
    const char* name = variable("WAYLAND_DISPLAY");
    const std::string where = std::string("the Wayland display ") + (name ? name : "wayland-0");
    if (!hasWaylandPlugin())
        return "Qt has no platform plugin for " + where + " (it comes in the package qt6-wayland)";
    std::string path = name ? name : "wayland-0";
    if (path.front() != '/') {
        const char* folder = variable("XDG_RUNTIME_DIR");
        if (!folder)
            return where + " cannot be found, as XDG_RUNTIME_DIR is not set";
        path = std::string(folder) + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "the socket of " + where + " has too long a name";
    path.copy(address.sun_path, path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers =
        socket >= 0 && ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0)
        ::close(socket);
    if (!answers)
        return "no compositor answers on " + where;
    return std::nullopt;
}

}  // namespace

struct Application::Impl {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<Runtime> runtime;
};

Application::Application(int& argc, char** argv, const Info& info)
    : impl_(std::make_unique<Impl>())
{
    QApplication::setApplicationName(QString::fromStdString(info.title));
    QApplication::setApplicationVersion(QString::fromStdString(info.version));
    impl_->app = std::make_unique<QApplication>(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromStdString(info.title).toLower());
    if (!info.icon.empty())
        QApplication::setWindowIcon(QIcon(QPixmap(QString::fromStdString(info.icon))));
    impl_->runtime = std::make_unique<Runtime>(info.title);
}

Application::~Application() = default;

Runtime& Application::runtime()
{
    return *impl_->runtime;
}

int Application::run(Form& startup)
{
    startup.show();
    if (impl_->runtime->ended())
        return impl_->runtime->exitStatus();
    const int status = QApplication::exec();
    return impl_->runtime->ended() ? impl_->runtime->exitStatus() : status;
}

std::optional<std::string> Application::unusableDisplay(int argc, const char* const* argv)
{
    const char* named = option(argc, argv, "-platform");
    if (!named)
        named = variable("QT_QPA_PLATFORM");
    const char* display = option(argc, argv, "-display");
    if (!display)
        display = variable("DISPLAY");

    std::vector<std::string> problems;
    if (named) {
        // Qt tries the named platforms in their order. One that is neither X
        // nor Wayland (offscreen, vnc, eglfs, ...) is the user's own choice.
        std::istringstream list(named);
        for (std::string platform; std::getline(list, platform, ';');) {
            platform = platform.substr(0, platform.find(':'));
            std::transform(platform.begin(), platform.end(), platform.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (platform.empty())
                continue;
            std::optional<std::string> problem;
            if (platform == "xcb")
                problem = xProblem(display);
            else if (platform.starts_with("wayland"))
                problem = waylandProblem();
            if (!problem)
                return std::nullopt;
            problems.push_back(*problem);
        }
        if (problems.empty())
            return std::nullopt;
    } else {
        auto problem = xProblem(display);
        if (!problem)
            return std::nullopt;
        problems.push_back(*problem);
        if (variable("WAYLAND_DISPLAY")) {
            problem = waylandProblem();
            if (!problem) {
                // Only the compositor answered: Qt is to use it, not the X
                // display that failed.
                qputenv("QT_QPA_PLATFORM", "wayland");
                return std::nullopt;
            }
            problems.push_back(*problem);
        }
    }

    std::string line;
    for (const std::string& problem : problems)
        line += (line.empty() ? "" : ", and ") + problem;
    line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    const std::string program = argc > 0 && argv[0] ? argv[0] : "varnel";
    return line + ", so the game window cannot open.\n" +
           "To play without a screen that the game can use, run it on a virtual X server:\n"
           "    xvfb-run -a -s '-screen 0 1280x1024x24' " +
           program + "\n";
}

}  // namespace forms
