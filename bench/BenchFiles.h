#pragma once

// What every benchmark program needs to lay out a share and read its timings.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
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

// The value below which the fraction `p` (0..1) of the samples lie; 0.5 is the median.
inline double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(double(v.size()) * p))];
}

} // namespace BenchFiles
