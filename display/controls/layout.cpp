#include "display/controls/layout.h"

#include "display/controls/clickable_label.h"
#include "display/controls/equation_row.h"
#include "display/controls/read_out_style.h"
#include "display/controls/time_cursor_bar.h"
#include "display/plots/line_shape.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/plots/twips.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <climits>
#include <string_view>
#include <vector>

namespace layout {

// clang-format off
const std::array<Control, 29> kControls = {{
    {"XYgraf",     Kind::Plot,            480,  480, 4300, 4300, "",          "",                   0},
    {"Xgraf",      Kind::Plot,           5520,  480, 4200, 1900, "",          "",                   1},
    {"Ygraf",      Kind::Plot,           5520, 2880, 4200, 1900, "",          "",                   2},
    {"HScroll1",   Kind::ScrollBar,      5520, 2520, 4200,  255, "",          "",                   3},
    {"XR",         Kind::ReadOut,        8280, 5760, 1575,  375, "5",         "valor x resaltado",  4},
    {"YR",         Kind::ReadOut,        8280, 6360, 1575,  375, "5",         "valor y resaltado",  5},
    {"TR",         Kind::ReadOut,        8280, 5160, 1575,  375, "0",         "Valor t resaltado",  6},
    {"XI",         Kind::TextBox,         480, 5280, 1935,  375, "5",         "Valor x inicial",    7},
    {"YI",         Kind::TextBox,         480, 5880, 1935,  375, "5",         "valor y inicial",    8},
    {"Calcular",   Kind::Button,          480, 6360, 1935,  375, "Calcular",  "",                   9},
    {"Text2",      Kind::TextBox,        7440, 5160,  735,  375, "2",         "Intervalo de tiempo", 15},
    {"Label1(0)",  Kind::Label,          3600, 5160, 1095,  375, "x' = x (",  "",                  10},
    {"par(0)",     Kind::ParameterLabel, 4680, 5160,  375,  375, " A ",       "",                  12},
    {"Label1(2)",  Kind::Label,          5040, 5160,  255,  375, "+ ",        "",                  11},
    {"par(1)",     Kind::ParameterLabel, 5280, 5160,  495,  375, " B ",       "",                  13},
    {"Label1(3)",  Kind::Label,          5760, 5160,  255,  375, "x",         "",                  17},
    {"Label1(4)",  Kind::Label,          6000, 5160,  375,  375, " + ",       "",                  18},
    {"par(2)",     Kind::ParameterLabel, 6360, 5160,  375,  375, " C ",       "",                  14},
    {"Label1(5)",  Kind::Label,          6720, 5160,  375,  375, " y",        "",                  19},
    {"Label1(11)", Kind::Label,          7080, 5160,  255,  375, ")",         "",                  27},
    {"Label1(1)",  Kind::Label,          3600, 5760, 1095,  375, "y' = y (",  "",                  21},
    {"par(3)",     Kind::ParameterLabel, 4680, 5760,  375,  375, " D  ",      "",                  16},
    {"Label1(6)",  Kind::Label,          5040, 5760,  255,  375, "+",         "",                  22},
    {"par(4)",     Kind::ParameterLabel, 5280, 5760,  375,  375, " E ",       "",                  20},
    {"Label1(7)",  Kind::Label,          5760, 5760,  255,  375, "x",         "",                  23},
    {"Label1(8)",  Kind::Label,          6000, 5760,  375,  375, " + ",       "",                  24},
    {"par(5)",     Kind::ParameterLabel, 6360, 5760,  375,  375, " F  ",      "",                  28},
    {"Label1(9)",  Kind::Label,          6720, 5760,  375,  375, " y",        "",                  25},
    {"Label1(10)", Kind::Label,          7080, 5760,  255,  375, ")",         "",                  26},
}};

const std::array<Line, 6> kLines = {{
    {"Line1", "XYgraf", {0, plot_mapping::kPhaseOriginY}, {4200, plot_mapping::kPhaseOriginY}},   // the x axis, y = 0
    {"Line2", "XYgraf", {plot_mapping::kPhaseOriginX, 0}, {plot_mapping::kPhaseOriginX, 4200}},   // the y axis, x = 0
    {"Line3", "Xgraf",  {0, 1700}, {4200, 1700}},   // value 0
    {"Line4", "Xgraf",  {2060, 0}, {2060, 1800}},   // time 0
    {"Line5", "Ygraf",  {0, 1700}, {4200, 1700}},   // value 0
    {"Line6", "Ygraf",  {2060, 0}, {2060, 1800}},   // time 0
}};
// clang-format on

namespace {

// The two equation rows: the labels at these tops go into a row of their own, which spans them.
struct Row {
    const char *name;
    int top;
};
constexpr Row kRows[] = {{"ecuacionX", 5160}, {"ecuacionY", 5760}};

bool inRow(const Control &control, const Row &row)
{
    return (control.kind == Kind::Label || control.kind == Kind::ParameterLabel) && control.top == row.top;
}

// A row as wide as its labels, in twips of the designed window.
QRect rowTwips(const Row &row)
{
    int left = INT_MAX, right = 0, height = 0;
    for (const Control &control : kControls)
        if (inRow(control, row)) {
            left = std::min(left, control.left);
            right = std::max(right, control.left + control.width);
            height = std::max(height, control.height);
        }
    return QRect(left, row.top, right - left, height);
}

QRect rowRect(const Row &row)
{
    const QRect twips = rowTwips(row);
    return rectFromTwips(twips.x(), twips.y(), twips.width(), twips.height());
}

// The time plots' left edge and width, in twips.
constexpr double kTimePlotsLeft = 5520;
constexpr double kTimePlotsWidth = 4200;

// The rows. Positions inside a row are worked out from the window's pixels, so that every
// label stands exactly where it would stand in the window.
void buildRows(QWidget *window)
{
    for (const Row &row : kRows) {
        auto *holder = new EquationRow(window);
        holder->setObjectName(QString::fromLatin1(row.name));
        holder->setGeometry(rowRect(row));
    }
}

QWidget *parentFor(const Control &control, QWidget *window)
{
    for (const Row &row : kRows)
        if (inRow(control, row))
            return window->findChild<QWidget *>(QString::fromLatin1(row.name));
    return window;
}

QWidget *create(const Control &control, QWidget *parent)
{
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case Kind::Plot: {
        auto *plot = new PlotSurface(parent);
        plot->setFocusPolicy(Qt::TabFocus);
        return plot;
    }
    case Kind::ScrollBar: {
        auto *bar = new TimeCursorBar(parent);
        bar->setRange(-100, 100);
        bar->setValue(0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setFocusPolicy(Qt::StrongFocus);
        return bar;
    }
    case Kind::TextBox:
        return new QLineEdit(text, parent);
    case Kind::ReadOut: {
        auto *box = new QLineEdit(text, parent);
        box->setReadOnly(true);
        auto *style = new ReadOutStyle(box->style()->name());
        style->setParent(box);
        box->setStyle(style);
        return box;
    }
    case Kind::Button: {
        auto *button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case Kind::Label:
    case Kind::ParameterLabel: {
        auto *label = control.kind == Kind::Label ? new QLabel(text, parent)
                                                  : new ClickableLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QFont font(QString::fromLatin1(kLabelFontFamily), kLabelFontPoints);
        font.setStyleHint(QFont::Serif);
        label->setFont(font);
        return label;
    }
    }
    return nullptr;
}

} // namespace

void build(QWidget *window)
{
    window->setWindowTitle(QString::fromUtf8(kCaption));
    window->resize(pixelsFromTwips(kClientWidth), pixelsFromTwips(kClientHeight));

    std::vector<const Control *> byTab;
    for (const Control &control : kControls)
        byTab.push_back(&control);
    std::sort(byTab.begin(), byTab.end(),
              [](const Control *a, const Control *b) { return a->tabIndex < b->tabIndex; });

    buildRows(window);
    QWidget *previous = nullptr;
    for (const Control *control : byTab) {
        QWidget *parent = parentFor(*control, window);
        QWidget *widget = create(*control, parent);
        widget->setObjectName(QString::fromLatin1(control->name));
        widget->setGeometry(rectFromTwips(control->left, control->top, control->width, control->height)
                                .translated(-parent->mapTo(window, QPoint(0, 0))));
        widget->setToolTip(QString::fromUtf8(control->toolTip));
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }

    for (const Line &line : kLines) {
        auto *plot = window->findChild<QWidget *>(QString::fromLatin1(line.plot));
        auto *shape = new LineShape(line.from, line.to, plot);
        shape->setObjectName(QString::fromLatin1(line.name));
    }
}

QLineF lineIn(const Line &line, const plot_mapping::PlotMapping &m)
{
    // A time plot's lines span its stretched width.
    const double wide = std::string_view(line.plot) == "XYgraf" ? m.growth : m.growth * m.timeStretch;
    QPointF from(line.from.x() * wide, line.from.y() * m.growth), to(line.to.x() * wide, line.to.y() * m.growth);
    const auto across = [&from, &to](double y) { from.ry() = to.ry() = y; };
    const auto along = [&from, &to](double x) { from.rx() = to.rx() = x; };
    const std::string_view name = line.name;
    if (name == "Line1")
        across(m.phaseY(0));
    else if (name == "Line2")
        along(m.phaseX(0));
    else if (name == "Line3")
        across(m.xValueY(0));
    else if (name == "Line5")
        across(m.yValueY(0));
    else
        along(m.timeX(0));
    return {from, to};
}

namespace {

// A rectangle in twips of the designed window, grown, to the nearest logical pixel.
QRect grownRectFromTwips(double left, double top, double width, double height)
{
    const auto px = [](double twips) { return int(std::lround(twips / kTwipsPerPixel)); };
    return QRect(px(left), px(top), px(width), px(height));
}

// The designed font of a control, grown: the equations' face, or the application's for the kind.
void growFont(QWidget *widget, const Control &control, double g)
{
    if (control.kind == Kind::Label || control.kind == Kind::ParameterLabel) {
        QFont font(QString::fromLatin1(kLabelFontFamily));
        font.setPointSizeF(kLabelFontPoints * g);
        font.setStyleHint(QFont::Serif);
        widget->setFont(font);
        return;
    }
    if (g == 1) {
        widget->setFont(QFont());   // the application's, as designed
        return;
    }
    QFont font = QApplication::font(widget);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * g);
    else
        font.setPixelSize(int(std::lround(font.pixelSize() * g)));
    widget->setFont(font);
}

// The time plots and the scroll bar take a wide window's extra width; the read-outs follow
// their right edge.
bool takesExtraWidth(const Control &control)
{
    return control.kind == Kind::Plot ? control.left >= kTimePlotsLeft : control.kind == Kind::ScrollBar;
}

} // namespace

Growth growthFor(QSize windowSize)
{
    const double designedWidth = pixelsFromTwips(kClientWidth), designedHeight = pixelsFromTwips(kClientHeight);
    Growth growth;
    growth.factor = std::max(1.0, std::min(windowSize.width() / designedWidth, windowSize.height() / designedHeight));
    growth.extraWidth = std::max(0, int(std::floor(windowSize.width() - designedWidth * growth.factor)));
    return growth;
}

double timeStretchOf(const Growth &growth)
{
    const double grown = kTimePlotsWidth * growth.factor;
    return (grown + growth.extraWidth * kTwipsPerPixel) / grown;
}

void arrange(QWidget *window, const Growth &growth)
{
    const double g = growth.factor;
    const double extra = growth.extraWidth * kTwipsPerPixel;
    for (const Row &row : kRows)
        if (auto *holder = window->findChild<QWidget *>(QString::fromLatin1(row.name))) {
            const QRect twips = rowTwips(row);
            holder->setGeometry(grownRectFromTwips(twips.x() * g, twips.y() * g, twips.width() * g, twips.height() * g));
        }
    for (const Control &control : kControls) {
        auto *widget = window->findChild<QWidget *>(QString::fromLatin1(control.name));
        if (!widget)
            continue;
        double left = control.left * g;
        double width = control.width * g;
        if (takesExtraWidth(control))
            width += extra;
        else if (control.kind == Kind::ReadOut)
            left += extra;
        QRect rect = grownRectFromTwips(left, control.top * g, width, control.height * g);
        if (const auto *frame = qobject_cast<const QFrame *>(widget); frame && control.kind == Kind::Plot) {
            // A plot's drawing area is the designed one magnified, to the pixel, inside a border
            // of the designed width: what it shows is then the designed picture magnified.
            const int border = 2 * frame->frameWidth();
            const QSize designed = rectFromTwips(control.left, control.top, control.width, control.height).size();
            rect.setSize(QSize(int(std::lround((designed.width() - border) * g)) + border,
                               int(std::lround((designed.height() - border) * g)) + border));
            if (takesExtraWidth(control))
                rect.setWidth(rect.width() + growth.extraWidth);
        }
        QWidget *parent = widget->parentWidget();
        widget->setGeometry(parent == window ? rect : rect.translated(-parent->pos()));
        if (control.kind != Kind::Plot && control.kind != Kind::ScrollBar)
            growFont(widget, control, g);
    }
    // The lines cover their plots.
    for (const Line &line : kLines)
        if (auto *plot = qobject_cast<QFrame *>(window->findChild<QWidget *>(QString::fromLatin1(line.plot))))
            if (auto *shape = plot->findChild<QWidget *>(QString::fromLatin1(line.name)))
                shape->setGeometry(plot->contentsRect());
}

} // namespace layout
