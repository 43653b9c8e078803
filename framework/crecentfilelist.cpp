// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/crecentfilelist.h"

#include "platform/paths/localpath.h"

#include <QSettings>

namespace {
const QString kBytesSuffix = QStringLiteral("Bytes");
const QByteArray kKeptAsIs = QByteArrayLiteral("/");

// The path stored under `key`: its bytes when they are kept and the readable entry still shows
// them (another program may have written the entry since), else the readable entry itself.
QString StoredPath(QSettings& settings, const QString& key)
{
    const QString readable = settings.value(key).toString();
    const QVariant stored = settings.value(key + kBytesSuffix);
    if (!stored.isValid())
        return readable;
    const QByteArray bytes = QByteArray::fromPercentEncoding(stored.toString().toLatin1());
    return QString::fromUtf8(bytes) == readable ? LocalPath::decode(bytes) : readable;
}
} // namespace

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
        const QString path = StoredPath(settings, m_strEntryFormat.arg(i));
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const
{
    settings.beginGroup(m_strSection);
    settings.remove(QString());
    for (int i = 0; i < m_paths.size(); ++i) {
        const QString key = m_strEntryFormat.arg(i + 1);
        if (!LocalPath::hasEscapedBytes(m_paths[i])) {
            settings.setValue(key, m_paths[i]);
            continue;
        }
        const QByteArray bytes = LocalPath::encode(m_paths[i]);
        settings.setValue(key, QString::fromUtf8(bytes));
        settings.setValue(key + kBytesSuffix, QString::fromLatin1(bytes.toPercentEncoding(kKeptAsIs)));
    }
    settings.endGroup();
    settings.sync();
}
