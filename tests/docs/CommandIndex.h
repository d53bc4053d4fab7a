#pragma once

#include <QString>

namespace vorlix::test {

// The command index of the manual, made from the command list: one table per family with each
// word (linked to its section of the reference), its arguments and its summary.
class CommandIndex {
public:
    // The English index for the reference page itself ("#cmd-h" links).
    [[nodiscard]] static QString english();
    // The Japanese index for the Japanese tutorial (links into the reference page).
    [[nodiscard]] static QString japanese();
};

}
