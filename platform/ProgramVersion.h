#pragma once

#include <QByteArray>

// The version this program was built as, in the form the site configuration's VERSION= uses:
// major, a dot and the minor in two digits ("3.00"). Declared once, in the build's project().
namespace ProgramVersion {

QByteArray Text();

} // namespace ProgramVersion
