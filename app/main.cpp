#include "shell/Log.h"
#include "shell/ModuleState.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    using namespace vorlix::shell;
    obtainStdOutHandle();
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vorlix %s\n", "0.1.0");
        return 0;
    }
    QCoreApplication app(argc, argv);
    WriteLog(QStringLiteral("Vorlix/Main>!!START!!"));
    std::fprintf(stderr, "vorlix: the window and the command-line modes are not built yet\n");
    EndApp();
    return 2;
}
