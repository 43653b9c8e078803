// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/crecentfilelist.h"

#include <QSettings>

CRecentFileList::CRecentFileList(const QString& section, const QString& entryFormat, int size)
    : m_strSection(section), m_strEntryFormat(entryFormat), m_nSize(std::max(size, 0))
{
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty() || m_nSize == 0)
        return;
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > m_nSize)
        m_paths.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_paths.size())
        m_paths.removeAt(index);
}

void CRecentFileList::ReadList(QSettings& settings)
{
    m_paths.clear();
    if (settings.status() != QSettings::NoError)
        return;
    settings.beginGroup(m_strSection);
    for (int i = 1; i <= m_nSize; ++i) {
        const QString path = settings.value(m_strEntryFormat.arg(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const
{
    settings.beginGroup(m_strSection);
    settings.remove(QString());
    for (int i = 0; i < m_paths.size(); ++i)
        settings.setValue(m_strEntryFormat.arg(i + 1), m_paths[i]);
    settings.endGroup();
    settings.sync();
}
