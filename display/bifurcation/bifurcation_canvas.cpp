#include "display/bifurcation/bifurcation_canvas.h"

#include "display/toolkit/conversions.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>
#include <utility>

namespace {

constexpr double kMarkReach = 6;   // logical pixels from a mark's centre
constexpr double kZoomPerNotch = 0.8;
constexpr double kSmallestSpan = 1e-6;
constexpr double kLargestSpan = 1e9;

} // namespace

BifurcationCanvas::BifurcationCanvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(360, 300);
    setCursor(Qt::CrossCursor);
}

void BifurcationCanvas::setScene(const BifurcationScene &scene)
{
    scene_ = scene;
    update();
}

BifurcationGeometry BifurcationCanvas::diagramGeometry() const
{
    return BifurcationGeometry(rect(), scene_, font(), devicePixelRatioF());
}

QString BifurcationCanvas::toolTipAt(QPointF pos) const
{
    if (!scene_.hasRange())
        return {};
    const BifurcationGeometry g = diagramGeometry();
    const int panel = g.panelAt(pos);
    if (panel < 0)
        return {};
    QStringList texts;
    for (const TypeChange &change : diagramFor(scene_, g).changes) {
        const QPointF mark(g.coefficientX(change.value),
                           g.valueY(panel, panel == BifurcationGeometry::XPanel ? change.x : change.y));
        if (std::hypot(mark.x() - pos.x(), mark.y() - pos.y()) <= kMarkReach)
            texts << describeForToolTip(change, scene_.axisSymbol());
    }
    if (texts.isEmpty())
        texts << coincidingBranchesAt(g, panel, pos);
    texts.removeAll(QString());
    return texts.join(QStringLiteral("\n\n"));
}

// Where two or more equilibria's lines lie on one another under the pointer (the origin and
// (-A/B, 0) on y = 0), the drawing shows only the one on top: the tooltip names them all.
QString BifurcationCanvas::coincidingBranchesAt(const BifurcationGeometry &g, int panel, QPointF pos) const
{
    const BifurcationDiagram diagram = diagramFor(scene_, g);
    const int column = g.columnAt(pos.x());
    const auto nameOf = [](int role) {
        static constexpr const char *kNames[] = {"(0, 0)", "(-A/B, 0)", "(0, -D/F)", "el interior"};
        return QString::fromUtf8(kNames[role]).replace(QStringLiteral(", "), listSeparator());
    };
    QStringList here;
    for (int role = 0; role < kRoleCount; ++role) {
        const std::vector<CurvePoint> &curve = diagram.curves[std::size_t(role)];
        if (column < 0 || column >= int(curve.size()) || !curve[std::size_t(column)].exists)
            continue;
        const CurvePoint &p = curve[std::size_t(column)];
        const double y = g.valueY(panel, panel == BifurcationGeometry::XPanel ? p.x : p.y);
        if (std::fabs(y - pos.y()) <= kMarkReach / 2)
            here << QStringLiteral("%1 %2").arg(nameOf(role), p.neutral ? QStringLiteral("(neutral)")
                                                           : p.stable ? QStringLiteral("(estable)")
                                                                      : QStringLiteral("(inestable)"));
    }
    return here.size() >= 2 ? QStringLiteral("Coinciden aquí: ") + here.join(QStringLiteral(" y ")) : QString();
}

bool BifurcationCanvas::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void BifurcationCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintBifurcation(painter, rect(), scene_);
}

// A drag that leaves the panels keeps picking, at the nearest end past either side; a value
// already picked in this drag is not picked again.
void BifurcationCanvas::pickAt(QPointF pos)
{
    const double value = diagramGeometry().pickedValue(pos.x());
    if (dragging_ && value == lastPicked_)
        return;
    dragging_ = true;
    lastPicked_ = value;
    emit valuePicked(value);
}

void BifurcationCanvas::mousePressEvent(QMouseEvent *event)
{
    dragging_ = false;
    if (event->button() != Qt::LeftButton || !scene_.hasRange()
        || diagramGeometry().panelAt(event->position()) < 0)
        return QWidget::mousePressEvent(event);
    emit pickStarted();
    pickAt(event->position());
}

void BifurcationCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton) && scene_.hasRange())
        pickAt(event->position());
}

void BifurcationCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && std::exchange(dragging_, false))
        emit pickFinished();
    QWidget::mouseReleaseEvent(event);
}

void BifurcationCanvas::wheelEvent(QWheelEvent *event)
{
    const BifurcationGeometry g = diagramGeometry();
    const int panel = g.panelAt(event->position());
    const double notches = event->angleDelta().y() / 120.0;
    if (panel < 0 || notches == 0)
        return QWidget::wheelEvent(event);
    const double anchor = g.valueAt(panel, event->position().y());
    const double factor = std::pow(kZoomPerNotch, notches);
    BifurcationScene zoomed = scene_;
    zoomed.valueMin = anchor - (anchor - scene_.valueMin) * factor;
    zoomed.valueMax = anchor + (scene_.valueMax - anchor) * factor;
    const double span = zoomed.valueMax - zoomed.valueMin;
    if (std::isfinite(zoomed.valueMin) && std::isfinite(zoomed.valueMax) && span >= kSmallestSpan
        && span <= kLargestSpan)
        setScene(zoomed);
    event->accept();
}
