#pragma once

#include <QIODevice>
#include <QString>

#include <functional>

// Copies everything `from` still has into `to`; the number of bytes copied, or -1 when a read or
// a write failed. Replaceable so that a test can break a copy half-way.
using ByteCopy = std::function<qint64(QIODevice& from, QIODevice& to)>;

qint64 CopyAllBytes(QIODevice& from, QIODevice& to);

// Replaces the program file `destination` with a copy of `source`. The copy is written beside the
// destination and renamed over it only once it is complete, so a failure at any point leaves the
// old program whole and removes the partial copy. The new file keeps the old one's permissions
// and can be run by everyone who can read it. False when the destination was left as it was.
// With `expectedSha256` (lower-case hex) the bytes written must have that digest, or nothing is
// replaced: the board program logged that digest as the build it hands over.
bool ReplaceProgram(const QString& source, const QString& destination, const ByteCopy& copy = CopyAllBytes,
                    const QByteArray& expectedSha256 = {});
