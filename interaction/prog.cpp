#include "interaction/prog.h"

#include "display/controls/accessibility.h"
#include "display/controls/clickable_label.h"
#include "display/controls/layout.h"
#include "display/plots/plot_surface.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
#include "display/views/plot_views.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/fit_actions.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/data/observation_actions.h"
#include "interaction/export/plot_export.h"
#include "interaction/export/printing.h"
#include "interaction/gestures/plot_gestures.h"
#include "interaction/history/state_history.h"
#include "interaction/scenario/scenario_files.h"
#include "model/failure.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

Prog::Prog(QWidget *parent) : QWidget(parent), model(state_.model())
{
    setObjectName(QStringLiteral("Prog"));
    layout::build(this);
    // The designed size is the least; every control stands where it is designed there.
    setMinimumSize(size());
    describeForAssistiveTechnology(this);

    XYgraf = findChild<PlotSurface *>(QStringLiteral("XYgraf"));
    Xgraf = findChild<PlotSurface *>(QStringLiteral("Xgraf"));
    Ygraf = findChild<PlotSurface *>(QStringLiteral("Ygraf"));
    HScroll1 = findChild<QScrollBar *>(QStringLiteral("HScroll1"));
    XR = findChild<QLineEdit *>(QStringLiteral("XR"));
    YR = findChild<QLineEdit *>(QStringLiteral("YR"));
    TR = findChild<QLineEdit *>(QStringLiteral("TR"));
    XI = findChild<QLineEdit *>(QStringLiteral("XI"));
    YI = findChild<QLineEdit *>(QStringLiteral("YI"));
    Text2 = findChild<QLineEdit *>(QStringLiteral("Text2"));
    Calcular = findChild<QPushButton *>(QStringLiteral("Calcular"));
    for (int i = 0; i < int(par.size()); ++i)
        par[i] = findChild<ClickableLabel *>(QStringLiteral("par(%1)").arg(i));
    for (int i = 0; i < int(Label1.size()); ++i)
        Label1[i] = findChild<QLabel *>(QStringLiteral("Label1(%1)").arg(i));

    plots_ = new PlotViews(state_, *XYgraf, *Xgraf, *Ygraf, this);
    exports = new PlotExport(*this, state_, *plots_);
    connectEvents();
    analysis = new AnalysisLayer(*this, state_, *plots_, *XYgraf, *HScroll1, [this](WindowAction id) { return action(id); });
    ParameterExploration *exploration = analysis->exploration();
    connect(exploration, &ParameterExploration::recomputeRequested, this, &Prog::recomputeAsCalcular);
    connect(exploration, &ParameterExploration::startChosen, this, [this](double x0, double y0, double span) {
        history_->nameNextChange(QStringLiteral("modelo de ejemplo"));
        showStart(x0, y0, span);
    });
    // A fit's (or «Estimar»'s) initial point, written to the last bit where Calcular reads it.
    connect(analysis->fitting(), &FitActions::startChosen, this, [this](double x0, double y0, const QString &step) {
        history_->nameNextChange(step);
        writeText(XI, exactTextOf(x0));
        writeText(YI, exactTextOf(y0));
        recomputeAsCalcular();
    });
    connect(exploration, &ParameterExploration::diagramMade, exports, &PlotExport::attachDiagramExport);
    connect(exploration, &ParameterExploration::regimeMapMade, exports, &PlotExport::attachRegimeMapExport);
    printing = new Printing(*this, state_, *plots_, *exports);
    connect(exploration, &ParameterExploration::diagramMade, printing, &Printing::attachDiagramPrinting);
    connect(exploration, &ParameterExploration::regimeMapMade, printing, &Printing::attachRegimeMapPrinting);
    scenarios = new ScenarioFiles(*this, state_, *exports, *analysis, *XI, *YI, *Text2);
    // The cursor may stand where it stood: its read-outs and the plots show the opened state.
    connect(scenarios, &ScenarioFiles::scenarioOpened, this, &Prog::showTimeCursor);
    data = new ObservationActions(*this, state_, *exports);
    analysis->setDataActions(data->menuActions(), data->exampleActions());
    createActions();
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->installEventFilter(this);
    XYgraf->installEventFilter(this);
}

void Prog::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const layout::Growth growth = layout::growthFor(size());
    layout::arrange(this, growth);
    plots_->setGrowth(growth.factor, layout::timeStretchOf(growth));
}

// Which keys the control with the focus keeps and which reach the window's actions, where a
// control's own bindings would decide otherwise.
bool Prog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // In the phase plane Ctrl+arrows move the crosshair ten pixels, also while they step
    // between turning points everywhere else.
    if (watched == XYgraf) {
        if (modifiers == Qt::ControlModifier && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
            event->accept();
            return true;
        }
        return false;
    }
    // A text box would take Ctrl+E as "end of line" and Ctrl+D as "delete": they export the
    // data and open data, as Ctrl+S saves the picture from there.
    if (!qobject_cast<QLineEdit *>(watched))
        return false;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(key->key())));
    for (const WindowAction id : {WindowAction::ExportData, WindowAction::OpenData})
        if (const QAction *reaching = action(id); reaching && pressed == reaching->shortcut()) {
            event->ignore();
            return true;
        }
    return false;
}

