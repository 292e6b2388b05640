#include "display/analysis/ecology_section.h"

#include "display/analysis/live_number_rows.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/number_box.h"
#include "model/ecology/form_mismatch.h"
#include "model/ecology/outcome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

std::string numberText(double value)
{
    return textOf(value).toStdString();
}

// A parameter as its tooltip and assistive tools say it: «K₁: capacidad de carga de la especie x».
QString meaningOf(const EcologicalParameter &parameter)
{
    return QStringLiteral("%1: %2").arg(QString::fromUtf8(parameter.symbol), QString::fromUtf8(parameter.meaning));
}

LiveNumberRows::Floor floorOf(std::string_view id)
{
    return id == "h1" || id == "h2" ? LiveNumberRows::Floor::Zero : LiveNumberRows::Floor::AboveZero;
}

// What a value outside the domain lacks, in words.
QString domainText(ParameterDomain domain)
{
    switch (domain) {
    case ParameterDomain::Positive: return QStringLiteral("un número mayor que 0");
    case ParameterDomain::PositiveOrInfinite: return QStringLiteral("un número mayor que 0 (o «sin límite»)");
    case ParameterDomain::NonNegative: return QStringLiteral("un número mayor o igual que 0");
    }
    return {};
}

// With no capacity chosen before, K becomes ten times the prey's level x* = m/b: the cycles are
// damped and both species stay.
constexpr double kCapacityOverLevel = 10;

} // namespace

EcologySection::EcologySection(QWidget *parent) : QGroupBox(QStringLiteral("Parámetros ecológicos"), parent)
{
    setObjectName(QStringLiteral("parametrosEcologicos"));
    setAccessibleName(QStringLiteral("Parámetros ecológicos"));
    setAccessibleDescription(QStringLiteral("El sistema en los parámetros de un libro de ecología; cada cambio vuelve a "
                                            "calcular los coeficientes A a F."));
    auto *layout = new QVBoxLayout(this);

    form_ = new QComboBox(this);
    form_->setObjectName(QStringLiteral("formaEcologica"));
    for (int form = 0; form < kFormCount; ++form)
        form_->addItem(QString::fromUtf8(formName(EcologicalForm(form))));
    form_->setAccessibleName(QStringLiteral("Forma ecológica"));
    form_->setAccessibleDescription(QStringLiteral("La forma de libro de texto en que se muestran los coeficientes: "
                                                   "competencia, depredador y presa o mutualismo"));
    auto *formLabel = new QLabel(QStringLiteral("&Forma:"), this);
    formLabel->setBuddy(form_);
    auto *formRow = new QHBoxLayout;
    formRow->addWidget(formLabel);
    formRow->addWidget(form_, 1);
    layout->addLayout(formRow);
    connect(form_, &QComboBox::activated, this, [this](int index) { emit formChosen(EcologicalForm(index)); });

    auto *grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    rows_ = new LiveNumberRows(*this);
    for (std::size_t row = 0; row < kIds.size(); ++row) {
        const QString id = QString::fromLatin1(kIds[row]);
        rows_->addRow(floorOf(kIds[row]));
        rows_->box(int(row))->setObjectName(QStringLiteral("ecologico_") + id);
        rows_->slider(int(row))->setObjectName(QStringLiteral("deslizador_") + id);
        labels_[row] = new QLabel(this);
        labels_[row]->setBuddy(rows_->box(int(row)));
        grid->addWidget(labels_[row], int(row), 0);
        grid->addWidget(rows_->box(int(row)), int(row), 1);
        grid->addWidget(rows_->slider(int(row)), int(row), 2);
    }
    const int capacity = rowOf("K");
    unlimited_ = new QCheckBox(QStringLiteral("sin límite"), this);
    unlimited_->setObjectName(QStringLiteral("sinLimite"));
    unlimited_->setAccessibleName(QStringLiteral("K sin límite"));
    unlimited_->setToolTip(QStringLiteral("K = ∞: la presa crece sin límite cuando no hay depredadores"));
    unlimited_->setAccessibleDescription(unlimited_->toolTip());
    grid->addWidget(unlimited_, capacity, 3);
    layout->addLayout(grid);
    connect(unlimited_, &QCheckBox::clicked, this, [this](bool on) {
        const int index = parameterOfRow(rowOf("K"));
        if (index < 0 || !shown_)
            return;
        const double level = shown_->value("m") / shown_->value("b");
        emit parameterEdited(index, on ? HUGE_VAL : std::max(1.0, kCapacityOverLevel * level), false);
    });

    connect(rows_, &LiveNumberRows::edited, this, [this](int row, double value, bool dragging) {
        const int index = parameterOfRow(row);
        if (index >= 0)
            emit parameterEdited(index, value, dragging);
    });
    connect(rows_, &LiveNumberRows::dragStarted, this, &EcologySection::dragStarted);
    connect(rows_, &LiveNumberRows::dragFinished, this, &EcologySection::dragFinished);

    // Under the rows, outside their scrolling: the window places it where it stays in view.
    results_ = new QWidget(this);
    auto *results = new QVBoxLayout(results_);
    results->setContentsMargins(0, 0, 0, 0);
    outcome_ = new QLabel(results_);
    outcome_->setObjectName(QStringLiteral("resultadoEcologico"));
    outcome_->setWordWrap(true);
    outcome_->setTextFormat(Qt::PlainText);
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    outcome_->setAccessibleName(QStringLiteral("Resultado ecológico"));
    results->addWidget(outcome_);

    yields_ = new QLabel(results_);
    yields_->setObjectName(QStringLiteral("cosechaEcologica"));
    yields_->setWordWrap(true);
    yields_->setTextFormat(Qt::PlainText);
    yields_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    yields_->setAccessibleName(QStringLiteral("Cosecha"));
    yields_->hide();
    results->addWidget(yields_);

    showEcology(EcologicalForm::Competition, std::nullopt, {});
}

