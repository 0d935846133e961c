#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The program's version in the form the site configuration's VERSION= uses: major, a dot and the
// minor in two digits ("3.00"). Declared once, in the build's project(). On Windows the build
// writes it into the program file's version resource, and the file's own is what counts there:
// it is what Explorer shows an administrator and what a replaced program file brings along.
namespace ProgramVersion {

// The version this build was declared as.
QByteArray Built();

// The running program's version as the update check compares it; nothing when it cannot be read
// (on Windows: a program file without a version resource, or without a translation entry in it).
std::optional<QByteArray> Running();

// The running program's version for showing: Running(), or the build's own when that fails.
QByteArray Text();

// The ProductVersion that `programFile`'s version resource holds under its first translation;
// nothing when the file has none. Programs carry no such resource on Linux.
std::optional<QByteArray> FromResource(const QString& programFile);

} // namespace ProgramVersion
