// The monkey's ways of moving the time cursor.
#include "tests/monkey/monkey.h"

#include "interaction/prog.h"
#include "model/model.h"
#include "tests/monkey/window_checks.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>

namespace monkey {

QPoint Monkey::scrollBarPart(QStyle::SubControl part)
{
    QScrollBar *bar = window_.HScroll1;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    const QRect rect = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
    if (rect.isEmpty())
        return randomPointIn(bar);
    return QPoint(rect.left() + random_.bounded(rect.width()), rect.top() + random_.bounded(rect.height()));
}

// The time cursor moved by every means: keys, code, actions, clicks on the arrows and the
// track, the wheel, and drags of the thumb. Nothing in the model changes.
QString Monkey::moveCursor()
{
    QScrollBar *bar = window_.HScroll1;
    const int how = random_.bounded(6);
    switch (how) {
    case 0: {
        static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
                                       Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        const Qt::Key key = keys[random_.bounded(int(std::size(keys)))];
        const int times = random_.bounded(1, 8);
        log(QStringLiteral("key %1 on HScroll1 %2 times").arg(int(key), 0, 16).arg(times));
        bar->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(bar, key);
        break;
    }
    case 1: {
        const int value = random_.bounded(-130, 131);
        log(QStringLiteral("HScroll1 set to %1").arg(value));
        bar->setValue(value);
        if (bar->value() != std::clamp(value, -100, 100))
            return QStringLiteral("the cursor stands at %1 after setting %2").arg(bar->value()).arg(value);
        break;
    }
    case 2: {
        const auto action = QAbstractSlider::SliderAction(random_.bounded(1, 8));
        log(QStringLiteral("HScroll1 action %1").arg(int(action)));
        bar->triggerAction(action);
        break;
    }
    case 3: {
        static const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
                                                   QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage};
        const QStyle::SubControl part = parts[random_.bounded(int(std::size(parts)))];
        const QPoint at = scrollBarPart(part);
        const Qt::MouseButton button = randomButton();
        log(QStringLiteral("click on HScroll1 part %1 at (%2, %3), button %4").arg(int(part)).arg(at.x()).arg(at.y()).arg(int(button)));
        QTest::mouseClick(bar, button, randomModifiers(), at);
        break;
    }
    case 4: {
        const int delta = (random_.bounded(2) ? 1 : -1) * 120 * random_.bounded(1, 4);
        const bool vertical = random_.bounded(2);
        const QPoint at = randomPointIn(bar);
        log(QStringLiteral("wheel on HScroll1 by %1 %2").arg(delta).arg(vertical ? "vertically" : "horizontally"));
        QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), vertical ? QPoint(0, delta) : QPoint(delta, 0),
                          Qt::NoButton, randomModifiers(), Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        break;
    }
    default: {
        const QPoint grip = scrollBarPart(QStyle::SC_ScrollBarSlider);
        const int moves = random_.bounded(1, 10);
        log(QStringLiteral("drag of the HScroll1 thumb from (%1, %2), %3 moves").arg(grip.x()).arg(grip.y()).arg(moves));
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QPoint at = grip;
        for (int i = 0; i < moves; ++i) {
            at = QPoint(random_.bounded(-40, bar->width() + 40), random_.bounded(-20, bar->height() + 20));
            QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(bar, &move);
            if (readout_.cursor != bar->value())
                return QStringLiteral("the cursor moved to %1 unnoticed").arg(bar->value());
            if (const QString fault = readoutFault(); !fault.isEmpty())
                return QStringLiteral("during the drag: ") + fault;
        }
        QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
        break;
    }
    }
    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt)
        return QStringLiteral("moving the cursor changed the model");
    return {};
}

} // namespace monkey
