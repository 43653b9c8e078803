// SPDX-License-Identifier: GPL-2.0-or-later
#include "childprogram.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProgram::~ChildProgram()
{
    if (m_pid > 0 && !m_finished) {
        ::kill(m_pid, SIGKILL);
        Reap(true);
    }
}

bool ChildProgram::Start(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    if (!m_stdout.open() || !m_stderr.open()) {
        m_error = QStringLiteral("no file for the child's output");
        return false;
    }
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingFolder);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, m_stdout.handle(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, m_stderr.handle(), STDERR_FILENO);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, signal);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const int failure = ::posix_spawnp(&m_pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        m_pid = -1;
        m_error = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    return true;
}

bool ChildProgram::Reap(bool block)
{
    int status = 0;
    pid_t got;
    do
        got = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got != m_pid)
        return false;
    m_finished = true;
    m_crashed = WIFSIGNALED(status);
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

bool ChildProgram::IsRunning()
{
    return m_pid > 0 && !m_finished && !Reap(false);
}

bool ChildProgram::WaitForFinished(int milliseconds)
{
    for (int waited = 0; IsRunning(); waited += 5) {
        if (waited >= milliseconds)
            return false;
        QThread::msleep(5);
    }
    return m_pid > 0;
}

namespace {

QByteArray ReadWhole(const QTemporaryFile& file)
{
    QFile reader(file.fileName());
    return reader.open(QIODevice::ReadOnly) ? reader.readAll() : QByteArray();
}

} // namespace

QByteArray ChildProgram::StandardOutput() const
{
    return ReadWhole(m_stdout);
}

QByteArray ChildProgram::Output() const
{
    return ReadWhole(m_stdout) + ReadWhole(m_stderr);
}
