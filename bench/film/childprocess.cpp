// SPDX-License-Identifier: GPL-2.0-or-later
#include "childprocess.h"

#include <cerrno>
#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::~ChildProcess()
{
    closeOutput();
    if (m_pid > 0)
        wait();
}

bool ChildProcess::start(const std::vector<std::string>& arguments, bool readOutput)
{
    if (arguments.empty() || m_pid > 0)
        return false;
    int pipeEnds[2] = {-1, -1};
    if (readOutput && ::pipe(pipeEnds) != 0)
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    m_started = std::chrono::steady_clock::now();
    m_pid = ::fork();
    if (m_pid == 0) {
        if (readOutput) {
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (readOutput) {
        ::close(pipeEnds[1]);
        m_output = pipeEnds[0];
        if (m_pid < 0)
            closeOutput();
    }
    return m_pid > 0;
}

bool ChildProcess::readExactly(std::uint8_t* data, std::size_t bytes)
{
    while (bytes > 0 && m_output >= 0) {
        const ssize_t got = ::read(m_output, data, bytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        bytes -= std::size_t(got);
    }
    return bytes == 0;
}

int ChildProcess::wait()
{
    if (m_pid <= 0)
        return -1;
    closeOutput(); // a child still writing gets SIGPIPE instead of blocking us
    int status = 0;
    rusage usage{};
    pid_t ended = -1;
    do
        ended = ::wait4(m_pid, &status, 0, &usage);
    while (ended < 0 && errno == EINTR);
    m_pid = -1;
    m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
    m_peakKilobytes = usage.ru_maxrss;
    m_cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (ended < 0 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void ChildProcess::closeOutput()
{
    if (m_output >= 0)
        ::close(m_output);
    m_output = -1;
}
