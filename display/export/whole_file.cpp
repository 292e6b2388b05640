#include "display/export/whole_file.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

// Why no file can be made at path, told from the folder as it is: Qt's own reasons are in English.
QString whyNotMade(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("falta el nombre del archivo");
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("es una carpeta");
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("la carpeta no existe");
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QStringLiteral("no hay permiso para escribir en la carpeta");
    return QStringLiteral("no se puede crear");
}

} // namespace

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    // Unbuffered, so that every byte reaches the system in write() and a full disk is told
    // there: a buffered write fails only as the file closes, which commit() does not report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = whyNotMade(path);
        return false;
    }
    // A short write marks the file as failed; commit then discards it, as the destructor does.
    if (file.write(bytes) != bytes.size()) {
        *reason = file.error() == QFileDevice::ResourceError ? QStringLiteral("no queda sitio en el disco")
                                                             : QStringLiteral("no se pudo escribir");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = QStringLiteral("no se pudo poner en lugar del anterior");
        return false;
    }
    return true;
}
