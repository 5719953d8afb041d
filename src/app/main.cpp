// Hexagonal Life: the program.
#include "app/start_up.h"

int main(int argc, char** argv)
{
    return hexlife::StartProgram(argc, argv);
}
