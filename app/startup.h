#pragma once

#include <functional>

namespace varnel {

class play;

// The program as a player starts it: refuses, with status 2, a display that
// the game window cannot open on; else shows the game window and runs until
// the program ends. `opened`, when given, is called with the window built,
// before any event of the run. Returns the exit status.
int start(int argc, char** argv, const std::function<void(play&)>& opened = {});

}  // namespace varnel
