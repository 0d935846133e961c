#include "board/EFileIOError.h"

#include "platform/Cp932.h"

namespace {
QString loadMessage(const QByteArray& fileName)
{
    return QStringLiteral("次のユーザーファイルのロード中に問題が発生しました。(%1)").arg(Cp932::toUnicode(fileName));
}
} // namespace

EFileIOError::EFileIOError(const QByteArray& fileName)
    : std::runtime_error(loadMessage(fileName).toStdString()), m_message(loadMessage(fileName))
{
}