void Prog::connectEvents()
{
    connect(Calcular, &QPushButton::clicked, this, [this] { dispatch([this] { Calcular_Click(); }); });

    auto *gestures = new PlotGestures(state_, *plots_, *XYgraf, *Xgraf, *Ygraf, *HScroll1, this);
    connect(gestures, &PlotGestures::phasePlanePressed, this, [this](int button, int shift, float x, float y) {
        dispatch([=, this] { XYgraf_MouseDown(button, shift, x, y); });
    });

    // A new pixel ratio needs every plot drawn afresh, not rescaled.
    for (PlotSurface *plot : {XYgraf, Xgraf, Ygraf})
        connect(plot, &PlotSurface::scaleChanged, this, [this] { dispatch([this] { pintura(); }); });

    // A drag reports every position as Scroll; a value that differs at its end, and every
    // other change, as Change.
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] {
        if (HScroll1->isSliderDown())
            dispatch([this] { HScroll1_Scroll(); });
        else
            dispatch([this] { HScroll1_Change(); });
    });
    connect(HScroll1, &QScrollBar::sliderPressed, this, [this] { valueAtDragStart_ = HScroll1->value(); });
    connect(HScroll1, &QScrollBar::sliderReleased, this, [this] {
        if (HScroll1->value() != valueAtDragStart_)
            dispatch([this] { HScroll1_Change(); });
    });

    for (int i = 0; i < int(par.size()); ++i)
        connect(par[i], &ClickableLabel::clicked, this, [this, i] { dispatch([this, i] { par_Click(i); }); });

    // What the state says changed, the window shows.
    connect(&state_, &ExplorerState::coefficientChanged, this, &Prog::refreshParameterLabel);
    connect(&state_, &ExplorerState::recomputed, this, &Prog::recomputed);
    connect(&state_, &ExplorerState::cursorMoved, this, [this](int sample) {
        // Through the scroll bar, whose change procedure finds the state there already.
        if (HScroll1->value() != sample)
            HScroll1->setValue(sample);
        showTimeCursor();
    });
}

template <typename Procedure>
void Prog::dispatch(Procedure procedure)
{
    try {
        procedure();
    } catch (const Failure &failure) {
        reportUnhandled(failure);
    }
}

void Prog::reportUnhandled(const Failure &failure)
{
    QString text;
    switch (failure.kind()) {
    case Failure::Kind::TypeMismatch:
        text = QStringLiteral("Error en tiempo de ejecución: no coinciden los tipos.");
        break;
    case Failure::Kind::Overflow:
        text = QStringLiteral("Error en tiempo de ejecución: desbordamiento.");
        break;
    case Failure::Kind::FloatingPointFault:
        text = QStringLiteral("Error en tiempo de ejecución: error de coma flotante.");
        break;
    }
    QMessageBox::critical(this, windowTitle(), text);
    QCoreApplication::exit(1);
}

void Prog::Form_Load()
{
    state_.setDefaults();
    show();
    calcula();
    pintura();
    // Undo begins at the designed start.
    history_->startAfresh();
}

void Prog::refreshParameterLabel(int index, double value)
{
    ClickableLabel *label = par[index];
    label->setToolTip(textOf(value));
    QColor colour;
    if (value > 0)
        colour = RGB(0, 0, 255);
    else if (value < 0)
        colour = RGB(255, 0, 0);
    else
        colour = RGB(0, 255, 0);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);

    // The row of the equation reads as a whole formula with the values the labels show.
    const bool xRow = index < 3;
    if (auto *row = findChild<QWidget *>(xRow ? QStringLiteral("ecuacionX") : QStringLiteral("ecuacionY"))) {
        const int first = xRow ? 0 : 3;
        row->setAccessibleName(equationInWords(xRow ? 'x' : 'y', state_.coefficient(first), state_.coefficient(first + 1),
                                               state_.coefficient(first + 2)));
    }

    // What the tooltip shows, said in words for assistive technology.
    label->setAccessibleName(QStringLiteral("Parámetro %1, valor %2").arg(QChar(u'A' + index), textOf(value)));
    label->setAccessibleDescription(QStringLiteral("Pulse para cambiar el valor del parámetro %1.").arg(QChar(u'A' + index)));
}

void Prog::calcula()
{
    state_.recompute([this] { return numberFromText(XI->text()); }, [this] { return numberFromText(YI->text()); });
}

// After a recomputation, a box whose text is no number says so: the trajectory stayed as it was.
void Prog::recomputed()
{
    for (QLineEdit *box : {XI, YI}) {
        try {
            numberFromText(box->text());
        } catch (const Failure &) {
            markNotANumber(box);
        }
    }
}

void Prog::pintura()
{
    plots_->redraw();
}
