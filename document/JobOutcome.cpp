#include "document/JobOutcome.h"

namespace vorlix::document {

QString JobOutcome::outputProblem(const QString& target) const
{
    if (!outputFailed || status == Status::NoPrinter)
        return {};
    if (toFile)
        return target + QStringLiteral(": 書き込めませんでした")
            + (outputError.isEmpty() ? QString() : QStringLiteral(" (") + outputError + u')');
    return target + QStringLiteral(": ") + outputError;
}

}
