#include "display/analysis/fit_section.h"

#include "display/analysis/analysis_window.h"
#include "display/toolkit/conversions.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString utf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString rSquaredText(const QString &species, const std::optional<double> &r2)
{
    return r2 ? QStringLiteral("R² de %1: %2").arg(species, shortTextOf(*r2))
              : QStringLiteral("R² de %1: no se puede calcular (menos de dos observaciones o todas iguales)").arg(species);
}

QTableWidget *parameterTable(const char *name, const QString &accessibleName, QWidget *parent)
{
    return resultTable(QString::fromLatin1(name),
                       {QStringLiteral("Parámetro"), QStringLiteral("Valor"), QStringLiteral("Error estándar")},
                       accessibleName,
                       QStringLiteral("Una fila por parámetro: nombre, valor y error estándar. Control+C copia las "
                                      "celdas elegidas."),
                       parent);
}

void setRow(QTableWidget &table, int row, const QString &name, double value, const std::optional<double> &error,
            const QString &noError)
{
    table.setItem(row, 0, resultCell(name));
    table.setItem(row, 1, resultCell(shortTextOf(value), exactTextOf(value)));
    table.setItem(row, 2, error ? resultCell(shortTextOf(*error), exactTextOf(*error)) : resultCell(noError));
}

} // namespace

