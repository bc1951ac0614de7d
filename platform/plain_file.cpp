#include "platform/plain_file.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace rt {

namespace {

#ifdef Q_OS_UNIX
// What a file that is not plain is, as the user is told.
QString notPlain(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"It is a folder"_s;
    if (S_ISFIFO(mode))
        return u"It is a named pipe, not a plain file"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"It is a device, not a plain file"_s;
    if (S_ISSOCK(mode))
        return u"It is a socket, not a plain file"_s;
    return u"It is not a plain file"_s;
}
#endif

} // namespace

bool openPlainFile(QFile &file, QString &why)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(file.fileName());
    struct stat info {};
    // Refused unopened: opening a device may already do something to it.
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        why = notPlain(info.st_mode);
        return false;
    }
    // A pipe put here since is opened without waiting for a writer, and
    // refused by what the open gave.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = qt_error_string(errno);
        return false;
    }
    const auto refuse = [&](const QString &reason) {
        why = reason;
        ::close(fd);
        return false;
    };
    if (::fstat(fd, &info) != 0)
        return refuse(qt_error_string(errno));
    if (!S_ISREG(info.st_mode))
        return refuse(notPlain(info.st_mode));
    // A plain file reads the same either way; the flag goes all the same.
    if (const int flags = ::fcntl(fd, F_GETFL); flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return refuse(file.errorString());
    return true;
#else
    const QFileInfo info(file.fileName());
    if (info.isDir()) {
        why = u"It is a folder"_s;
        return false;
    }
    if (info.exists() && !info.isFile()) {
        why = u"It is not a plain file"_s;
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    return true;
#endif
}

} // namespace rt
