#include "formats/save_file.h"

#include <QSaveFile>

namespace formats {

bool saveWhole(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok && file.write(bytes) != bytes.size()) {
        ok = false;
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    ok = ok && file.commit();
    if (!ok && reason)
        *reason = file.errorString();
    return ok;
}

} // namespace formats
