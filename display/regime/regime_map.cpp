#include "display/regime/regime_map.h"

#include "display/plots/plot_mapping.h"
#include "display/regime/map_axes.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/palette.h"
#include "model/analysis/bifurcation.h"

#include <QFutureWatcher>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr double kDotRadius = 0.7;   // logical pixels: a boundary one pixel wide
const QColor kBoundary(40, 40, 40);
// The crosshair in a full hue, where the boundaries are near black: the two never look alike.
const QColor kCrosshair = palette::kVermillion.colour;
// The trail of the last values: the crosshair's hue, faint.
const QColor kTrail = [] {
    QColor c = palette::kVermillion.colour;
    c.setAlpha(110);
    return c;
}();

QColor halfway(const QColor &a, const QColor &b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

// The value at a fraction of [from, to].
double along(double from, double to, double fraction)
{
    return from + (to - from) * fraction;
}

} // namespace

QColor regimeColour(Regime regime)
{
    using namespace palette;
    const QColor grows = escapeTint();
    switch (regime) {
    case Regime::Coexistence: return lightTint(kInteriorEquilibrium.colour);
    case Regime::XWins: return lightTint(kXAxisEquilibrium.colour);
    case Regime::YWins: return lightTint(kYAxisEquilibrium.colour);
    case Regime::Bistable: return lightTint(kSkyBlue.colour);
    case Regime::ExtinctionOrCoexistence: return lightTint(kBlue.colour);
    case Regime::Extinction: return lightTint(kIndigo.colour);
    case Regime::NeutralCyclesUnboundedOnAxis: return halfway(lightTint(kVermillion.colour), grows);
    case Regime::Unbounded: return grows;
    case Regime::XWinsOrUnbounded: return halfway(lightTint(kXAxisEquilibrium.colour), grows);
    case Regime::YWinsOrUnbounded: return halfway(lightTint(kYAxisEquilibrium.colour), grows);
    case Regime::CoexistenceOrUnbounded: return halfway(lightTint(kInteriorEquilibrium.colour), grows);
    case Regime::ExtinctionOrUnbounded: return halfway(lightTint(kIndigo.colour), grows);
    case Regime::BistableOrUnbounded: return halfway(lightTint(kSkyBlue.colour), grows);
    case Regime::NoAttractor: return lightTint(kWine.colour);
    case Regime::Borderline: return lightTint(kLightGrey.colour);
    case Regime::LineOfEquilibria: return QColor(242, 242, 242);
    case Regime::PlaneOfEquilibria: return QColor(255, 255, 255);
    }
    return QColor(255, 255, 255);
}

std::optional<Coefficients> RegimeMapScene::systemAt(double h, double v) const
{
    if (!onParameters())
        return withCoefficient(withCoefficient(system, vertical, v), horizontal, h);
    EcologicalParameters p = *ecology;
    const auto list = parametersOf(p.form);
    const auto hi = std::size_t(horizontalParameter), vi = std::size_t(verticalParameter);
    if (!fitsDomain(h, list[hi].domain) || !fitsDomain(v, list[vi].domain))
        return std::nullopt;
    p.values[hi] = h;
    p.values[vi] = v;
    const Coefficients k = coefficientsOf(p);
    for (double c : {k.A, k.B, k.C, k.D, k.E, k.F})
        if (!std::isfinite(c))
            return std::nullopt;
    return k;
}

double RegimeMapScene::valueH() const
{
    return onParameters() ? ecology->values[std::size_t(horizontalParameter)] : coefficientValue(system, horizontal);
}

double RegimeMapScene::valueV() const
{
    return onParameters() ? ecology->values[std::size_t(verticalParameter)] : coefficientValue(system, vertical);
}

const char *RegimeMapScene::nameH() const
{
    return onParameters() ? parametersOf(ecology->form)[std::size_t(horizontalParameter)].symbol
                          : coefficientName(horizontal);
}

const char *RegimeMapScene::nameV() const
{
    return onParameters() ? parametersOf(ecology->form)[std::size_t(verticalParameter)].symbol
                          : coefficientName(vertical);
}

QColor outsideDomainColour()
{
    return QColor(200, 200, 200);
}

