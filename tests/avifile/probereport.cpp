// SPDX-License-Identifier: GPL-2.0-or-later
#include "probereport.h"

#include <cstdio>
#include <sstream>

#include <sys/wait.h>

namespace {

std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

} // namespace

std::string runCommand(const std::string& command, int* exitCode)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        if (exitCode)
            *exitCode = -1;
        return output;
    }
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    int status = ::pclose(pipe);
    if (exitCode)
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

// ffprobe's messages share the output with its flat "key=value" lines; any other line is one.
ProbeReport::ProbeReport(const std::string& filmPath, bool countFrames)
{
    std::string command = "ffprobe -v warning -show_streams -show_packets " +
                          std::string(countFrames ? "-count_frames " : "") + "-of flat " + shellQuoted(filmPath) +
                          " 2>&1";
    std::istringstream lines(runCommand(command, &m_exitCode));
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t equals = line.find("=");
        bool isValue = equals != std::string::npos && line.find_first_of(" [") > equals;
        if (!isValue) {
            m_errors += line + "\n";
            continue;
        }
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"')
            value = value.substr(1, value.size() - 2);
        m_values[line.substr(0, equals)] = value;
    }
}

std::string ProbeReport::stream(const std::string& field) const
{
    auto found = m_values.find("streams.stream.0." + field);
    return found == m_values.end() ? std::string() : found->second;
}

int ProbeReport::streamCount() const
{
    int count = 0;
    while (m_values.count("streams.stream." + std::to_string(count) + ".index"))
        ++count;
    return count;
}

int ProbeReport::packetCount() const
{
    int count = 0;
    while (m_values.count("packets.packet." + std::to_string(count) + ".size"))
        ++count;
    return count;
}

std::string ProbeReport::packet(int index, const std::string& field) const
{
    auto found = m_values.find("packets.packet." + std::to_string(index) + "." + field);
    return found == m_values.end() ? std::string() : found->second;
}

std::vector<std::vector<std::uint8_t>> decodeBgr24(const std::string& filmPath, int width, int height,
                                                   double seekSeconds)
{
    std::string seek = seekSeconds >= 0 ? "-ss " + std::to_string(seekSeconds) + " " : std::string();
    std::string limit = seekSeconds >= 0 ? "-frames:v 1 " : "";
    std::string raw = runCommand("ffmpeg -v error -nostdin " + seek + "-i " + shellQuoted(filmPath) + " " + limit +
                                 "-f rawvideo -pix_fmt bgr24 -");
    std::size_t frameBytes = std::size_t(width) * height * 3;
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::size_t at = 0; frameBytes > 0 && at + frameBytes <= raw.size(); at += frameBytes)
        frames.emplace_back(raw.begin() + at, raw.begin() + at + frameBytes);
    return frames;
}
