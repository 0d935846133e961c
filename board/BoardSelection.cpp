#include "board/BoardSelection.h"

#include <algorithm>

bool BoardSelection::IsSelected(const QByteArray& fileName) const
{
    return std::binary_search(m_fileNames.cbegin(), m_fileNames.cend(), fileName);
}

void BoardSelection::SetSelected(const QByteArray& fileName, Mode mode)
{
    if (fileName.isEmpty())
        return;
    const auto at = std::lower_bound(m_fileNames.begin(), m_fileNames.end(), fileName);
    const bool selected = at != m_fileNames.end() && *at == fileName;
    const bool wanted = mode == Mode::Select || (mode == Mode::Toggle && !selected);
    if (wanted && !selected)
        m_fileNames.insert(at, fileName);
    else if (!wanted && selected)
        m_fileNames.erase(at);
}
