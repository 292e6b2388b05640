#pragma once

#include "display/export/painted_picture.h"
#include "display/print/handout_content.h"

#include <QByteArray>
#include <QSizeF>

// The handout as a PDF document on A4: the title, the system, the plots (painted as vectors by
// plots, in logical pixels of pictureSize), the table of equilibria and the claims on the first
// page, and with questions, each with blank lines to answer on, their answers on a page of
// their own for the teacher. Text is text, to be searched and copied. Pages follow where the
// first is full.
QByteArray handoutPdf(const HandoutContent &content, QSizeF pictureSize, const PicturePainter &plots,
                      bool withQuestions);
