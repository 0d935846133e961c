#pragma once

#include <QByteArray>
#include <QList>

// The members picked on the board, by FileName, so a pick survives a member moving to
// another cell. Kept sorted: the board asks "is this one picked?" for every cell it paints.
// The placeholder's empty name is never picked.
class BoardSelection
{
public:
    enum class Mode {
        Select,
        Deselect,
        Toggle,
    };

    bool IsSelected(const QByteArray& fileName) const;
    void SetSelected(const QByteArray& fileName, Mode mode = Mode::Select);
    void Clear() { m_fileNames.clear(); }
    bool IsEmpty() const { return m_fileNames.isEmpty(); }
    // The picked FileNames, sorted.
    const QList<QByteArray>& FileNames() const { return m_fileNames; }

private:
    QList<QByteArray> m_fileNames;
};
