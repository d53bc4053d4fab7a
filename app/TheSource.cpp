#include "app/TheSource.h"

#include "document/Source.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"

#include <memory>

namespace vorlix::app {

namespace {

    std::unique_ptr<document::Source>& theSource()
    {
        static std::unique_ptr<document::Source> source;
        return source;
    }

}

document::Source& createTheSource()
{
    // The old document ends (and writes its settings) before the new one reads them.
    theSource().reset();
    theSource() = std::make_unique<document::Source>();
    return *theSource();
}

document::Source& TheSource()
{
    return *theSource();
}

bool hasTheSource()
{
    return theSource() != nullptr;
}

void EndApp()
{
    theSource().reset();
    shell::moduleState().SettingsFile.reset();
    shell::WriteLog(QStringLiteral("Vorlix/Main>!!END!!"));
}

}