namespace {

// The boundaries along two parameters: where neighbouring pixel centres differ in regime, the
// change between them located by halving. `regimes` holds each pixel's regime, -1 outside the
// domain.
void drawParameterBoundaries(QPainter &painter, const RegimeMapScene &scene, QSize size,
                             const std::vector<signed char> &regimes, const std::atomic<bool> *cancelled)
{
    const int w = size.width(), h = size.height();
    const auto stop = [cancelled] { return cancelled && cancelled->load(std::memory_order_relaxed); };
    const auto hAt = [&](double column) { return along(scene.fromH, scene.toH, column / w); };
    const auto vAt = [&](double row) { return along(scene.toV, scene.fromV, row / h); };
    const auto regimeAt = [&](double hv, double vv) {
        const std::optional<Coefficients> k = scene.systemAt(hv, vv);
        return k ? int(regimeOf(*k)) : -1;
    };
    // The value in (low, high) where the regime stops being `first`: the regime there is
    // `first` at low and not at high.
    const auto halve = [](double low, double high, int first, const auto &regimeAtValue) {
        for (int step = 0; step < kBisectionSteps; ++step) {
            const double middle = low + (high - low) / 2;
            if (middle <= low || middle >= high)
                break;   // neighbouring doubles
            (regimeAtValue(middle) == first ? low : high) = middle;
        }
        return low + (high - low) / 2;
    };
    const double spanH = scene.toH - scene.fromH, spanV = scene.toV - scene.fromV;
    for (int row = 0; row < h && !stop(); ++row) {
        const double v = vAt(row + 0.5);
        for (int column = 0; column + 1 < w; ++column) {
            const int a = regimes[std::size_t(row * w + column)], b = regimes[std::size_t(row * w + column + 1)];
            if (a < 0 || b < 0 || a == b)
                continue;
            const double value = halve(hAt(column + 0.5), hAt(column + 1.5), a,
                                       [&](double x) { return regimeAt(x, v); });
            painter.drawEllipse(QPointF((value - scene.fromH) / spanH * w, row + 0.5), kDotRadius, kDotRadius);
        }
    }
    for (int column = 0; column < w && !stop(); ++column) {
        const double hv = hAt(column + 0.5);
        for (int row = 0; row + 1 < h; ++row) {
            const int a = regimes[std::size_t(row * w + column)], b = regimes[std::size_t((row + 1) * w + column)];
            if (a < 0 || b < 0 || a == b)
                continue;
            // Rows run downwards, values upwards: from the upper centre's value down.
            const double value = halve(vAt(row + 0.5), vAt(row + 1.5), a, [&](double y) { return regimeAt(hv, y); });
            painter.drawEllipse(QPointF(column + 0.5, (scene.toV - value) / spanV * h), kDotRadius, kDotRadius);
        }
    }
}

} // namespace

RegimePicture regimePicture(const RegimeMapScene &scene, QSize size, const std::atomic<bool> *cancelled)
{
    const auto stop = [cancelled] { return cancelled && cancelled->load(std::memory_order_relaxed); };
    RegimePicture picture;
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0)
        return picture;
    picture.image = QImage(size, QImage::Format_RGB32);
    picture.image.fill(Qt::white);
    if (!scene.hasRange())
        return picture;
    std::array<QRgb, kRegimeCount> colours{};
    for (int r = 0; r < kRegimeCount; ++r)
        colours[std::size_t(r)] = regimeColour(Regime(r)).rgb();
    const auto hAt = [&](double column) { return along(scene.fromH, scene.toH, column / w); };
    const auto vAt = [&](double row) { return along(scene.toV, scene.fromV, row / h); };
    if (scene.onParameters()) {
        const QRgb outside = outsideDomainColour().rgb();
        std::vector<signed char> regimes(std::size_t(w) * std::size_t(h), -1);
        for (int row = 0; row < h; ++row) {
            if (stop())
                return {};
            const double v = vAt(row + 0.5);
            auto *line = reinterpret_cast<QRgb *>(picture.image.scanLine(row));
            for (int column = 0; column < w; ++column) {
                const std::optional<Coefficients> k = scene.systemAt(hAt(column + 0.5), v);
                if (!k) {
                    picture.outsideDomain = true;
                    line[column] = outside;
                    continue;
                }
                const Regime regime = regimeOf(*k);
                picture.present[std::size_t(regime)] = true;
                regimes[std::size_t(row * w + column)] = static_cast<signed char>(regime);
                line[column] = colours[std::size_t(regime)];
            }
        }
        QPainter painter(&picture.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBoundary);
        drawParameterBoundaries(painter, scene, size, regimes, cancelled);
        painter.end();
        if (stop())
            return {};
        return picture;
    }
    for (int row = 0; row < h; ++row) {
        if (stop())
            return {};
        const Coefficients k = withCoefficient(scene.system, scene.vertical, vAt(row + 0.5));
        auto *line = reinterpret_cast<QRgb *>(picture.image.scanLine(row));
        for (int column = 0; column < w; ++column) {
            const Regime regime = regimeOf(withCoefficient(k, scene.horizontal, hAt(column + 0.5)));
            picture.present[std::size_t(regime)] = true;
            line[column] = colours[std::size_t(regime)];
        }
    }
    // The boundaries where each row and each column crosses them, at their exact positions.
    QPainter painter(&picture.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBoundary);
    const double spanH = scene.toH - scene.fromH, spanV = scene.toV - scene.fromV;
    for (int row = 0; row < h && !stop(); ++row) {
        const Coefficients k = withCoefficient(scene.system, scene.vertical, vAt(row + 0.5));
        for (double value : regimeBoundaries(k, scene.horizontal, scene.fromH, scene.toH))
            painter.drawEllipse(QPointF((value - scene.fromH) / spanH * w, row + 0.5), kDotRadius, kDotRadius);
    }
    for (int column = 0; column < w && !stop(); ++column) {
        const Coefficients k = withCoefficient(scene.system, scene.horizontal, hAt(column + 0.5));
        for (double value : regimeBoundaries(k, scene.vertical, scene.fromV, scene.toV))
            painter.drawEllipse(QPointF(column + 0.5, (scene.toV - value) / spanV * h), kDotRadius, kDotRadius);
    }
    painter.end();
    if (stop())
        return {};
    return picture;
}

