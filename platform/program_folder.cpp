#include "platform/program_folder.h"

#include <QCoreApplication>

namespace rt {
namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return QCoreApplication::applicationDirPath();
}

QString inProgramFolder(const QString &name) { return programFolder() + u'/' + name; }

void setProgramFolder(const QString &folder) { overrideFolder() = folder; }

} // namespace rt
