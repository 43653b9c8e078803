// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <sys/types.h>

// A program run in a process of its own for a test, started with posix_spawn rather than
// QProcess. QProcess starts its child with a vfork-like clone that runs code in this process's
// memory before exec; under ThreadSanitizer that leaves the parent's later locks unseen, and
// every film made after it would report races that are not there. The child meets SIGTERM,
// SIGINT and SIGHUP as a program started from a terminal does, whatever the test runner
// ignores or blocks. Its standard output and error go to files of their own.
class ChildProgram {
public:
    ChildProgram() = default;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram(); // a child still running is killed and reaped

    bool Start(const QString& program, const QStringList& arguments, const QString& workingFolder = QString());
    QString Error() const { return m_error; }
    pid_t Pid() const { return m_pid; }

    bool IsRunning();
    // False when the child still runs after `milliseconds`.
    bool WaitForFinished(int milliseconds);
    bool Crashed() const { return m_crashed; } // ended by a signal
    int ExitCode() const { return m_exitCode; }

    QByteArray StandardOutput() const;
    QByteArray Output() const; // standard output, then standard error

private:
    bool Reap(bool block);

    pid_t m_pid = -1;
    bool m_finished = false;
    bool m_crashed = false;
    int m_exitCode = -1;
    QString m_error;
    QTemporaryFile m_stdout;
    QTemporaryFile m_stderr;
};