RegimeMap::RegimeMap(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 200);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    pool_.setMaxThreadCount(1);
}

RegimeMap::~RegimeMap()
{
    cancelPicture();
    running_.waitForFinished();
}

namespace {

// What the picture depends on besides the values on its axes: for coefficients, the other four;
// along parameters, the form and its other parameters.
bool sameRest(const RegimeMapScene &a, const RegimeMapScene &b)
{
    if (a.onParameters() != b.onParameters())
        return false;
    if (!a.onParameters())
        return bitIdentical(withCoefficient(withCoefficient(a.system, a.horizontal, 0), a.vertical, 0),
                            withCoefficient(withCoefficient(b.system, b.horizontal, 0), b.vertical, 0));
    if (a.ecology->form != b.ecology->form)
        return false;
    for (int i = 0; i < a.ecology->count(); ++i)
        if (i != a.horizontalParameter && i != a.verticalParameter
            && std::memcmp(&a.ecology->values[std::size_t(i)], &b.ecology->values[std::size_t(i)], sizeof(double)) != 0)
            return false;
    return true;
}

} // namespace

void RegimeMap::setScene(const RegimeMapScene &scene)
{
    const RegimeMapScene &old = scene_;
    const bool sameAxes = old.onParameters() == scene.onParameters()
                          && (scene.onParameters() ? old.horizontalParameter == scene.horizontalParameter
                                                         && old.verticalParameter == scene.verticalParameter
                                                   : old.horizontal == scene.horizontal && old.vertical == scene.vertical)
                          && old.fromH == scene.fromH && old.toH == scene.toH && old.fromV == scene.fromV
                          && old.toV == scene.toV;
    const double oldH = old.valueH(), oldV = old.valueV();
    const double newH = scene.valueH(), newV = scene.valueV();
    const bool sameValues = sameAxes && bitIdentical(withCoefficient(withCoefficient({}, 0, oldH), 1, oldV),
                                                     withCoefficient(withCoefficient({}, 0, newH), 1, newV));
    // Only the crosshair moves where the two values on the axes are all that changed.
    bool repaint = !sameValues;
    const bool stale = !sameRest(old, scene) || !sameAxes;
    if (stale) {
        stale_ = true;
        startedForCurrent_ = false;
        cancelPicture();
        ++generation_;   // whatever runs now is for an earlier scene
        repaint = repaint || keyPixel_.has_value();
        keyPixel_.reset();
    }
    if (old.horizontal != scene.horizontal || old.vertical != scene.vertical || old.onParameters() != scene.onParameters()
        || old.horizontalParameter != scene.horizontalParameter || old.verticalParameter != scene.verticalParameter)
        trail_.clear();
    if (std::isfinite(newH) && std::isfinite(newV) && (trail_.empty() || trail_.back().x() != newH || trail_.back().y() != newV)) {
        trail_.push_back(QPointF(newH, newV));
        if (trail_.size() > std::size_t(kTrailLength))
            trail_.pop_front();
    }
    scene_ = scene;
    // A change of the other coefficients alone leaves the screen as it is until the new picture
    // comes (a slider of a third coefficient repaints nothing at each step); the paint that
    // would have started it is not waited for.
    if (stale && !repaint && isVisible())
        startPicture();
    else
        update();
}

