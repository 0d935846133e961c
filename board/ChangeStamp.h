#pragma once

#include <QByteArray>

// The change stamp "timestmp.dat" in a shared directory: a counter and the bare name of the
// member file changed last, each on a line ended by CR LF.
namespace ChangeStamp {

inline const QByteArray fileName = "timestmp.dat";

struct Content
{
    qint32 counter = 0; // 0 when the file is missing, empty or not a number
    QByteArray name;    // everything after the first CR LF, trimmed
};

Content parse(const QByteArray& text);
QByteArray build(qint32 counter, const QByteArray& name);

// Increments the stamp beside the member file `fileName` (a path without extension) and names
// that member: the new counter, 0 when the name is empty (nothing to commit) and -1 when the
// stamp could not be written. File work only: it may run off the window's thread.
qint32 Commit(const QByteArray& fileName);

} // namespace ChangeStamp
