#include "display/export/clipped_device.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>
#include <optional>
#include <utility>

namespace {

// Shapes on the edge of the clip stay: positions are sums of halves and twips.
constexpr double kTolerance = 1e-6;

// The part of a segment inside the rectangle (Liang-Barsky), or nothing.
std::optional<QLineF> clipSegment(const QLineF &line, const QRectF &rect)
{
    const double dx = line.dx(), dy = line.dy();
    double from = 0, to = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {line.x1() - rect.left() + kTolerance, rect.right() - line.x1() + kTolerance,
                        line.y1() - rect.top() + kTolerance, rect.bottom() - line.y1() + kTolerance};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
        if (from > to)
            return std::nullopt;
    }
    return QLineF(line.pointAt(from), line.pointAt(to));
}

// The part of a polygon inside the rectangle (Sutherland-Hodgman), taken as closed.
QPolygonF clipPolygon(const QPolygonF &polygon, const QRectF &rect)
{
    QPolygonF result = polygon;
    if (result.size() > 1 && result.isClosed())
        result.removeLast();
    // Each edge of the rectangle in turn: which side is inside, and where a segment crosses it.
    const auto clipBy = [&result](auto inside, auto crossing) {
        QPolygonF kept;
        for (qsizetype i = 0; i < result.size(); ++i) {
            const QPointF a = result[i], b = result[(i + 1) % result.size()];
            if (inside(a)) {
                kept << a;
                if (!inside(b))
                    kept << crossing(a, b);
            } else if (inside(b)) {
                kept << crossing(a, b);
            }
        }
        result = kept;
    };
    const auto atX = [](QPointF a, QPointF b, double x) { return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x())); };
    const auto atY = [](QPointF a, QPointF b, double y) { return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y); };
    const double l = rect.left(), r = rect.right(), t = rect.top(), b = rect.bottom();
    clipBy([l](QPointF p) { return p.x() >= l; }, [&](QPointF p, QPointF q) { return atX(p, q, l); });
    clipBy([r](QPointF p) { return p.x() <= r; }, [&](QPointF p, QPointF q) { return atX(p, q, r); });
    clipBy([t](QPointF p) { return p.y() >= t; }, [&](QPointF p, QPointF q) { return atY(p, q, t); });
    clipBy([b](QPointF p) { return p.y() <= b; }, [&](QPointF p, QPointF q) { return atY(p, q, b); });
    return result;
}

bool within(const QRectF &inner, const QRectF &outer)
{
    return inner.left() >= outer.left() - kTolerance && inner.top() >= outer.top() - kTolerance
        && inner.right() <= outer.right() + kTolerance && inner.bottom() <= outer.bottom() + kTolerance;
}

} // namespace

// Receives what a painter on the device draws and passes it on to the target, cut to the clip.
class ClippingEngine : public QPaintEngine {
public:
    explicit ClippingEngine(QPainter &target) : QPaintEngine(AllFeatures), target_(target) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    Type type() const override { return User; }

