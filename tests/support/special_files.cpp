#include "support/special_files.h"

#include <QDir>
#include <QFile>

#include <chrono>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

using namespace Qt::StringLiterals;

QString makeSpecialFile(SpecialFile kind, const QString &folder, const QString &name)
{
#ifdef Q_OS_UNIX
    const QString path = QDir(folder).filePath(name);
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case SpecialFile::Pipe:
        return ::mkfifo(native.constData(), 0600) == 0 ? path : QString();
    case SpecialFile::LinkToPipe: {
        const QString pipe = makeSpecialFile(SpecialFile::Pipe, folder, name + u".pipe"_s);
        return !pipe.isEmpty() && QFile::link(pipe, path) ? path : QString();
    }
    case SpecialFile::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (std::size_t(native.size()) >= sizeof(address.sun_path))
            return {};
        std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0)
            return {};
        // The socket's file stays when the socket is closed.
        const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0;
        ::close(fd);
        return bound ? path : QString();
    }
    case SpecialFile::Device:
        return QFile::exists(u"/dev/null"_s) ? u"/dev/null"_s : QString();
    }
#else
    Q_UNUSED(kind);
    Q_UNUSED(folder);
    Q_UNUSED(name);
#endif
    return {};
}

PipeWriterOnCall::PipeWriterOnCall(QString pipe)
{
#ifdef Q_OS_UNIX
    m_thread = std::thread([this, native = QFile::encodeName(pipe)] {
        while (!m_stop) {
            // Opening a pipe's writing end without waiting succeeds only
            // while a reader has it open.
            const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
#else
    Q_UNUSED(pipe);
#endif
}

PipeWriterOnCall::~PipeWriterOnCall()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}
