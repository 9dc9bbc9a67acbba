#include "startup.h"

int main(int argc, char** argv)
{
    return varnel::start(argc, argv);
}
