#pragma once

#include "display/export/painted_picture.h"

#include <QSizeF>
#include <QStringList>

class QPainter;

// A picture on a printed page: under its title, scaled to the page's width (or to the height
// the lines of text under it leave), centred, painted as vectors by the routine that paints it,
// with the lines under it as text. The painter is active on the printer or the PDF, its
// origin at the printable area's corner; the page is the device's size at its resolution.
void paintPrintedPage(QPainter &painter, const QString &title, QSizeF pictureSize, const PicturePainter &paint,
                      const QStringList &lines);

// The printer's unit, a point (1/72 inch): the painter scaled to it; gives the page's size in points.
QSizeF usePoints(QPainter &painter);
