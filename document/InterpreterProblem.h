#pragma once

#include <QString>

namespace vorlix::lang {
class DControl;
}

namespace vorlix::document {

// After a preview or print run: when the interpreter met an error or a warning, ends its job with
// endText and, when tell is set, tells the user ("Source/PrintGo>インタプリタエラー" or
// "...警告"). True when there was a problem.
bool reportInterpreterProblem(lang::DControl& control, const QString& endText, bool tell = true);

}