int EcologySection::rowOf(std::string_view id) const
{
    const auto found = std::find(kIds.begin(), kIds.end(), id);
    return found == kIds.end() ? -1 : int(found - kIds.begin());
}

int EcologySection::rowOfParameter(int index) const
{
    const auto list = parametersOf(shownForm_);
    return index >= 0 && index < int(list.size()) ? rowOf(list[std::size_t(index)].id) : -1;
}

int EcologySection::parameterOfRow(int row) const
{
    const auto list = parametersOf(shownForm_);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (std::string_view(list[i].id) == kIds[std::size_t(row)])
            return int(i);
    return -1;
}

QDoubleSpinBox *EcologySection::parameterBox(std::string_view id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : rows_->box(row);
}

QSlider *EcologySection::parameterSlider(std::string_view id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : rows_->slider(row);
}

void EcologySection::showEcology(EcologicalForm form, const std::optional<EcologicalParameters> &parameters,
                                 const Coefficients &k)
{
    shownForm_ = form;
    shown_ = parameters;
    {
        const QSignalBlocker block(form_);
        form_->setCurrentIndex(int(form));
    }
    const auto list = parametersOf(form);
    for (std::size_t row = 0; row < kIds.size(); ++row) {
        const int index = parameterOfRow(int(row));
        const bool inForm = index >= 0;
        labels_[row]->setVisible(inForm);
        rows_->box(int(row))->setVisible(inForm);
        rows_->slider(int(row))->setVisible(inForm);
        if (!inForm) {
            // Hidden, a row takes no keys a test or an assistive tool could send it.
            rows_->box(int(row))->setEnabled(false);
            rows_->slider(int(row))->setEnabled(false);
        }
        if (inForm)
            showRow(int(row), list[std::size_t(index)],
                    parameters ? std::optional(parameters->values[std::size_t(index)]) : std::nullopt);
    }
    unlimited_->setVisible(form == EcologicalForm::PredatorPrey);
    outcome_->setText(QString::fromStdString(parameters ? outcomeSentence(*parameters, numberText)
                                                       : mismatchSentence(k, form, numberText)));
    if (!parameters)
        yields_->hide();
}

