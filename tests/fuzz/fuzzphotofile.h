// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One photo file, rewritten for every input, in a private folder of a memory-backed file system
// (/dev/shm when there is one) so that the image services read it as they read a photo.

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzPhotoFile {
public:
    explicit FuzzPhotoFile(const char* extension);

    bool write(const std::uint8_t* data, std::size_t size);
    // The path as the program hands it to the image services: UTF-16, NUL-terminated.
    const char16_t* widePath() const { return m_widePath.c_str(); }

private:
    QTemporaryDir m_folder;
    QByteArray m_path;
    std::u16string m_widePath;
};
