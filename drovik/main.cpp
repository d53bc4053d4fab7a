#include "drovik/DrovikMain.h"

int main(int argc, char** argv)
{
    return vorlix::drovik::Main(argc, argv);
}
