// The example systems, each an action of the window listed in a submenu of the context menu.
#include "interaction/analysis/analysis_layer.h"

#include "interaction/analysis/parameter_exploration.h"
#include "display/toolkit/conversions.h"
#include "model/analysis/examples.h"
#include "model/ecology/example_forms.h"

#include <QAction>
#include <QWidget>

// One action per example system, "modelo_<id>", listed in a submenu of the context menu.
void AnalysisLayer::createExampleActions()
{
    for (const ExampleSystem &example : exampleSystems()) {
        auto *action = new QAction(QString::fromUtf8(example.title), &window_);
        action->setObjectName(QStringLiteral("modelo_") + QString::fromLatin1(example.id));
        window_.addAction(action);
        const QString description = withPointsInLocale(QString::fromUtf8(example.description))
                                  + QStringLiteral(" Forma ecológica: «%1».").arg(QString::fromUtf8(exampleFormName(example)));
        action->setToolTip(description);
        action->setStatusTip(description);
        connect(action, &QAction::triggered, exploration_, [this, &example] { exploration_->loadExample(example); });
        exampleActions_ << action;
    }
}
