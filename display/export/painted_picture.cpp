#include "display/export/painted_picture.h"

#include "display/export/clipped_device.h"

#include <QBuffer>
#include <QPainter>
#include <QRect>
#include <QSvgGenerator>

QImage imageOf(QSize size, qreal pixelRatio, const QColor &background, const PicturePainter &paint)
{
    QImage image(size * pixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(background);
    QPainter painter(&image);
    paint(painter);
    return image;
}

QByteArray svgOf(QSize size, const QString &title, const QColor &background, const PicturePainter &paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    // A logical pixel is 1/96 inch, as on the screen: the file's size and its texts' sizes in
    // the view box follow from it.
    generator.setResolution(96);
    generator.setTitle(title);
    {
        QPainter file(&generator);
        ClippedDevice clipped(file, size);
        QPainter painter(&clipped);
        painter.fillRect(QRect(QPoint(0, 0), size), background);
        paint(painter);
    }
    return buffer.data();
}
