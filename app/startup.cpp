#include "startup.h"

#include "forms/application.h"
#include "play.h"

#include <iostream>

namespace varnel {

int start(int argc, char** argv, const std::function<void(play&)>& opened)
{
    if (const auto problem = forms::Application::unusableDisplay(argc, argv)) {
        std::cerr << *problem;
        return 2;
    }
    forms::Application application(argc, argv, {"Varnel", "1.00", ":/assets/varnel.ico"});
    play window(application.runtime());
    if (opened)
        opened(window);
    return application.run(window);
}

}  // namespace varnel
