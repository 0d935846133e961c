#pragma once

#include <QString>

// Where a folder lies on the network. A Windows PC may reach the board's shared directory through
// a mapped drive ("Z:\VURNA\") while the settings name the server ("\\SERVER\SHARE\VURNA\"); both
// spellings must be recognised as one folder.
namespace NetworkPath {

// `path` with the mapped drive it starts with replaced by the server share the drive stands for
// ("Z:\VURNA" -> "\\SERVER\SHARE\VURNA"); unchanged when it is not on a mapped drive, and always
// on Linux, where a mount is reached by one path.
QString UniversalForm(const QString& path);

} // namespace NetworkPath
