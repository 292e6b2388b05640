#include "display/export/whole_file.h"

#include <QSaveFile>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    // A short write marks the file as failed; commit then discards it.
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
