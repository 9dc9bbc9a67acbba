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

    // Why no window could be opened here, with how to run `program` on a
    // virtual display instead; nothing when a display is there.
    static std::optional<std::string> missingDisplay(const std::string& program);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace forms
