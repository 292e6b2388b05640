#include "state/readable_file.h"

#include <QFile>
#include <QFileInfo>

std::variant<QByteArray, QString> readRegularFile(const QString &path, qint64 maxBytes)
{
    if (path.isEmpty())
        return QStringLiteral("falta el nombre del archivo");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no existe");
    if (info.isDir())
        return QStringLiteral("es una carpeta");
    if (!info.isFile())
        return QStringLiteral("no es un archivo normal");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        // Qt's own reasons are in English.
        return info.isReadable() ? QStringLiteral("no se pudo abrir") : QStringLiteral("no hay permiso para leerlo");
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("falló la lectura");
    return bytes;
}