// A row of the form shown: its symbol, meaning and value, or idle without one.
void EcologySection::showRow(int row, const EcologicalParameter &parameter, std::optional<double> value)
{
    const QString symbol = QString::fromUtf8(parameter.symbol);
    const QString meaning = meaningOf(parameter);
    QLabel *label = labels_[std::size_t(row)];
    if (label->text() != symbol)
        label->setText(symbol);
    NumberBox *box = rows_->box(row);
    QSlider *slider = rows_->slider(row);
    if (box->accessibleDescription() != meaning) {
        box->setAccessibleName(symbol);
        box->setAccessibleDescription(meaning);
        box->setToolTip(meaning);
        slider->setAccessibleName(symbol);
        rows_->setWhat(row, meaning);
    }
    const bool unlimited = value && std::isinf(*value);
    box->setEnabled(value && !unlimited);
    slider->setEnabled(value && !unlimited);
    if (parameter.domain == ParameterDomain::PositiveOrInfinite) {
        const QSignalBlocker block(unlimited_);
        unlimited_->setEnabled(value.has_value());
        unlimited_->setChecked(unlimited);
    }
    if (!value) {
        const QSignalBlocker block(box);
        box->showInstead(QStringLiteral("—"));
    } else if (unlimited) {
        const QSignalBlocker block(box);
        rows_->showValue(row, 0);
        box->showInstead(QStringLiteral("∞"));
        slider->setToolTip(meaning + QStringLiteral(". Valor: ∞"));
        slider->setAccessibleDescription(meaning + QStringLiteral(". Valor ∞"));
    } else {
        rows_->showValue(row, *value);
    }
}

void EcologySection::refuse(int index, double value)
{
    const int row = rowOfParameter(index);
    if (row < 0)
        return;
    const EcologicalParameter &parameter = parametersOf(shownForm_)[std::size_t(index)];
    const QString symbol = QString::fromUtf8(parameter.symbol);
    const QString why = fitsDomain(value, parameter.domain)
        ? QStringLiteral("daría coeficientes que no son números finitos")
        : QStringLiteral("%1 debe ser %2").arg(symbol, domainText(parameter.domain));
    const std::optional<double> kept = shown_ ? std::optional(shown_->values[std::size_t(index)]) : std::nullopt;
    const QString message = QStringLiteral("No se admite %1 = %2: %3. Se mantiene %4.")
                                .arg(symbol, textOf(value), why,
                                     kept ? (std::isinf(*kept) ? QStringLiteral("∞") : textOf(*kept)) : QStringLiteral("—"));
    NumberBox *box = rows_->box(row);
    showRow(row, parameter, kept);
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), message, box);
    emit box->refused(message);
}

void EcologySection::showYields(const std::optional<EcologicalParameters> &parameters, const Trajectory &trajectory,
                                int sample, const std::vector<Equilibrium> &equilibria)
{
    const double h1 = parameters ? parameters->value("h1") : 0, h2 = parameters ? parameters->value("h2") : 0;
    if (!(h1 > 0 || h2 > 0)) {
        yields_->hide();
        return;
    }
    // Only where the trajectory on screen was computed with these parameters' coefficients.
    if (!bitIdentical(trajectory.coefficients, coefficientsOf(*parameters))) {
        yields_->setText(QStringLiteral("La cosecha se mostrará al calcular con estos parámetros."));
        yields_->show();
        return;
    }
    const auto yieldsAt = [&](double x, double y) {
        return QStringLiteral("h₁·x = %1, h₂·y = %2").arg(shortTextOf(h1 * x), shortTextOf(h2 * y));
    };
    QStringList lines;
    const double t = double(sample) * trajectory.dt;
    lines << (trajectory.ok(sample) ? QStringLiteral("Cosecha en t = %1: %2")
                                          .arg(shortTextOf(t), yieldsAt(trajectory.xs(sample), trajectory.ys(sample)))
                                    : QStringLiteral("Cosecha en t = %1: la solución no llega a ese instante.")
                                          .arg(shortTextOf(t)));
    for (const Equilibrium &e : equilibria)
        if (e.shape == Equilibrium::Shape::Point && e.x >= 0 && e.y >= 0)
            lines << QStringLiteral("En el equilibrio %1: %2").arg(pointText(e.x, e.y, shortTextOf), yieldsAt(e.x, e.y));
    yields_->setText(lines.join(u'\n'));
    yields_->show();
}
