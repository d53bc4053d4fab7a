#include "app/Main.h"

int main(int argc, char** argv)
{
    return vorlix::app::Main(argc, argv);
}
