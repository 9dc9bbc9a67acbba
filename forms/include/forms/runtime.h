#pragma once

#include "forms/chance.h"
#include "forms/errors.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>

namespace forms {

class Form;

// What every handler may ask of the platform beyond its own form's controls:
// the clock and the random generator, the message box, the default instances
// of forms, ending the program, and the error report. One Runtime serves the
// whole program; it needs a running Qt application.
class Runtime {
public:
    explicit Runtime(std::string title);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // The clock and the generator can be replaced, by tests in particular.
    void setClock(std::unique_ptr<Clock> clock);
    void setRandom(std::unique_ptr<RandomGenerator> random);

    float secondsSinceMidnight() { return clock_->secondsSinceMidnight(); }
    void reseedRandom(float seed) { random_->reseed(seed); }
    // The generator's next number, from 0 up to but not including 1.
    float nextRandomFraction() { return random_->next(); }

    // A modal box with the text and one OK button, no icon; with no title
    // given it carries the application's title. Returns when dismissed.
    void msgBox(const std::string& text, const std::string& title = {});

    // The form of class F that the program shares: created on first use,
    // kept until the runtime goes.
    template <class F>
    F& defaultInstance()
    {
        auto& slot = instances_[std::type_index(typeid(F))];
        if (!slot)
            slot = std::make_unique<F>(*this);
        return static_cast<F&>(*slot);
    }

    // Runs one event's handler. An error escaping it is reported and ends the
    // program with a non-zero status; once the program has ended no handler
    // runs any more.
    void dispatch(const std::function<void()>& handler);

    // Ends the program: no handler runs after this and the event loop stops.
    void end(int status = 0);
    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }

private:
    void report(const std::exception& error);

    std::string title_;
    std::unique_ptr<Clock> clock_;
    std::unique_ptr<RandomGenerator> random_;
    std::map<std::type_index, std::unique_ptr<Form>> instances_;
    bool ended_ = false;
    int exitStatus_ = 0;
};

// The exit status of a program ended by its error report.
inline constexpr int errorExitStatus = 1;

}  // namespace forms
