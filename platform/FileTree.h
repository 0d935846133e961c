#pragma once

#include <QString>
#include <QStringList>

// Copy, move and delete of files and folder trees for parcels. Parcels come from other members
// and lie on a directory everyone can write to, so nothing here ever follows a link (a symbolic
// link; on Windows any reparse point, junctions too): a link met is left out (copy) or removed
// itself (delete). Every step below the starting path goes through a folder held open (POSIX:
// a descriptor that the next step opens from; Windows: a handle that forbids renaming or
// deleting the folder meanwhile), so a link swapped in during the walk cannot lead it outside.
// Paths are real paths on disk; names may be any Unicode.
namespace FileTree {

struct Result
{
    bool ok = true;
    QString error;            // what failed, for the status bar: plain text naming the failing path
    QStringList skippedLinks; // links met (the top level or inside a tree): never followed, left out
};

// Copies the file or folder `source` to `target`, which must not exist yet (its parent must):
// folders recursively, file contents, permission bits (Windows: attributes) and modification
// times. Links are left out and listed, as are other special files (FIFOs, devices, sockets),
// which hold no content.
// Each copied file's size is checked against the source. A `source` that is itself a link
// copies nothing and fails. On failure the partial target is removed and ok is false.
Result Copy(const QString& source, const QString& target);

// Moves `source` to `target` (which must not exist): a rename when both are on one file system,
// otherwise Copy, then Remove of the source. A failed copy leaves the source whole and no
// partial target. When the copy succeeded but the source cannot be removed, ok is false and
// the error says so; the target is then complete.
Result Move(const QString& source, const QString& target);

// Deletes a file, a link (the link itself, never its target) or a folder tree, whose links are
// unlinked, not followed. True when nothing is left at `path` (also when nothing was there).
bool Remove(const QString& path);

// A name not yet taken in `dir`: `name` itself, else "name (2)", "name (3)", ...; for a file
// name with an extension the number goes before it ("a (2).txt"); folders (isFolder) and names
// whose only dot leads (".profile") keep the whole name. Names compare without regard to
// letter case, as copies on Windows see them. Empty when no number up to a large bound is free.
QString FreeName(const QString& dir, const QString& name, bool isFolder);

// Creates the folder dir/name exclusively (of two processes racing, one gets the name and the
// other the next free one), or with the first free suffix " (2)", " (3)", ... when the
// name is taken. Creates missing parents of `dir` first. Returns the created path, empty on
// failure or for a name that is not one plain component.
QString CreateUniqueFolder(const QString& dir, const QString& name);

// Whether `path` lies strictly inside `root`: compared after removing "." and ".." lexically
// (relative paths are taken from the current folder; on Windows without regard to letter case),
// and no component below `root` down to `path`'s parent is a link on disk (components that do
// not exist are no links).
// `root` itself may be a link (a share mounted elsewhere); `path`'s last component may be one
// too, as callers act on the link itself. `root` is not inside itself.
bool IsInside(const QString& root, const QString& path);

} // namespace FileTree
