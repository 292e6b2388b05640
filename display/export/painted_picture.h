#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

// A picture that a routine paints, in logical pixels from the top-left corner, made into an
// image or an SVG document: the plots and the bifurcation diagram are saved through these.
using PicturePainter = std::function<void(QPainter &painter)>;

// The picture as an image of pixelRatio device pixels per logical pixel, on the background.
QImage imageOf(QSize size, qreal pixelRatio, const QColor &background, const PicturePainter &paint);

// The picture as an SVG document of the given title, on the background. The file keeps no clip:
// every shape is cut to the clip in force before it is written (ClippedDevice).
QByteArray svgOf(QSize size, const QString &title, const QColor &background, const PicturePainter &paint);
