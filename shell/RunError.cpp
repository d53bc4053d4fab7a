#include "shell/RunError.h"

#include <utility>

namespace vorlix::shell {

RunError::RunError(int number, QString description, QString source)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_what(QString("%1: %2").arg(number).arg(m_description).toUtf8())
{
}

RunError RunError::limitExceeded(const QString& what, std::int64_t size, const QString& unit)
{
    return { Overflow,
        what + QStringLiteral("が上限の %1 ").arg(size) + unit + QStringLiteral("を超えました。") };
}

QString RunError::standardDescription(int number)
{
    static const std::pair<int, const char16_t*> texts[] = {
        { InvalidArgument, u"プロシージャの呼び出し、または引数が不正です。" },
        { Overflow, u"オーバーフローしました。" },
        { SubscriptOutOfRange, u"インデックスが有効範囲にありません。" },
        { DivisionByZero, u"0 で除算しました。" },
        { TypeMismatch, u"型が一致しません。" },
        { FileNotFound, u"ファイルが見つかりません。" },
    };
    for (const auto& [known, text] : texts) {
        if (known == number)
            return QString::fromUtf16(text);
    }
    return {};
}

}
