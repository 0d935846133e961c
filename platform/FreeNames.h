#pragma once

#include <QString>

// The names tried for a file or folder that must not replace another of the same name: the name
// itself, then "name (2)", "name (3)", ... with the number before a file's extension ("a (2).txt");
// folders and names whose only dot leads (".profile") keep the whole name.
namespace FreeNames {

// Past this many numbered names something is wrong with the folder, not short of names.
inline constexpr int MaxNumber = 9999;

// The candidate numbered `n` (1 is the name as given).
QString Candidate(const QString& name, bool isFolder, int n);

} // namespace FreeNames
