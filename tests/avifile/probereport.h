// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What FFmpeg's ffprobe reads in a film: its streams and packets (and decoded frame count), in
// ffprobe's flat output, e.g. "streams.stream.0.codec_tag_string" -> "MSVC".

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class ProbeReport {
public:
    explicit ProbeReport(const std::string& filmPath, bool countFrames = true);

    bool accepted() const { return m_exitCode == 0; }
    const std::string& errors() const { return m_errors; }
    std::string stream(const std::string& field) const;
    int streamCount() const;
    int packetCount() const;
    std::string packet(int index, const std::string& field) const;

private:
    int m_exitCode = -1;
    std::string m_errors;
    std::map<std::string, std::string> m_values;
};

// Runs a shell command and returns what it writes to standard output; `exitCode` receives its status.
std::string runCommand(const std::string& command, int* exitCode = nullptr);
// The film's frames decoded by ffmpeg as 24-bit BGR rows, top row first. With `seekSeconds`
// set, only the first frame from that time on.
std::vector<std::vector<std::uint8_t>> decodeBgr24(const std::string& filmPath, int width, int height,
                                                   double seekSeconds = -1);
