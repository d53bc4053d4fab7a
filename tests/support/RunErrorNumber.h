#pragma once

#include "shell/RunError.h"

#include <utility>

namespace vorlix::test {

// The run-time error number a call raises, 0 when it raises none.
template <typename F> int errorNumberOf(F&& call)
{
    try {
        std::forward<F>(call)();
    } catch (const shell::RunError& error) {
        return error.number();
    }
    return 0;
}

}
