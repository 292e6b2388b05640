#include "display/analysis/coefficient_controls.h"

#include "display/analysis/live_number_rows.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/number_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

#include <cmath>

namespace {

constexpr int kCoefficients = 6;

} // namespace

CoefficientControls::CoefficientControls(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("coeficientesVivos"));
    rows_ = new LiveNumberRows(*this);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(2, 1);
    for (int index = 0; index < kCoefficients; ++index) {
        const QChar letter(u'A' + index);
        const QString name = QStringLiteral("Coeficiente %1").arg(letter);
        rows_->addRow();
        NumberBox *box = rows_->box(index);
        box->setObjectName(QStringLiteral("valor%1").arg(letter));
        box->setAccessibleName(name);
        QSlider *slider = rows_->slider(index);
        slider->setObjectName(QStringLiteral("deslizador%1").arg(letter));
        slider->setAccessibleName(name);

        auto *label = new QLabel(QStringLiteral("&%1").arg(letter), this);
        label->setBuddy(box);
        grid->addWidget(label, index, 0);
        grid->addWidget(box, index, 1);
        grid->addWidget(slider, index, 2);
    }
    connect(rows_, &LiveNumberRows::edited, this, &CoefficientControls::coefficientEdited);
    connect(rows_, &LiveNumberRows::dragStarted, this, &CoefficientControls::dragStarted);
    connect(rows_, &LiveNumberRows::dragFinished, this, &CoefficientControls::dragFinished);
}

QDoubleSpinBox *CoefficientControls::valueBox(int index) const
{
    return rows_->box(index);
}

QSlider *CoefficientControls::slider(int index) const
{
    return rows_->slider(index);
}

void CoefficientControls::showCoefficient(int index, double value)
{
    if (index < 0 || index >= kCoefficients || !std::isfinite(value))
        return;
    const bool held = rows_->showValue(index, value);
    rows_->box(index)->setToolTip(
        held ? QString()
             : QStringLiteral("El coeficiente vale %1, fuera del rango de este control").arg(exactTextOf(value)));
}
