// Program entry: hands over to the application shell.
#include "startup.h"

int main(int argc, char** argv)
{
    return runVarnel(argc, argv);
}
