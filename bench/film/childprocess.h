// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A program run as a child process: its standard output can be read while it runs, and once it
// has ended its wall time, processor time and own peak resident memory are known.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `arguments` (the program first, looked up in PATH). With `readOutput` its standard
    // output comes to readExactly instead of ours.
    bool start(const std::vector<std::string>& arguments, bool readOutput);
    // False when the output ends (or fails) before `bytes` arrived.
    bool readExactly(std::uint8_t* data, std::size_t bytes);
    // Waits for the end: the exit code, or -1 when the child did not exit normally.
    int wait();

    double seconds() const { return m_seconds; }
    double cpuSeconds() const { return m_cpuSeconds; } // user and system time of the child
    long peakKilobytes() const { return m_peakKilobytes; }

private:
    void closeOutput();

    pid_t m_pid = -1;
    int m_output = -1;
    std::chrono::steady_clock::time_point m_started;
    double m_seconds = 0;
    double m_cpuSeconds = 0;
    long m_peakKilobytes = 0;
};
