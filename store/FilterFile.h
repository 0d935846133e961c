#pragma once

#include "platform/FileText.h"
#include "store/ParmRec.h"

#include <QByteArray>

// The member's filter file (FileName + ".ftr"): per board, the personal custom group and the
// group and status filter state, kept from one run to the next. Six lines per board in
// board order; the own board's section is headed "[MyDirectory]", the others' by their
// shared directory.
namespace FilterFile {

constexpr char Extension[] = ".ftr";
constexpr char OwnBoardHeader[] = "[MyDirectory]";
constexpr char ShareGroupHeader[] = "[ShareCustomGroup]";

// The whole file text for the filter state of `boards`.
QByteArray Build(const ParmRecList& boards);

// Writes the file whole; nothing when the path has no file name (a member without a
// FileName). Returns whether the file was written.
bool Write(const QByteArray& path, const ParmRecList& boards, const RetryPolicy& policy = {});

// Applies the file's sections to the boards they name; false when the file does not exist.
bool Read(const QByteArray& path, ParmRecList& boards, const RetryPolicy& policy = {});

// Applies already read file text (see Read).
void Apply(const QByteArray& text, ParmRecList& boards);

// The member list that a group file defines: its second line, when its first line, trimmed,
// is "[MyDirectory]" or "[ShareCustomGroup]"; empty otherwise or when the file is missing.
QByteArray ReadGroupDefinition(const QByteArray& path, const RetryPolicy& policy = {});

} // namespace FilterFile
