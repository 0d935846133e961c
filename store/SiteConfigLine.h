#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The pieces that read one line of a site configuration file. The format is deliberately
// loose: a directive is recognised by its keyword anywhere in the line and each value is the
// first KEY= found anywhere in it, so these helpers search rather than parse.
namespace SiteConfigLine {

// The file's text as lines: split at line feeds with a carriage return before one dropped,
// so a file saved with bare line feeds reads the same. A final line break ends the last
// line rather than starting an empty one.
QList<QByteArray> SplitLines(const QByteArray& text);

// Cuts the comment (from the first apostrophe on, quotes notwithstanding) and trims blanks
// and control characters at both ends.
QByteArray PrepareLine(const QByteArray& line);

// The value of `key` (which includes its "=") in `line`, found without regard to letter
// case: quoted, it runs to the next double quote (empty when there is none); otherwise to
// the first comma, blank, tab or other control character. Empty when the key is absent.
QByteArray TakeValue(const QByteArray& line, const QByteArray& key);

// The value that starts after the first comma of the line (blanks after the comma skipped),
// under the same rules as a KEY= value; empty when the line has no comma.
QByteArray ValueAfterFirstComma(const QByteArray& line);

// Whether the upper-cased `line` contains `word` on a character boundary.
bool Contains(const QByteArray& upperLine, const QByteArray& word);

// Whole decimal integer with an optional sign that fits in 32 bits.
std::optional<qint32> ParseInteger(const QByteArray& text);

} // namespace SiteConfigLine
