#include "accessibility.h"

#include "clickable_label.h"

#include <QAccessibleWidget>
#include <QWidget>

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
                 "con Mayúsculas, cerca de un eje, el punto se coloca sobre el eje."},
    {"Xgraf",    "x frente al tiempo", "Valores de x de la solución, de -100 a 100 pasos de tiempo."},
    {"Ygraf",    "y frente al tiempo", "Valores de y de la solución, de -100 a 100 pasos de tiempo."},
    {"HScroll1", "Cursor de tiempo", "Elige la muestra resaltada, de -100 a 100."},
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

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &action) override
    {
        if (action == pressAction())
            emit static_cast<ClickableLabel *>(widget())->clicked();
    }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("ClickableLabel"))
        return new ClickableLabelAccessible(widget);
    if (className == QLatin1String("PlotSurface"))
        return new QAccessibleWidget(widget, QAccessible::Chart);
    return nullptr;
}

} // namespace

void describeForAssistiveTechnology(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
    for (const Description &entry : kDescriptions) {
        auto *control = window->findChild<QWidget *>(QString::fromLatin1(entry.control));
        if (!control)
            continue;
        control->setAccessibleName(QString::fromUtf8(entry.name));
        control->setAccessibleDescription(QString::fromUtf8(entry.description));
    }
}
