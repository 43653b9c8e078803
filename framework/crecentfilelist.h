// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The recent-file list: the last opened paths, most recent first, kept in the settings under
// one section ("File1" ... "FileN"). A path whose name is not UTF-8 is stored twice: readable
// under its key, with U+FFFD for the bytes UTF-8 cannot show (as other programs read it), and
// byte for byte, percent-encoded, under the key with "Bytes" added ("File1Bytes"), which
// readers that do not know it pass over.

#include <QString>
#include <QStringList>

class QSettings;

class CRecentFileList {
public:
    CRecentFileList(const QString& section, const QString& entryFormat, int size);

    void Add(const QString& path);
    void Remove(int index);
    int GetSize() const { return int(m_paths.size()); }
    int GetMaxSize() const { return m_nSize; }
    QString operator[](int index) const { return m_paths.value(index); }

    // Reading a damaged settings file gives an empty list; failures to write are ignored.
    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;

private:
    QString m_strSection;
    QString m_strEntryFormat;
    int m_nSize;
    QStringList m_paths;
};
