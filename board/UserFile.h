#pragma once

#include "store/TVurnaDataRec.h"

// The user status file (member file name + ".vrn"): twelve values, each between double
// quotes, one per line group, CR LF between lines and none after the last. There is no
// escaping; a value is everything between the first and the last double quote of its lines.

// Fills the record's twelve file fields from the file text. Fields for which the text holds
// no value keep the value they had.
void ParseUserFile(const QByteArray& text, TVurnaDataRec& record);

// The twelve values of `record` in file layout, written as they are.
QByteArray BuildUserFileText(const TVurnaDataRec& record);

// The group as every copy compares it: trimmed, in full-width upper case; "未設定" when empty.
QByteArray NormaliseGroup(const QByteArray& group);

// A decimal number as the file and the change stamp carry it: optional blanks, an optional
// sign and digits, ended by any other character; 0 when there are no digits or it overflows.
qint32 ParseDecimal(const QByteArray& text);

// A number value of the user status file: the whole trimmed text must be an optional sign
// and digits; anything else (also "2x" or "1.5") reads as 0.
qint32 ParseWholeNumber(const QByteArray& text);
