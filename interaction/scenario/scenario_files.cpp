#include "interaction/scenario/scenario_files.h"

#include "display/analysis/analysis_window.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/regime/regime_window.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/export/plot_export.h"
#include "state/explorer_state.h"
#include "state/scenario.h"
#include "state/scenario_state.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <tuple>
#include <variant>

namespace {

const QString kScenarioFilter = QStringLiteral("Escenario de Lotka-Volterra (*.lvesc)");

} // namespace

ScenarioFiles::ScenarioFiles(QWidget &window, ExplorerState &state, PlotExport &exports, AnalysisLayer &analysis,
                             QLineEdit &x0, QLineEdit &y0, QLineEdit &span)
    : QObject(&window), window_(window), state_(state), exports_(exports), analysis_(analysis), x0_(x0), y0_(y0),
      span_(span)
{
    askOpenFileName = [this](const QString &caption, const QString &folder, const QString &filters) {
        return QFileDialog::getOpenFileName(&window_, caption, folder, filters, nullptr,
                                            QFileDialog::DontUseNativeDialog);
    };
}

Scenario ScenarioFiles::scenario() const
{
    const Model &model = state_.model();
    Scenario s = scenarioOf(state_, model.xs(0), model.ys(0));
    const AnalysisWindow *analysisWindow = analysis_.analysisWindow();
    s.liveCoefficients = analysisWindow && analysisWindow->isVisible();
    // The diagram's coefficient and range are kept while it is closed, as the window keeps them.
    if (const BifurcationWindow *diagram = analysis_.exploration()->bifurcationWindow()) {
        s.diagram.open = diagram->isVisible();
        s.diagram.coefficient = diagram->coefficient();
        s.diagram.parameter = diagram->parameterId();
        std::tie(s.diagram.from, s.diagram.to) = diagram->range();
    }
    // The map's likewise.
    if (const RegimeWindow *map = analysis_.exploration()->regimeWindow()) {
        s.regimeMap.open = map->isVisible();
        s.regimeMap.horizontal = map->horizontal();
        s.regimeMap.vertical = map->vertical();
        std::tie(s.regimeMap.fromH, s.regimeMap.toH) = map->rangeH();
        std::tie(s.regimeMap.fromV, s.regimeMap.toV) = map->rangeV();
        s.regimeMap.parameterH = map->horizontalParameterId();
        s.regimeMap.parameterV = map->verticalParameterId();
    }
    return s;
}

void ScenarioFiles::save()
{
    // A file too large to open again is never written: long data could make one.
    const QByteArray json = scenarioToJson(scenario());
    if (json.size() > scenario::kMaxFileBytes) {
        QMessageBox::warning(&window_, QStringLiteral("Guardar escenario"),
                             QStringLiteral("Con estos datos el escenario ocuparía más de %1 MiB, y no se podría abrir: "
                                            "no se guarda. Quite los datos o abra una serie más corta.")
                                 .arg(scenario::kMaxFileBytes >> 20));
        return;
    }
    exports_.saveFile(QStringLiteral("Guardar escenario"), QStringLiteral("escenario.lvesc"), kScenarioFilter,
                      QStringLiteral("lvesc"), [&json] { return json; });
}

void ScenarioFiles::open()
{
    const QString path = askOpenFileName(QStringLiteral("Abrir escenario"), exports_.offeredPath(QString()),
                                         kScenarioFilter + QStringLiteral(";;Todos los archivos (*)"));
    if (!path.isEmpty())
        openFile(path);
}

bool ScenarioFiles::openFile(const QString &path)
{
    const std::variant<Scenario, QString> read = readScenarioFile(path);
    if (const QString *message = std::get_if<QString>(&read)) {
        QMessageBox::warning(&window_, QStringLiteral("Abrir escenario"), *message);
        return false;
    }
    const Scenario &s = std::get<Scenario>(read);
    emit scenarioOpening();
    applyScenario(state_, s);
    // The initial point and span, shown where Calcular reads them, exactly: Calcular then
    // computes the same trajectory again.
    writeText(&x0_, exactTextOf(s.x0));
    writeText(&y0_, exactTextOf(s.y0));
    writeText(&span_, exactTextOf(s.span));

    if (s.liveCoefficients)
        analysis_.showAnalysisWindow();
    else if (AnalysisWindow *analysisWindow = analysis_.analysisWindow())
        analysisWindow->hide();
    // A diagram closed in the file keeps its coefficient and range for when it opens, if it is
    // made already; none is made to be hidden.
    BifurcationWindow *diagram = analysis_.exploration()->bifurcationWindow();
    if (s.diagram.open && !diagram)
        diagram = &analysis_.exploration()->bifurcationWindowMade();
    if (diagram) {
        diagram->setCoefficient(s.diagram.coefficient);
        // Along a parameter of the form the scenario put in force; without it, the coefficient.
        if (!s.diagram.parameter.isEmpty())
            diagram->setParameterById(s.diagram.parameter);
        diagram->setRange(s.diagram.from, s.diagram.to);
    }
    if (s.diagram.open)
        analysis_.showBifurcationWindow();
    else if (diagram)
        diagram->hide();
    // The map of regimes as the diagram.
    RegimeWindow *map = analysis_.exploration()->regimeWindow();
    if (s.regimeMap.open && !map)
        map = &analysis_.exploration()->regimeWindowMade();
    if (map) {
        map->setAxes(s.regimeMap.horizontal, s.regimeMap.vertical);
        // Along parameters of the form the scenario put in force; without it, the coefficients.
        if (!s.regimeMap.parameterH.isEmpty())
            map->setParametersById(s.regimeMap.parameterH, s.regimeMap.parameterV);
        map->setRanges(s.regimeMap.fromH, s.regimeMap.toH, s.regimeMap.fromV, s.regimeMap.toV);
    }
    if (s.regimeMap.open)
        analysis_.showRegimeWindow();
    else if (map)
        map->hide();
    emit scenarioOpened();
    return true;
}
