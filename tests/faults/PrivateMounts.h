#pragma once

#include <QString>

// Why this test program has no mounts of its own (empty when it has): main() leaves the
// machine's mount namespace before anything else runs, so the cases may mount over their
// temporary shares without anyone else seeing it.
QString PrivateMountsRefusal();

// Mounts over the folder `path`; each returns an empty string or the reason it failed.
QString MountSmallDisk(const QString& path, const char* size);
QString MountReadOnlyOverItself(const QString& path);
QString Unmount(const QString& path);
