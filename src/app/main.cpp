#include "app/program.h"

int main(int argc, char** argv)
{
    velmora::runProgram(argc, argv);
}
