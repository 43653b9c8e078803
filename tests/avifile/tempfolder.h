// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <filesystem>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::vector<std::string> entries() const;

private:
    std::filesystem::path m_path;
};

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& contents);