FitSection::FitSection(QWidget *parent) : QGroupBox(QStringLiteral("Ajuste a los datos"), parent)
{
    setObjectName(QStringLiteral("seccionAjuste"));

    logarithmic_ = new QCheckBox(QStringLiteral("escala logarítmica"), this);
    logarithmic_->setObjectName(QStringLiteral("escalaLogaritmica"));
    logarithmic_->setChecked(true);
    logarithmic_->setToolTip(QStringLiteral("Residuos ln(modelo) − ln(observado), sin pesos; sin marcar, "
                                            "(modelo − observado) / s, s la desviación típica de cada especie."));
    auto *choices = new QHBoxLayout;
    choices->addWidget(logarithmic_);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(QStringLiteral("Fijar:"), this));
    for (int i = 0; i < 6; ++i) {
        const QChar letter(u'A' + i);
        held_[std::size_t(i)] = new QCheckBox(QString(letter), this);
        held_[std::size_t(i)]->setObjectName(QStringLiteral("fijar_") + letter);
        held_[std::size_t(i)]->setToolTip(QStringLiteral("Mantener %1 en su valor durante el ajuste.").arg(letter));
        held_[std::size_t(i)]->setAccessibleName(QStringLiteral("Fijar %1").arg(letter));
        choices->addWidget(held_[std::size_t(i)]);
    }
    formBoxes_ = new QHBoxLayout;
    formBoxes_->setContentsMargins(0, 0, 0, 0);
    choices->addLayout(formBoxes_);
    auto *classic = new QPushButton(QStringLiteral("Forma clásica"), this);
    classic->setObjectName(QStringLiteral("formaClasica"));
    classic->setToolTip(QStringLiteral("B = F = 0 y ambos fijados: presa y depredador sin autolimitación."));
    choices->addWidget(classic);
    choices->addStretch();

    auto *estimate = new QPushButton(QStringLiteral("Estimar"), this);
    estimate->setObjectName(QStringLiteral("estimarInicio"));
    estimate->setToolTip(QStringLiteral("Coeficientes iniciales por regresión de las tasas de crecimiento per cápita "
                                        "(ln x(t₂) − ln x(t₁)) / (t₂ − t₁) sobre x e y."));
    fit_ = new QPushButton(QStringLiteral("Ajustar"), this);
    fit_->setObjectName(QStringLiteral("ajustar"));
    fit_->setToolTip(QStringLiteral("Ajustar los coeficientes y el punto inicial a las observaciones, desde los "
                                    "coeficientes en vigor (Esc cancela)."));
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("progresoAjuste"));
    progress_->setTextFormat(Qt::PlainText);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(estimate);
    buttons->addWidget(fit_);
    buttons->addWidget(progress_, 1);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pestanasAjuste"));
    auto *resultPage = new QWidget(tabs_);
    auto *resultLayout = new QHBoxLayout(resultPage);
    table_ = parameterTable("tablaAjuste", QStringLiteral("Parámetros ajustados"), resultPage);
    summary_ = new QLabel(resultPage);
    summary_->setObjectName(QStringLiteral("resumenAjuste"));
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    summary_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    summary_->setAccessibleName(QStringLiteral("Resumen del ajuste"));
    resultLayout->addWidget(table_, 3);
    resultLayout->addWidget(summary_, 2);
    tabs_->addTab(resultPage, QStringLiteral("Resultado"));
    residuals_ = new ResidualPlot(tabs_);
    tabs_->addTab(residuals_, QStringLiteral("Residuos"));
    auto *estimatePage = new QWidget(tabs_);
    auto *estimateLayout = new QVBoxLayout(estimatePage);
    estimate_ = parameterTable("tablaEstimacion", QStringLiteral("Estimación inicial"), estimatePage);
    estimateNote_ = new QLabel(estimatePage);
    estimateNote_->setObjectName(QStringLiteral("notaEstimacion"));
    estimateNote_->setWordWrap(true);
    estimateNote_->setTextFormat(Qt::PlainText);
    estimateLayout->addWidget(estimate_, 1);
    estimateLayout->addWidget(estimateNote_);
    tabs_->addTab(estimatePage, QStringLiteral("Estimación"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    layout->addWidget(tabs_, 1);
    clearFit();

    connect(fit_, &QPushButton::clicked, this, &FitSection::fitRequested);
    connect(estimate, &QPushButton::clicked, this, &FitSection::estimateRequested);
    connect(classic, &QPushButton::clicked, this, [this] {
        setHeld(1, true);
        setHeld(5, true);
        emit classicFormRequested();
    });
}

FitOptions FitSection::choices() const
{
    FitOptions options;
    options.scale = logarithmic_->isChecked() ? ResidualScale::Logarithmic : ResidualScale::Values;
    for (std::size_t i = 0; i < held_.size(); ++i)
        options.held[i] = held_[i]->isChecked();
    for (std::size_t i = 0; i < formHeld_.size(); ++i)
        options.formHeld[i] = formHeld_[i]->isChecked();
    return options;
}

void FitSection::setForm(const std::optional<EcologicalParameters> &form)
{
    const std::optional<EcologicalForm> kind = form ? std::optional(form->form) : std::nullopt;
    if (kind != form_) {
        form_ = kind;
        for (QCheckBox *box : formHeld_)
            delete box;
        formHeld_.clear();
        for (QCheckBox *letter : held_)
            letter->setVisible(!kind);
        if (kind)
            for (const EcologicalParameter &p : parametersOf(*kind)) {
                const QString symbol = QString::fromUtf8(p.symbol);
                auto *box = new QCheckBox(symbol, this);
                box->setObjectName(QStringLiteral("fijar_") + QString::fromLatin1(p.id));
                box->setToolTip(QStringLiteral("Mantener %1 (%2) en su valor durante el ajuste.")
                                    .arg(symbol, QString::fromUtf8(p.meaning)));
                box->setAccessibleName(QStringLiteral("Fijar %1").arg(symbol));
                box->setChecked(p.domain == ParameterDomain::NonNegative);
                formBoxes_->addWidget(box);
                formHeld_.push_back(box);
            }
    }
    // K = ∞ has no finite step: it stays held, and freed again when it is finite.
    for (std::size_t i = 0; form && i < formHeld_.size(); ++i) {
        const bool infinite = std::isinf(form->values[i]);
        if (infinite == formHeld_[i]->isEnabled()) {
            formHeld_[i]->setEnabled(!infinite);
            formHeld_[i]->setChecked(infinite);
        }
    }
}

void FitSection::setHeld(int index, bool held)
{
    if (index >= 0 && index < int(held_.size()))
        held_[std::size_t(index)]->setChecked(held);
}

// While a fit runs, Escape anywhere in the window cancels it rather than closing the window:
// the key is claimed before the window's shortcut sees it.
void FitSection::showRunning(int seconds)
{
    progress_->setText(seconds < 1 ? QStringLiteral("Ajustando…")
                                   : QStringLiteral("Ajustando… %1 s (Esc cancela)").arg(seconds));
    if (!std::exchange(running_, true))
        qApp->installEventFilter(this);
}

void FitSection::showStopped(const QString &why)
{
    progress_->setText(why);
    if (std::exchange(running_, false))
        qApp->removeEventFilter(this);
}

bool FitSection::eventFilter(QObject *watched, QEvent *event)
{
    if (running_ && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && widget
            && widget->window() == window()) {
            event->accept();
            emit cancelRequested();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void FitSection::showFit(const FitResult &result, const FitOptions &options, const QString &xName,
                         const QString &yName, std::vector<ResidualPlot::Series> residuals)
{
    const ResidualScale scale = options.scale;
    table_->setRowCount(0);
    residuals_->clear();
    if (result.status == FitStatus::Refused || result.status == FitStatus::Cancelled) {
        summary_->setText(result.status == FitStatus::Cancelled ? QStringLiteral("Ajuste cancelado: nada cambió.")
                                                                : QStringLiteral("No se ajustó: ") + utf8(result.message));
        return;
    }
    const fit::Values values = fit::valuesOf(result.fitted);
    const QString noError = result.identifiable ? QStringLiteral("—") : QStringLiteral("no identificable");
    // Over a form: its free parameters by their symbols, then the initial point.
    if (result.fittedForm) {
        const auto list = parametersOf(result.fittedForm->form);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (result.formHeld[i])
                continue;
            const int row = table_->rowCount();
            table_->setRowCount(row + 1);
            setRow(*table_, row, QString::fromUtf8(list[i].symbol), result.fittedForm->values[i], result.formErrors[i],
                   noError);
        }
    }
    for (int i = result.fittedForm ? 6 : 0; i < fit::kParameterCount; ++i) {
        if (options.held[std::size_t(i)])
            continue;
        const int row = table_->rowCount();
        table_->setRowCount(row + 1);
        setRow(*table_, row, QString::fromUtf8(fit::parameterName(i)), values[std::size_t(i)],
               result.standardErrors[std::size_t(i)], noError);
    }
    table_->resizeColumnsToContents();

    QStringList lines;
    lines << (result.status == FitStatus::Converged
                  ? QStringLiteral("Convergió en %1 iteraciones (%2 soluciones integradas).")
                        .arg(result.iterations).arg(result.evaluations)
                  : QStringLiteral("No convergió: se muestra el mejor punto alcanzado."));
    lines << QStringLiteral("Suma de cuadrados de los residuos (%1): %2")
                 .arg(scale == ResidualScale::Logarithmic ? QStringLiteral("escala logarítmica")
                                                          : QStringLiteral("valores entre su desviación típica"),
                      shortTextOf(result.ssr));
    lines << QStringLiteral("%1 residuos, %2 parámetros libres.").arg(result.residualCount).arg(result.freeCount);
    lines << rSquaredText(xName, result.rSquaredX) << rSquaredText(yName, result.rSquaredY);
    for (const std::string &warning : result.warnings)
        lines << QStringLiteral("Aviso: ") + utf8(warning);
    summary_->setText(lines.join(QLatin1Char('\n')));
    residuals_->showResiduals(std::move(residuals), scale == ResidualScale::Logarithmic
                                                        ? QStringLiteral("ln(observado) − ln(modelo)")
                                                        : QStringLiteral("(observado − modelo) / s"));
}

void FitSection::clearFit()
{
    table_->setRowCount(0);
    summary_->setText(QStringLiteral("Sin ajuste para los coeficientes en vigor. «Ajustar» ajusta los coeficientes "
                                     "y el punto inicial (x₀, y₀) a las observaciones."));
    residuals_->clear();
}

void FitSection::showEstimate(const GrowthEstimate &estimate)
{
    estimate_->setRowCount(int(estimate.rows.size()));
    for (int row = 0; row < estimate_->rowCount(); ++row) {
        const GrowthRow &g = estimate.rows[std::size_t(row)];
        setRow(*estimate_, row, QString::fromUtf8(fit::parameterName(g.parameter)), g.value, g.standardError,
               g.held ? QStringLiteral("fijado") : QStringLiteral("—"));
    }
    estimate_->resizeColumnsToContents();
    estimateNote_->setText(QStringLiteral("Regresión de las tasas per cápita sobre %1 intervalos de x y %2 de y; "
                                          "sus coeficientes y la primera observación son ahora el punto de partida.")
                               .arg(estimate.intervalsX)
                               .arg(estimate.intervalsY));
    tabs_->setCurrentIndex(2);
}

void FitSection::showEstimateRefused(const QString &why)
{
    estimate_->setRowCount(0);
    estimateNote_->setText(QStringLiteral("No se pudo estimar: ") + why);
    tabs_->setCurrentIndex(2);
}

void FitSection::clearEstimate()
{
    estimate_->setRowCount(0);
    estimateNote_->setText(QString());
}
