// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/openfiledialog.h"

#include "platform/paths/localpath.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

#include <optional>

#include <dirent.h>
#include <sys/stat.h>

namespace {
Q_LOGGING_CATEGORY(lcOpen, "strevio.framework")

// The first regular file of `folder` in byte order, every byte kept; empty when it has none.
QString FirstFileIn(const QString& folder)
{
    const QByteArray native = LocalPath::encode(folder);
    DIR* listing = ::opendir(native.constData());
    if (!listing)
        return QString();
    std::optional<QByteArray> first;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        struct stat st {};
        if (::stat((native + '/' + name).constData(), &st) == 0 && S_ISREG(st.st_mode) && (!first || name < *first))
            first = name;
    }
    ::closedir(listing);
    return first ? folder + QLatin1Char('/') + LocalPath::decode(*first) : QString();
}
} // namespace

COpenFileDialog::COpenFileDialog(QWidget* parent) : QFileDialog(parent, QStringLiteral("Open"))
{
    setObjectName(QStringLiteral("openDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilter(QStringLiteral("All Files (*)"));
    // A folder whose name Qt cannot show lists as empty once entered: open it instead. Later,
    // once the dialog has finished entering it.
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
        if (!QFileInfo::exists(folder))
            QTimer::singleShot(0, this, [this, folder] { AcceptOnDisk(folder); });
    });
}

QString COpenFileDialog::GetPickedPath() const
{
    if (result() != QDialog::Accepted)
        return QString();
    return m_strPicked.isEmpty() ? selectedFiles().value(0) : m_strPicked;
}

void COpenFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.size() == 1 && !QFileInfo::exists(files.first()) && AcceptOnDisk(files.first()))
        return;
    QFileDialog::accept(); // Qt's own checks and its "not found" message
}

bool COpenFileDialog::AcceptOnDisk(const QString& shown)
{
    const QString path = LocalPath::fromShown(shown);
    struct stat st {};
    if (path.isEmpty() || ::stat(LocalPath::encode(path).constData(), &st) != 0) {
        qCWarning(lcOpen) << "Open: no file on disk is shown as" << shown;
        return false;
    }
    // A folder without a file is handed on as it is; opening it says it is a folder.
    const QString file = S_ISDIR(st.st_mode) ? FirstFileIn(path) : path;
    m_strPicked = file.isEmpty() ? path : file;
    QDialog::accept();
    return true;
}
