#pragma once

#include "lang/ValueFormat.h"

#include <QString>
#include <vector>

namespace vorlix::lang {

// Cuts a format code into the sections and items of a ValueFormat and settles what each section
// is: a date, or a number whose digit places, grouping, decimals and scaling it counts.
class FormatCodeReader {
public:
    struct Read {
        std::vector<ValueFormat::Section> sections;
        bool date = false;
        bool gannen = false;
        // What cannot be read; empty when the code was read.
        QString error;
    };

    [[nodiscard]] static Read read(const QString& code);
};

}
