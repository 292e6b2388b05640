#pragma once

#include <QChar>
#include <QString>

class QRandomGenerator;

namespace monkey {

// Texts a person may type or paste: numbers of every size and form, in this locale's and the
// other locale's spelling, and things that are no number at all.
class TextSource {
public:
    TextSource(QRandomGenerator &random, QChar decimal) : random_(random), decimal_(decimal) {}

    QString any();
    // A time span: mostly a usable one.
    QString span();
    // A coefficient: mostly one of the size that keeps the trajectory interesting.
    QString coefficient();
    // An initial coordinate: mostly inside the drawn square.
    QString coordinate();

private:
    QString decimal(double value);
    QString moderate(double size);
    QString huge();
    QString tiny();
    QString negativeZero();
    QString wrongSeparator();
    QString garbage();

    QRandomGenerator &random_;
    QChar decimal_;
};

} // namespace monkey
