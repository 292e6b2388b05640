#include "interaction/data/observation_actions.h"

#include "display/toolkit/conversions.h"
#include "display/views/observation_layer.h"
#include "interaction/export/plot_export.h"
#include "model/model.h"
#include "state/built_in_data.h"
#include "state/explorer_state.h"
#include "state/readable_file.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>

#include <optional>
#include <string>
#include <variant>

namespace {

const QString kTitle = QStringLiteral("Abrir datos");
const QString kFilter = QStringLiteral("Datos (*.csv *.tsv *.txt);;Todos los archivos (*)");

// The first value observed of a species, in the program's units.
std::optional<double> firstObserved(const std::vector<std::optional<double>> &values)
{
    for (const std::optional<double> &v : values)
        if (v)
            return *v;
    return std::nullopt;
}

} // namespace

ObservationActions::ObservationActions(QWidget &window, ExplorerState &state, PlotExport &exports)
    : QObject(&window), window_(window), state_(state), exports_(exports)
{
    askOpenFileName = [this](const QString &caption, const QString &folder, const QString &filters) {
        return QFileDialog::getOpenFileName(&window_, caption, folder, filters, nullptr,
                                            QFileDialog::DontUseNativeDialog);
    };
    QAction *removal = made("quitarDatos", QStringLiteral("Quitar datos"));
    connect(removal, &QAction::triggered, this, &ObservationActions::remove);
    QAction *unit = made("unidadDatos", QStringLiteral("Unidad de los datos…"));
    connect(unit, &QAction::triggered, this, &ObservationActions::askUnit);
    menuActions_ << removal << unit;

    QAction *pelts = made("datosLinceLiebre", QStringLiteral("Pieles de liebre y lince, 1900–1920"));
    pelts->setToolTip(QStringLiteral("Pieles de liebre americana (x) y de lince del Canadá (y) compradas por la "
                                     "Compañía de la Bahía de Hudson, en miles, según la tabla de Odum (1953)."));
    connect(pelts, &QAction::triggered, this, [this] { show(built_in_data::pelts()); });
    QAction *synthetic = made("datosSinteticos", QStringLiteral("Serie sintética del sistema por defecto"));
    synthetic->setToolTip(QStringLiteral("El sistema por defecto muestreado 21 veces con un 5 % de ruido (semilla "
                                         "fija): un ajuste debe recuperar sus coeficientes."));
    connect(synthetic, &QAction::triggered, this, [this] { show(built_in_data::synthetic()); });
    exampleActions_ << pelts << synthetic;

    connect(&state_, &ExplorerState::observationsChanged, this, &ObservationActions::enableWithData);
    enableWithData();
}

QAction *ObservationActions::made(const char *name, const QString &text)
{
    auto *action = new QAction(text, &window_);
    action->setObjectName(QString::fromLatin1(name));
    window_.addAction(action);
    return action;
}

void ObservationActions::enableWithData()
{
    for (QAction *action : menuActions_)
        action->setEnabled(state_.observations().has_value());
}

void ObservationActions::open()
{
    const QString path = askOpenFileName(kTitle, exports_.offeredPath(QString()), kFilter);
    if (!path.isEmpty())
        openFile(path);
}

bool ObservationActions::openFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    std::variant<QByteArray, QString> read = readRegularFile(path, qint64(observations::kMaxBytes));
    if (const QString *why = std::get_if<QString>(&read)) {
        QMessageBox::warning(&window_, kTitle, QStringLiteral("No se pueden abrir los datos «%1»: %2.").arg(name, *why));
        return false;
    }
    const QByteArray bytes = std::get<QByteArray>(std::move(read));
    const QByteArray utf8Name = name.toUtf8();
    std::variant<Observations, std::string> series =
        readObservations(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                         std::string_view(utf8Name.constData(), std::size_t(utf8Name.size())));
    if (const std::string *message = std::get_if<std::string>(&series)) {
        QMessageBox::warning(&window_, kTitle, QString::fromStdString(*message));
        return false;
    }
    return show(std::get<Observations>(series));
}

bool ObservationActions::show(const Observations &series)
{
    if (!state_.setObservations(series)) {
        QMessageBox::warning(&window_, kTitle,
                             QStringLiteral("No se pueden mostrar los datos: ninguna unidad los deja en números finitos."));
        return false;
    }
    emit dataOpening();
    // The trajectory starts at the first observation (of each species, the first time it was
    // observed) and its last sample falls on the last observation.
    const Observations &scaled = state_.observations()->scaled.series;
    const std::optional<double> x0 = firstObserved(scaled.xs), y0 = firstObserved(scaled.ys);
    const double span = scaled.times.back();
    // Written exactly, so that the trajectory starts at the observation itself.
    emit startChosen(x0 ? exactTextOf(*x0) : QString(), y0 ? exactTextOf(*y0) : QString(),
                     Model::isUsableSpan(span) ? exactTextOf(span) : QString());
    return true;
}

void ObservationActions::remove()
{
    if (!state_.observations())
        return;
    emit dataRemoving();
    state_.clearObservations();
}

void ObservationActions::askUnit()
{
    const auto &shown = state_.observations();
    if (!shown)
        return;
    const int now = shown->scaled.unit.exponent;
    const QString prompt =
        QStringLiteral("Los valores del archivo se dividen entre 10^k (ahora, %1).\nExponente k, de %2 a %3:")
            .arg(observationUnitText(*shown), QString::number(ObservationUnit::kMinUnitExponent),
                 QString::number(ObservationUnit::kMaxUnitExponent));
    bool accepted = false;
    const QString answer = QInputDialog::getText(&window_, QStringLiteral("Unidad de los datos"), prompt,
                                                 QLineEdit::Normal, QString::number(now), &accepted);
    if (!accepted)
        return;
    bool integer = false;
    const int exponent = answer.trimmed().replace(QChar(u'−'), QChar(u'-')).toInt(&integer);
    if (!integer || exponent < ObservationUnit::kMinUnitExponent || exponent > ObservationUnit::kMaxUnitExponent) {
        QMessageBox::warning(&window_, QStringLiteral("Unidad de los datos"),
                             QStringLiteral("«%1» no es un exponente entero de %2 a %3: la unidad no cambia.")
                                 .arg(answer, QString::number(ObservationUnit::kMinUnitExponent),
                                      QString::number(ObservationUnit::kMaxUnitExponent)));
        return;
    }
    if (!state_.setObservationUnit(ObservationUnit{exponent}))
        QMessageBox::warning(&window_, QStringLiteral("Unidad de los datos"),
                             QStringLiteral("Con esa unidad algún valor deja de ser un número finito: la unidad no cambia."));
}
