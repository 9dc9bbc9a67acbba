#pragma once

#include <memory>
#include <optional>
#include <string>

namespace forms {

class Form;
class Runtime;

// The program around the start-up form: the Qt application, the runtime and
// the event loop.
class Application {
public:
    struct Info {
        std::string title;    // application and window title
        std::string version;  // "1.00"
        std::string icon;     // resource path of the window icon
    };

    Application(int& argc, char** argv, const Info& info);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Runtime& runtime();

    // Loads and shows the start-up form, then runs the event loop until the
    // program ends; returns the exit status.
    int run(Form& startup);

    // Finds where the program's window can open, before the Qt application
    // is made: on the platform that the command line (-platform) or
    // QT_QPA_PLATFORM names, else on the X display that answers with a screen
    // it can draw on, else on a Wayland compositor, which Qt is then set to
    // use. When there is none, returns why, in one line, with how to play on
    // a virtual X server instead.
    static std::optional<std::string> unusableDisplay(int argc, const char* const* argv);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace forms
