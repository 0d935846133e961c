#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>

// CP932 bytes written out by hand: sjis({0x83, 0x5C}) is ソ.
QByteArray sjis(std::initializer_list<int> bytes);

// The text of a user status file written by hand: each value in quotes, CR LF between them,
// none after the last. Kept apart from the program's own writer so tests check its bytes.
QByteArray userFileText(const QList<QByteArray>& values);

// Text typed in a test (UTF-8 source) as CP932 bytes; fails the test when it has no CP932 form.
QByteArray cp932(const QString& text);

// Writes `bytes` to the file at `path` (a real path), making its folders; fails the test when
// it cannot. readFile gives "<missing>" for a file that cannot be read.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A shared directory in a temporary folder. Paths handed to the code under test are the
// in-memory form: CP932 bytes, upper-cased, ending in the separator.
class TestShare
{
public:
    explicit TestShare(const QString& subdir = QStringLiteral("share"));

    bool isValid() const { return m_dir.isValid(); }
    // The real directory on disk, ending in '/'.
    QString realPath() const { return m_real; }
    // The directory as the program holds it: upper-cased CP932 with a trailing separator.
    QByteArray dataSource() const;

    // Writes raw bytes to a file named `name` (UTF-8 on disk) inside the share.
    void writeBytes(const QString& name, const QByteArray& bytes) const;
    QByteArray readBytes(const QString& name) const;
    bool exists(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_real;
};