    void drawLines(const QLineF *lines, int count) override
    {
        if (painter()->pen().style() == Qt::NoPen)
            return;
        QList<QLineF> kept;
        for (int i = 0; i < count; ++i)
            addSegment(kept, toDevice().map(lines[i]));
        strokeLines(kept);
    }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QPolygonF polygon = toDevice().map(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode == PolylineMode) {
            if (painter()->pen().style() == Qt::NoPen)
                return;
            if (!clip() || within(polygon.boundingRect(), strokeClip())) {
                adopt(painter()->brush());
                target_.drawPolyline(polygon);
                return;
            }
            strokeOutline(polygon, false);
            return;
        }
        drawArea(polygon, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }

    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF rect = toDevice().mapRect(rects[i]);
            if (!clip() || within(rect, painter()->pen().style() == Qt::NoPen ? *clip() : strokeClip())) {
                adopt(painter()->brush());
                target_.drawRect(rect);
                continue;
            }
            // The filled part as a rectangle still, then what of the outline is inside.
            if (painter()->brush().style() != Qt::NoBrush) {
                const QRectF inside = rect.intersected(*clip());
                if (!inside.isEmpty()) {
                    adopt(painter()->brush(), QPen(Qt::NoPen));
                    target_.drawRect(inside);
                }
            }
            if (painter()->pen().style() != Qt::NoPen)
                strokeOutline(QPolygonF(rect), true);
        }
    }

    void drawEllipse(const QRectF &rect) override
    {
        const QRectF box = toDevice().mapRect(rect);
        if (!clip() || within(box, strokeClip())) {
            adopt(painter()->brush());
            target_.drawEllipse(box);
            return;
        }
        QPainterPath path;
        path.addEllipse(box);
        drawArea(path.toFillPolygon(), Qt::OddEvenFill);
    }

    void drawPath(const QPainterPath &path) override
    {
        const QPainterPath onDevice = toDevice().map(path);
        if (!clip() || within(onDevice.boundingRect(), strokeClip())) {
            adopt(painter()->brush());
            target_.drawPath(onDevice);
            return;
        }
        for (const QPolygonF &part : onDevice.toSubpathPolygons())
            drawArea(part, onDevice.fillRule(), part.isClosed());
    }

    void drawPoints(const QPointF *points, int count) override
    {
        if (painter()->pen().style() == Qt::NoPen)
            return;
        adopt(painter()->brush());
        for (int i = 0; i < count; ++i) {
            const QPointF p = toDevice().map(points[i]);
            if (!clip() || within(QRectF(p, p), strokeClip()))
                target_.drawPoint(p);
        }
    }

    // A text is shown whole or not at all: only when its ink lies inside the clip.
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QFont font = item.font();
        const QRectF ink = QFontMetricsF(font, painter()->device()).tightBoundingRect(item.text()).translated(p);
        if (clip() && !within(toDevice().mapRect(ink), *clip()))
            return;
        adopt(painter()->brush(), painter()->pen(), toDevice());
        target_.setFont(font);
        target_.drawText(p, item.text());
    }

    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override
    {
        drawPicture(rect, source, [&](const QRectF &r, const QRectF &s) { target_.drawPixmap(r, pixmap, s); });
    }

    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source, Qt::ImageConversionFlags flags) override
    {
        drawPicture(rect, source, [&](const QRectF &r, const QRectF &s) { target_.drawImage(r, image, s, flags); });
    }

