// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cstringarray.h"

#include "framework/cinvalidargexception.h"

qsizetype CStringArray::Add(const QString& item)
{
    m_items.append(item);
    return m_items.size() - 1;
}

void CStringArray::CheckIndex(qsizetype index) const
{
    if (index < 0 || index >= m_items.size())
        throw CInvalidArgException();
}

const QString& CStringArray::GetAt(qsizetype index) const
{
    CheckIndex(index);
    return m_items.at(index);
}

QString& CStringArray::ElementAt(qsizetype index)
{
    CheckIndex(index);
    return m_items[index];
}

void CStringArray::RemoveAt(qsizetype index, qsizetype count)
{
    if (count < 0 || index < 0 || index + count > m_items.size())
        throw CInvalidArgException();
    m_items.remove(index, count);
}
