#pragma once

// What every benchmark program needs to lay out a share and read its timings.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include "platform/Cp932.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace BenchFiles {

// A user status file's text: each value in double quotes, CR LF between them, none after
// the last.
inline QByteArray QuotedLines(const QList<QByteArray>& values)
{
    QByteArray text;
    for (const QByteArray& v : values)
        text += (text.isEmpty() ? "\"" : "\r\n\"") + v + '"';
    return text;
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::printf("cannot write %s\n", qPrintable(path));
}

// The board sizes named on the command line, or `defaults` when none is.
inline std::vector<int> BoardSizes(int argc, char** argv, std::vector<int> defaults)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    return sizes.empty() ? defaults : sizes;
}

// The value below which the fraction `p` (0..1) of the samples lie; 0.5 is the median.
inline double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(double(v.size()) * p))];
}

// A member as offices fill them in: a third are out with a two-line destination and a return
// time, and every fourth has stopped the program (a stop marker).
inline QByteArray MemberText(int i)
{
    const QByteArray n = QByteArray::number(i);
    const QByteArray reading = Cp932::fromUnicodeLossy(QStringLiteral("ﾔﾏﾀﾞ")) + n;
    const QByteArray name = Cp932::fromUnicodeLossy(QStringLiteral("山田太郎")) + n;
    const QByteArray group = Cp932::fromUnicodeLossy(QStringLiteral("営業第%1課").arg(i % 7));
    const QByteArray locate =
        i % 3 == 0 ? Cp932::fromUnicodeLossy(QStringLiteral("大阪支店\r\n打ち合わせ")) : QByteArray();
    const QByteArray date = i % 3 == 0 ? "2026/12/24" : "";
    QList<QByteArray> values{reading,
                             name,
                             group,
                             "1" + n,
                             locate,
                             date,
                             i % 3 == 0 ? "17:00" : "",
                             "090-0000-" + n,
                             "127.0.1." + QByteArray::number(i % 250),
                             "0",
                             "0",
                             ""};
    return QuotedLines(values);
}

inline void BuildShare(const QString& dir, int members)
{
    QDir().mkpath(dir);
    for (int i = 0; i < members; ++i) {
        const QString base = dir + QStringLiteral("/member%1").arg(i, 5, 10, QLatin1Char('0'));
        QFile f(base + QStringLiteral(".vrn"));
        f.open(QIODevice::WriteOnly);
        f.write(MemberText(i));
        if (i % 4 == 0) {
            QFile off(base + QStringLiteral(".off"));
            off.open(QIODevice::WriteOnly);
        }
    }
}

} // namespace BenchFiles