private:
    QTransform toDevice() const { return painter()->combinedTransform(); }

    // The clip in device coordinates; nothing when none is set.
    std::optional<QRectF> clip() const
    {
        if (!painter()->hasClipping())
            return std::nullopt;
        return toDevice().mapRect(painter()->clipBoundingRect());
    }

    // The clip less half the pen's width on each side, so that a stroke's ink stays inside too.
    QRectF strokeClip() const
    {
        const std::optional<QRectF> area = clip();
        if (!area)
            return {};
        const QPen pen = painter()->pen();
        if (pen.style() == Qt::NoPen)
            return *area;
        const double half = (pen.isCosmetic() ? std::max(1.0, pen.widthF()) : toDevice().m11() * pen.widthF()) / 2;
        const QRectF inner = area->adjusted(half, half, -half, -half);
        return inner.isValid() ? inner : *area;
    }

    void addSegment(QList<QLineF> &kept, const QLineF &line) const
    {
        if (!clip()) {
            kept << line;
        } else if (const auto inside = clipSegment(line, strokeClip())) {
            kept << *inside;
        }
    }

    void strokeLines(const QList<QLineF> &lines)
    {
        if (lines.isEmpty())
            return;
        adopt(QBrush(Qt::NoBrush));
        target_.drawLines(lines);
    }

    // The inside pieces of a chain of edges, each run of connected pieces as one polyline so
    // that a dashed pen keeps its rhythm along it.
    void strokeOutline(const QPolygonF &outline, bool closed)
    {
        QList<QLineF> kept;
        const qsizetype edges = closed ? outline.size() : outline.size() - 1;
        for (qsizetype i = 0; i < edges; ++i)
            addSegment(kept, QLineF(outline[i], outline[(i + 1) % outline.size()]));
        if (kept.isEmpty())
            return;
        adopt(QBrush(Qt::NoBrush));
        QPolygonF run{kept.front().p1(), kept.front().p2()};
        for (qsizetype i = 1; i < kept.size(); ++i) {
            if (kept[i].p1() != run.back()) {
                target_.drawPolyline(run);
                run = QPolygonF{kept[i].p1()};
            }
            run << kept[i].p2();
        }
        target_.drawPolyline(run);
    }

    // A filled and outlined shape in device coordinates: whole when inside, else its filled
    // part and the inside pieces of its outline.
    void drawArea(const QPolygonF &polygon, Qt::FillRule rule, bool closed = true)
    {
        const bool stroked = painter()->pen().style() != Qt::NoPen;
        if (!clip() || within(polygon.boundingRect(), stroked ? strokeClip() : *clip())) {
            adopt(painter()->brush());
            target_.drawPolygon(polygon, rule);
            return;
        }
        if (painter()->brush().style() != Qt::NoBrush) {
            const QPolygonF inside = clipPolygon(polygon, *clip());
            if (inside.size() > 2) {
                adopt(painter()->brush(), QPen(Qt::NoPen));
                target_.drawPolygon(inside, rule);
            }
        }
        if (stroked)
            strokeOutline(polygon, closed);
    }

    template <typename Draw>
    void drawPicture(const QRectF &rect, const QRectF &source, Draw draw)
    {
        const QRectF onDevice = toDevice().mapRect(rect);
        const QRectF inside = clip() ? onDevice.intersected(*clip()) : onDevice;
        if (inside.isEmpty() || onDevice.isEmpty())
            return;
        // The same share of the source as of the target.
        const double sx = source.width() / onDevice.width(), sy = source.height() / onDevice.height();
        const QRectF part(source.left() + (inside.left() - onDevice.left()) * sx,
                          source.top() + (inside.top() - onDevice.top()) * sy, inside.width() * sx, inside.height() * sy);
        adopt(painter()->brush());
        draw(inside, part);
    }

    // The source painter's state on the target, changing only what differs: a vector file
    // writes a group for every change.
    void adopt(const QBrush &brush, const QPen &pen, const QTransform &transform = {})
    {
        if (target_.pen() != pen)
            target_.setPen(pen);
        if (target_.brush() != brush)
            target_.setBrush(brush);
        if (target_.transform() != transform)
            target_.setTransform(transform);
        if (target_.renderHints() != painter()->renderHints()) {
            target_.setRenderHints(target_.renderHints(), false);
            target_.setRenderHints(painter()->renderHints(), true);
        }
        if (target_.opacity() != painter()->opacity())
            target_.setOpacity(painter()->opacity());
    }
    void adopt(const QBrush &brush) { adopt(brush, painter()->pen()); }

    QPainter &target_;
};

ClippedDevice::ClippedDevice(QPainter &target, QSize size)
    : size_(size), engine_(std::make_unique<ClippingEngine>(target))
{
}

ClippedDevice::~ClippedDevice() = default;

QPaintEngine *ClippedDevice::paintEngine() const
{
    return engine_.get();
}

int ClippedDevice::metric(PaintDeviceMetric metric) const
{
    // 96 dots per inch, as a picture of the plots is drawn.
    constexpr int kDpi = 96;
    switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return qRound(size_.width() * 25.4 / kDpi);
    case PdmHeightMM: return qRound(size_.height() * 25.4 / kDpi);
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return kDpi;
    // One device pixel per logical pixel. QPaintDevice answers these with a warning each.
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}
