// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/fuzz/fuzzphotofile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {
QString fastTemporaryFolder()
{
    const QString shm = QStringLiteral("/dev/shm");
    return QFileInfo(shm).isDir() && QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
}
} // namespace

FuzzPhotoFile::FuzzPhotoFile(const char* extension)
    : m_folder(fastTemporaryFolder() + QStringLiteral("/strevio-fuzz-XXXXXX"))
{
    const QString path = m_folder.filePath(QStringLiteral("photo.") + QLatin1String(extension));
    m_path = QFile::encodeName(path);
    m_widePath = path.toStdU16String();
}

bool FuzzPhotoFile::write(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size - done);
        if (written <= 0)
            break;
        done += std::size_t(written);
    }
    return ::close(fd) == 0 && done == size;
}
