#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to a file whole or not at all: through a temporary file that replaces the old
// one only once everything is written, so a failed write leaves any earlier file as it was.
// On failure returns false and gives the reason in the program's words; it shows nothing itself.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason);
