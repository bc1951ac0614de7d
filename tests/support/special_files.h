#pragma once
// Files that are no plain files, for the readers that must refuse them: a
// named pipe that nobody writes, a socket, a device, and a symbolic link
// to a pipe.

#include <QString>

#include <atomic>
#include <thread>

enum class SpecialFile { Pipe, LinkToPipe, Socket, Device };

// Makes one in `folder` under `name` (a device is the system's /dev/null,
// `name` unused) and returns its path; "" where the system has none.
QString makeSpecialFile(SpecialFile kind, const QString &folder, const QString &name);

// While it lives, whoever opens the pipe `pipe` for reading and
// waits there for a writer is given one, which goes again at once: a read
// that would hang on the pipe for ever ends on an empty pipe instead, so a
// test of it fails and does not hang.
class PipeWriterOnCall
{
public:
    explicit PipeWriterOnCall(QString pipe);
    ~PipeWriterOnCall();
    PipeWriterOnCall(const PipeWriterOnCall &) = delete;
    PipeWriterOnCall &operator=(const PipeWriterOnCall &) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
