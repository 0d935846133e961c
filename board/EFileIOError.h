#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

// A load of user status files stopped part-way. Carries the text the user sees.
class EFileIOError : public std::runtime_error
{
public:
    explicit EFileIOError(const QByteArray& fileName);

    // "次のユーザーファイルのロード中に問題が発生しました。(<file name>)"
    QString message() const { return m_message; }

private:
    QString m_message;
};
