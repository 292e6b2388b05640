#include "display/controls/accessibility.h"

#include "display/controls/clickable_label.h"
#include "display/toolkit/conversions.h"

#include <QAbstractSlider>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QWidget>

#include <cmath>

namespace {

struct Description {
    const char *control;
    const char *name;
    const char *description;
};

// clang-format off
const Description kDescriptions[] = {
    {"XYgraf",   "Plano de fases",
                 "Solución dibujada como y frente a x. Haga clic para empezar una solución nueva en ese punto; "
                 "con Mayús, cerca de un eje, el punto se coloca sobre el eje."},
    {"Xgraf",    "x frente al tiempo", "Valores de x de la solución, de -100 a 100 pasos de tiempo."},
    {"Ygraf",    "y frente al tiempo", "Valores de y de la solución, de -100 a 100 pasos de tiempo."},
    {"HScroll1", "Cursor de tiempo", nullptr},  // described by the sample it selects
    {"TR",       "Valor t resaltado", "Tiempo de la muestra resaltada."},
    {"XR",       "Valor x resaltado", "x de la muestra resaltada, con 3 decimales."},
    {"YR",       "Valor y resaltado", "y de la muestra resaltada, con 3 decimales."},
    {"XI",       "Valor x inicial", "x del punto inicial; se aplica al pulsar Calcular."},
    {"YI",       "Valor y inicial", "y del punto inicial; se aplica al pulsar Calcular."},
    {"Calcular", "Calcular", "Aplica el intervalo de tiempo y el punto inicial y vuelve a calcular la solución."},
    {"Text2",    "Intervalo de tiempo", "Tiempo entre la muestra 0 y la muestra 100; se aplica al pulsar Calcular."},
};
// clang-format on

// A coefficient label acts as a button: it can be pressed to edit its coefficient.
class ClickableLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickableLabelAccessible(QWidget *label) : QAccessibleWidget(label, QAccessible::Button) {}

    // Press first: screen readers take the first action as the default one.
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    // The click happens later, from the event loop, as a push button's animated click does:
    // it opens a modal dialog, and assistive technology hears nothing until this returns.
    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        auto *label = static_cast<ClickableLabel *>(widget());
        QMetaObject::invokeMethod(label, [label] { emit label->clicked(); }, Qt::QueuedConnection);
    }
};

// A plot is one picture. The axis lines are child widgets only to be drawn over it; as parts of
// their own they would be read out as unnamed, empty fillers.
class ChartAccessible : public QAccessibleWidget {
public:
    explicit ChartAccessible(QWidget *plot) : QAccessibleWidget(plot, QAccessible::Chart) {}

    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    // The phase plane's value is the point its keyboard crosshair shows.
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return widget()->property(kValueProperty).toString();
        return QAccessibleWidget::text(kind);
    }

    static constexpr const char *kValueProperty = "accessibleValueText";
};

QString textOfControl(const QWidget *window, const char *name)
{
    const auto *box = window->findChild<QLineEdit *>(QString::fromLatin1(name));
    return box ? box->text() : QString();
}

// The time cursor is a scroll bar whose description is the sample it selects, read from the
// three read-outs when assistive technology asks: kept up to date at every step instead, it
// cost a good part of the step while nobody listened.
class TimeCursorAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TimeCursorAccessible(QWidget *bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return QString::number(bar()->value());
        if (kind == QAccessible::Description)
            return currentDescription(widget());
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

    // What the description says now: the read-outs' texts, once the window has them.
    static QString currentDescription(const QWidget *bar)
    {
        const QWidget *window = bar->window();
        if (!window->findChild<QLineEdit *>(QStringLiteral("TR")))
            return bar->accessibleDescription();
        return timeCursorDescription(textOfControl(window, "TR"), textOfControl(window, "XR"),
                                     textOfControl(window, "YR"));
    }

    static constexpr const char *kAnnouncedProperty = "accessibleDescriptionAnnounced";

private:
    QAbstractSlider *bar() const { return static_cast<QAbstractSlider *>(widget()); }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("ClickableLabel"))
        return new ClickableLabelAccessible(widget);
    if (className == QLatin1String("PlotSurface"))
        return new ChartAccessible(widget);
    if (className == QLatin1String("TimeCursorBar"))
        return new TimeCursorAccessible(widget);
    if (className == QLatin1String("EquationRow"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    // Reached by a widget of no more specific kind; as the top level it is the program's
    // window, which Qt would otherwise present as a plain client area.
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibilityFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void describeForAssistiveTechnology(QWidget *window)
{
    for (const Description &entry : kDescriptions) {
        auto *control = window->findChild<QWidget *>(QString::fromLatin1(entry.control));
        if (!control)
            continue;
        control->setAccessibleName(QString::fromUtf8(entry.name));
        if (entry.description)
            control->setAccessibleDescription(QString::fromUtf8(entry.description));
    }
}

QString timeCursorDescription(const QString &t, const QString &x, const QString &y)
{
    return QStringLiteral("t = %1; x = %2; y = %3").arg(t, x, y);
}

void describeTimeCursor(QWidget *scrollBar)
{
    // The description itself is read when asked for; only a listener needs to hear that it
    // changed, and an unchanged text is not said again.
    if (!QAccessible::isActive())
        return;
    const QString description = TimeCursorAccessible::currentDescription(scrollBar);
    if (scrollBar->property(TimeCursorAccessible::kAnnouncedProperty).toString() == description)
        return;
    scrollBar->setProperty(TimeCursorAccessible::kAnnouncedProperty, description);
    QAccessibleEvent event(scrollBar, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

namespace {

// A term of a sum as it is said: "+ 0 x", "− 1 y"; the first term without its plus.
QString term(double value, const char *variable, bool first)
{
    const QString size = textOf(std::fabs(value));
    const QString unit = variable[0] ? QStringLiteral(" ") + QLatin1String(variable) : QString();
    if (first)
        return (value < 0 ? QStringLiteral("−") : QString()) + size + unit;
    return (value < 0 ? QStringLiteral(" − ") : QStringLiteral(" + ")) + size + unit;
}

} // namespace

QString equationInWords(char species, double a, double b, double c)
{
    const QChar s = QLatin1Char(species);
    return QStringLiteral("%1 prima igual a %1 por (%2%3%4)")
        .arg(s, term(a, "", true), term(b, "x", false), term(c, "y", false));
}

void describePhasePlanePoint(QWidget *plane, const QString &x, const QString &y)
{
    const QString value = QStringLiteral("x = %1; y = %2").arg(x, y);
    if (plane->property(ChartAccessible::kValueProperty).toString() == value)
        return;
    plane->setProperty(ChartAccessible::kValueProperty, value);
    // Said first when the plane takes the focus, then what a press there does.
    plane->setAccessibleDescription(QStringLiteral("Punto elegido: %1. %2").arg(value, QString::fromUtf8(kDescriptions[0].description)));
    QAccessibleValueChangeEvent event(plane, value);
    QAccessible::updateAccessibility(&event);
}
