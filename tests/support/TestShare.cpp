#include "support/TestShare.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray sjis(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(char(b));
    return out;
}

QByteArray userFileText(const QList<QByteArray>& values)
{
    QByteArray text;
    for (const QByteArray& v : values) {
        if (!text.isEmpty())
            text += "\r\n";
        text += '"' + v + '"';
    }
    return text;
}

QByteArray cp932(const QString& text)
{
    const Cp932::Encoded e = Cp932::fromUnicode(text);
    EXPECT_TRUE(e.ok) << "no CP932 form: " << text.toStdString();
    return e.bytes;
}

TestShare::TestShare(const QString& subdir)
{
    m_real = m_dir.path() + QLatin1Char('/') + subdir + QLatin1Char('/');
    QDir().mkpath(m_real);
}

QByteArray TestShare::dataSource() const
{
    // As the program holds a share in memory: this system's separators, names upper-cased.
    return SjisText::upperCase(Cp932::fromUnicodeLossy(QDir::toNativeSeparators(m_real)));
}

void TestShare::writeBytes(const QString& name, const QByteArray& bytes) const
{
    QFile f(m_real + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray TestShare::readBytes(const QString& name) const
{
    QFile f(m_real + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TestShare::exists(const QString& name) const
{
    return QFile::exists(m_real + name);
}
