#include "shell/RunError.h"

namespace vorlix::shell {

RunError::RunError(int number, QString description, QString source)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_what(QString("%1: %2").arg(number).arg(m_description).toUtf8())
{
}

QString RunError::standardDescription(int number)
{
    switch (number) {
    case InvalidArgument:
        return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case Overflow:
        return QStringLiteral("オーバーフローしました。");
    case SubscriptOutOfRange:
        return QStringLiteral("インデックスが有効範囲にありません。");
    case DivisionByZero:
        return QStringLiteral("0 で除算しました。");
    case TypeMismatch:
        return QStringLiteral("型が一致しません。");
    case FileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    default:
        return {};
    }
}

RunError RunError::invalidArgument()
{
    return { InvalidArgument, standardDescription(InvalidArgument) };
}
RunError RunError::overflow()
{
    return { Overflow, standardDescription(Overflow) };
}
RunError RunError::subscriptOutOfRange()
{
    return { SubscriptOutOfRange, standardDescription(SubscriptOutOfRange) };
}
RunError RunError::divisionByZero()
{
    return { DivisionByZero, standardDescription(DivisionByZero) };
}
RunError RunError::typeMismatch()
{
    return { TypeMismatch, standardDescription(TypeMismatch) };
}
RunError RunError::fileNotFound()
{
    return { FileNotFound, standardDescription(FileNotFound) };
}

}
