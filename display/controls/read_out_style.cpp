#include "display/controls/read_out_style.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

ReadOutStyle::ReadOutStyle(const QString &baseStyleName) : QProxyStyle(baseStyleName)
{
}

void ReadOutStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    // Only a panel over a plain background can be copied exactly: elsewhere the style draws.
    const QWidget *under = widget ? widget->parentWidget() : nullptr;
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    if (element != PE_PanelLineEdit || !frame || !under || !painter->transform().isIdentity()
        || under->palette().window().style() != Qt::SolidPattern) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const QColor background = under->palette().window().color();
    // Everything the panel's look depends on: its size, state, colours and the screen's scale.
    const QString key = QStringLiteral("%1x%2|%3|%4|%5|%6")
                            .arg(option->rect.width())
                            .arg(option->rect.height())
                            .arg(int(option->state))
                            .arg(option->palette.cacheKey())
                            .arg(background.rgba())
                            .arg(ratio);
    QPixmap &panel = panels_[key];
    if (panel.isNull()) {
        panel = QPixmap(option->rect.size() * ratio);
        panel.setDevicePixelRatio(ratio);
        panel.fill(background);
        QPainter onPanel(&panel);
        QStyleOptionFrame atOrigin(*frame);
        atOrigin.rect.moveTo(0, 0);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPanel, widget);
    }
    painter->drawPixmap(option->rect.topLeft(), panel);
}