bool RegimeMap::pictureIsCurrent() const
{
    return !stale_ && pictureSize_ == size();
}

const RegimePicture &RegimeMap::picture() const
{
    if (!pictureIsCurrent()) {
        picture_ = regimePicture(scene_, size());
        pictureSize_ = size();
        stale_ = false;
    }
    return picture_;
}

void RegimeMap::cancelPicture()
{
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
}

// The picture of the present scene and size, on the map's thread; the one before it, if still
// running, is cancelled, and its result dropped by its generation.
void RegimeMap::startPicture()
{
    cancelPicture();
    const quint64 generation = ++generation_;
    const RegimeMapScene scene = scene_;
    const QSize area = size();
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    running_ = QtConcurrent::run(&pool_, [scene, area, cancelled = cancelled_] {
        return regimePicture(scene, area, cancelled.get());
    });
    startedForCurrent_ = true;
    startedSize_ = area;
    auto *watcher = new QFutureWatcher<RegimePicture>(this);
    connect(watcher, &QFutureWatcher<RegimePicture>::finished, this, [this, watcher, generation, area] {
        watcher->deleteLater();
        if (generation != generation_ || area != size() || watcher->future().isCanceled())
            return;   // made for an earlier scene or size
        RegimePicture made = watcher->future().result();
        if (made.image.isNull())
            return;
        picture_ = std::move(made);
        pictureSize_ = area;
        stale_ = false;
        cancelled_.reset();
        update();
        emit pictureChanged();
    });
    watcher->setFuture(running_);
}

// The tidiest value of each coefficient within the pixel, as the diagram picks one within its
// column; a position past an edge takes the pixel at that edge.
QPointF RegimeMap::pickedValues(QPointF pos) const
{
    const int w = std::max(1, width()), h = std::max(1, height());
    const double column = std::clamp(std::floor(pos.x()), 0.0, w - 1.0);
    const double row = std::clamp(std::floor(pos.y()), 0.0, h - 1.0);
    const double up = std::numeric_limits<double>::infinity();
    const double lowH = along(scene_.fromH, scene_.toH, column / w);
    const double highH = column + 1 >= w ? std::nextafter(scene_.toH, up) : along(scene_.fromH, scene_.toH, (column + 1) / w);
    const double lowV = along(scene_.toV, scene_.fromV, (row + 1) / h);
    const double highV = row == 0 ? std::nextafter(scene_.toV, up) : along(scene_.toV, scene_.fromV, row / h);
    // Along a parameter, within the part of the pixel in its domain: the first pixel of a range
    // from 0 picks the tidiest K > 0 in it, not 0.
    const auto inDomain = [this](double low, int parameter) {
        if (!scene_.onParameters())
            return low;
        const ParameterDomain domain = parametersOf(scene_.ecology->form)[std::size_t(parameter)].domain;
        if (domain == ParameterDomain::NonNegative)
            return std::max(low, 0.0);
        return low > 0 ? low : std::nextafter(0.0, 1.0);
    };
    const double fromH = inDomain(lowH, scene_.horizontalParameter), fromV = inDomain(lowV, scene_.verticalParameter);
    return {plot_mapping::tidiestIn(fromH < highH ? fromH : lowH, highH),
            plot_mapping::tidiestIn(fromV < highV ? fromV : lowV, highV)};
}

QString RegimeMap::toolTipAt(QPointF pos) const
{
    if (!scene_.hasRange() || !rect().contains(pos.toPoint()))
        return {};
    const QPointF values = pickedValues(pos);
    const std::optional<Coefficients> k = scene_.systemAt(values.x(), values.y());
    return QStringLiteral("%1\n%2 = %3; %4 = %5")
        .arg(k ? QString::fromUtf8(regimeName(regimeOf(*k))) : QStringLiteral("fuera del dominio"),
             QString::fromUtf8(scene_.nameH()), textOf(values.x()), QString::fromUtf8(scene_.nameV()),
             textOf(values.y()));
}

bool RegimeMap::event(QEvent *event)
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

void RegimeMap::paintEvent(QPaintEvent *)
{
    if (!pictureIsCurrent() && (!startedForCurrent_ || startedSize_ != size()))
        startPicture();
    QPainter painter(this);
    paint(painter);
}

