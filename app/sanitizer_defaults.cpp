// The sanitizer build's own settings, read by the AddressSanitizer and
// UndefinedBehaviorSanitizer runtimes at start-up: a program of this build
// checks as strictly, and ends with the same status, whether the test suite
// starts it or a player does. ASAN_OPTIONS, UBSAN_OPTIONS and LSAN_OPTIONS
// still add to these or override them.
//
// Only the desktop's own libraries are excused below, each for what it does
// on every desktop whatever program loads it; nothing of ours is.

#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>

extern "C" {

// Declared by no public header, but read by the runtime like the rest.
const char* __asan_default_suppressions();
const char* __ubsan_default_options();

const char* __asan_default_options()
{
    return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:print_suppressions=0";
}

const char* __asan_default_suppressions()
{
    // The xcb platform's keymap code copies atom names out of X replies with
    // strndup; the names are not NUL-terminated, which strndup allows but
    // strict_string_checks reports.
    return "interceptor_via_lib:libxkbcommon-x11.so\n";
}

const char* __lsan_default_suppressions()
{
    // With no session bus, Qt's D-Bus client has the D-Bus library try to
    // start one; where that fails, the library never frees the buffer it
    // read the attempt's answer into.
    return "leak:libdbus-1.so\n";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
}
