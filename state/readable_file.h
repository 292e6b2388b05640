#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

// The bytes of a regular file, up to maxBytes + 1 of them (one more than the limit tells a file
// that is too large, whatever size it claims), or why it could not be read, in the program's
// words («no existe», «es una carpeta», «no es un archivo normal», «no hay permiso para leerlo»,
// «falló la lectura»). Only a regular file is opened: opening a pipe or a device could wait for
// ever.
std::variant<QByteArray, QString> readRegularFile(const QString &path, qint64 maxBytes);