void RegimeMap::paintMap(QPainter &painter) const
{
    picture();
    paint(painter);
}

// The picture at hand, the one of the present scene or, while that is made, the last one, and
// the crosshairs.
void RegimeMap::paint(QPainter &painter) const
{
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, picture_.image);
    drawMapAxes(painter, scene_, size());
    if (scene_.hasRange()) {
        const double x = (scene_.valueH() - scene_.fromH)
                         / (scene_.toH - scene_.fromH) * width();
        const double y = (scene_.toV - scene_.valueV())
                         / (scene_.toV - scene_.fromV) * height();
        painter.setRenderHint(QPainter::Antialiasing);
        if (trail_.size() > 1) {
            QPolygonF path;
            for (const QPointF &values : trail_) {
                const QPointF at((values.x() - scene_.fromH) / (scene_.toH - scene_.fromH) * width(),
                                 (scene_.toV - values.y()) / (scene_.toV - scene_.fromV) * height());
                // Far outside the map a point is clamped, so that the painter's numbers stay sane.
                path << QPointF(std::clamp(at.x(), -1e4, 1e4), std::clamp(at.y(), -1e4, 1e4));
            }
            painter.setPen(QPen(kTrail, 1.5));
            painter.drawPolyline(path);
        }
        if (std::isfinite(x) && std::isfinite(y)) {
            painter.setPen(QPen(kCrosshair, 1));
            painter.drawLine(QPointF(x, 0), QPointF(x, height()));
            painter.drawLine(QPointF(0, y), QPointF(width(), y));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(x, y), 4, 4);
        }
        if (keyPixel_) {
            const QPointF at(keyPixel_->x() + 0.5, keyPixel_->y() + 0.5);
            painter.setPen(QPen(kCrosshair, 1, Qt::DashLine));
            painter.drawLine(QPointF(at.x(), 0), QPointF(at.x(), height()));
            painter.drawLine(QPointF(0, at.y()), QPointF(width(), at.y()));
        }
    }
}

void RegimeMap::pickAt(QPointF pos)
{
    const QPointF values = pickedValues(pos);
    if (dragging_ && values == lastPicked_)
        return;
    dragging_ = true;
    lastPicked_ = values;
    emit valuesPicked(values.x(), values.y());
}

void RegimeMap::mousePressEvent(QMouseEvent *event)
{
    dragging_ = false;
    if (event->button() != Qt::LeftButton || !scene_.hasRange())
        return QWidget::mousePressEvent(event);
    emit pickStarted();
    pickAt(event->position());
}

void RegimeMap::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton) && scene_.hasRange())
        pickAt(event->position());
}

void RegimeMap::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && std::exchange(dragging_, false))
        emit pickFinished();
    QWidget::mouseReleaseEvent(event);
}

// The dashed crosshair starts at the pixel of the coefficients in force; Enter picks the values
// of its pixel as one gesture, and it goes back to being the crosshair of the values in force.
void RegimeMap::keyPressEvent(QKeyEvent *event)
{
    if (!scene_.hasRange() || event->modifiers() & ~Qt::KeypadModifier)
        return QWidget::keyPressEvent(event);
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!keyPixel_)
            return QWidget::keyPressEvent(event);
        const QPointF values = pickedValues(QPointF(*keyPixel_) + QPointF(0.5, 0.5));
        keyPixel_.reset();
        emit pickStarted();
        emit valuesPicked(values.x(), values.y());
        emit pickFinished();
        emit keyPixelMoved();
        update();
        return;
    }
    const int dx = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
    const int dy = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
    if (dx == 0 && dy == 0)
        return QWidget::keyPressEvent(event);
    if (!keyPixel_) {
        const double x = (scene_.valueH() - scene_.fromH)
                         / (scene_.toH - scene_.fromH) * width();
        const double y = (scene_.toV - scene_.valueV())
                         / (scene_.toV - scene_.fromV) * height();
        const auto clampedPixel = [](double at, int count) {
            return std::isfinite(at) ? int(std::clamp(std::floor(at), 0.0, count - 1.0)) : count / 2;
        };
        keyPixel_ = QPoint(clampedPixel(x, width()), clampedPixel(y, height()));
    }
    keyPixel_ = QPoint(std::clamp(keyPixel_->x() + dx, 0, std::max(0, width() - 1)),
                       std::clamp(keyPixel_->y() + dy, 0, std::max(0, height() - 1)));
    emit keyPixelMoved();
    update();
}
