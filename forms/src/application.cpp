#include "forms/application.h"

#include "forms/form.h"
#include "forms/runtime.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>

#include <cstdlib>
#include <regex>

namespace forms {

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

std::optional<std::string> Application::missingDisplay(const std::string& program)
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value ? value : nullptr;
    };
    // Whoever names a platform (offscreen, vnc, ...) knows what they are doing.
    if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY"))
        return std::nullopt;
    const char* display = set("DISPLAY");
    const std::string howTo = "To play on a machine without a screen, run the game on a virtual X server:\n"
                              "    xvfb-run -a -s '-screen 0 1280x1024x24' " +
                              program + "\n";
    if (!display)
        return "No display found: DISPLAY is not set, so the game window cannot open.\n" + howTo;
    // A local display is a socket; if it is missing nobody will answer.
    std::cmatch match;
    if (std::regex_match(display, match, std::regex(R"(:(\d+)(\.\d+)?)")) &&
        !QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(QString::fromStdString(match[1].str()))))
        return std::string("No X server answers on display ") + display + ", so the game window cannot open.\n" + howTo;
    return std::nullopt;
}

}  // namespace forms
