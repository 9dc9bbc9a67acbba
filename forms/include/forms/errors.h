#pragma once

#include <stdexcept>
#include <string>

namespace forms {

// The runtime's errors. Nothing in a handler catches them: they travel up to
// the event dispatch, which reports them and ends the program.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A 16-bit result fell outside -32768..32767.
class OverflowError : public RuntimeError {
public:
    OverflowError()
        : RuntimeError("Overflow")
    {}
};

// A property set or method call could not be carried out, for instance on a
// control whose form is not loaded.
class CallFailedError : public RuntimeError {
public:
    explicit CallFailedError(const std::string& detail)
        : RuntimeError("Method or property call failed: " + detail)
    {}
};

// A stored layout could not be read or does not describe a valid form.
class LayoutError : public RuntimeError {
public:
    explicit LayoutError(const std::string& detail)
        : RuntimeError("Bad window layout: " + detail)
    {}
};

}  // namespace forms
