#pragma once

#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

// The style of a read-out box: the box's panel, the same for every value it shows, is drawn once
// and kept, over the window's background as it lies under the box, so that a copy of it is
// pixel for pixel what the style draws; every change of value then repaints only the text over
// that copy instead of stroking the panel's rounded outline again.
class ReadOutStyle : public QProxyStyle {
public:
    explicit ReadOutStyle(const QString &baseStyleName);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    mutable QHash<QString, QPixmap> panels_;
};
