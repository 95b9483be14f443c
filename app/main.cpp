#include "jeerforge.h"

int main(int argc, char **argv)
{
    return runJeerforge(argc, argv);
}
