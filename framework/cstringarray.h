// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A growable array of strings indexed from 0; an index outside it raises CInvalidArgException.

#include <QString>
#include <QStringList>

class CStringArray {
public:
    qsizetype GetSize() const { return m_items.size(); }
    qsizetype GetCount() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.isEmpty(); }
    qsizetype Add(const QString& item);
    const QString& GetAt(qsizetype index) const;
    QString& ElementAt(qsizetype index);
    const QString& operator[](qsizetype index) const { return GetAt(index); }
    QString& operator[](qsizetype index) { return ElementAt(index); }
    void SetAt(qsizetype index, const QString& item) { ElementAt(index) = item; }
    void RemoveAt(qsizetype index, qsizetype count = 1);
    void RemoveAll() { m_items.clear(); }
    const QStringList& items() const { return m_items; }

private:
    void CheckIndex(qsizetype index) const;
    QStringList m_items;
};
