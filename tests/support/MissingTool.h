#pragma once

#include <QtGlobal>
#include <gtest/gtest.h>

namespace vorlix::test {

// Set where scripts/install-deps has run, as in CI and on the fresh root.
[[nodiscard]] inline bool everyToolIsPromised()
{
    return qEnvironmentVariableIntValue("VORLIX_REQUIRE_TOOLS") != 0;
}

}

// Ends a test that needs a program or package the machine lacks: a skip on a developer's machine,
// a failure where every tool was promised, so that a missing install step cannot pass as a skip.
#define VORLIX_SKIP_WITHOUT_TOOL(reason)                                                           \
    do {                                                                                           \
        if (::vorlix::test::everyToolIsPromised())                                                 \
            GTEST_FAIL() << (reason);                                                              \
        GTEST_SKIP() << (reason);                                                                  \
    } while (false)
