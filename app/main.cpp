#include "forms/application.h"
#include "play.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (const auto problem = forms::Application::unusableDisplay(argc, argv)) {
        std::cerr << *problem;
        return 2;
    }
    forms::Application application(argc, argv, {"Varnel", "1.00", ":/assets/varnel.ico"});
    varnel::play window(application.runtime());
    return application.run(window);
}
