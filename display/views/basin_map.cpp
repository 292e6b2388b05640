#include "display/views/basin_map.h"

#include "display/analysis/overlays/phase_geometry.h"
#include "display/toolkit/palette.h"

#include <QFutureWatcher>
#include <QPainter>
#include <QtConcurrent>

#include <algorithm>
#include <atomic>
#include <cmath>

// One computation: the system and grid it was asked for, its labels, and its cancel flag. Each
// level's rows hold it alive until they end, whatever became of the map.
struct BasinMap::Job {
    Coefficients coefficients;
    basins::BasinSystem system;
    basins::Map map;
    std::atomic<bool> cancelled{false};
    std::vector<int> rows;
};

namespace {

// A corner within rounding of a whole pixel is put on it, so that the map of the view shown lies
// pixel on pixel over the drawing area.
double snapped(double position)
{
    const double whole = std::round(position);
    return std::fabs(position - whole) < 1e-6 ? whole : position;
}

} // namespace

// One core is left to the GUI thread and to the threads with which QPainter shares out its work:
// with every core busy with rows, the window's events waited tens of milliseconds. The rows run
// below the GUI thread's priority where the system has such priorities.
BasinMap::BasinMap(QObject *parent) : QObject(parent)
{
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    pool_.setThreadPriority(QThread::LowPriority);
}

BasinMap::~BasinMap()
{
    clear();
    for (QFuture<void> &future : running_)
        future.waitForFinished();
}

void BasinMap::request(const AnalysedSystem &system, const plot_mapping::PlotMapping &m, QSize area)
{
    if (area.isEmpty()) {
        clear();
        return;
    }
    const PlaneRect plane = phase_geometry::visibleRect(m, QSizeF(area));
    const basins::Grid grid{plane.xMin, plane.xMax, plane.yMin, plane.yMax, area.width(), area.height()};
    if (job_ && job_->coefficients == system.coefficients && job_->map.grid.left == grid.left
        && job_->map.grid.right == grid.right && job_->map.grid.bottom == grid.bottom
        && job_->map.grid.top == grid.top && job_->map.grid.width == grid.width
        && job_->map.grid.height == grid.height)
        return;
    clear();
    area_ = area;
    job_ = std::make_shared<Job>();
    job_->coefficients = system.coefficients;
    job_->system = basins::basinSystem(system.coefficients, system.equilibria);
    job_->map = basins::Map(grid);
    startLevel();
    emit started();
}

void BasinMap::follow(const AnalysedSystem &system, const plot_mapping::PlotMapping &m)
{
    if (job_)
        request(system, m, area_);
}

void BasinMap::clear()
{
    if (job_)
        job_->cancelled = true;
    for (QFuture<void> &future : running_)
        future.cancel();
    std::erase_if(running_, [](const QFuture<void> &future) { return future.isFinished(); });
    job_.reset();
    levelsDone_ = 0;
    image_ = {};
    labelsShown_.clear();
}

int BasinMap::percent() const
{
    if (!job_ || levelsDone_ == 0)
        return 0;
    const basins::Grid &g = job_->map.grid;
    const qint64 spacing = basins::kLevels[levelsDone_ - 1];
    const qint64 done = (g.width + spacing - 1) / spacing * ((g.height + spacing - 1) / spacing);
    return int(100 * done / (qint64(g.width) * g.height));
}

const std::vector<basins::Attractor> &BasinMap::attractors() const
{
    static const std::vector<basins::Attractor> none;
    return job_ ? job_->system.attractors : none;
}

const basins::Map *BasinMap::labels() const
{
    return complete() && job_ ? &job_->map : nullptr;
}

// Each level runs its rows on the map's pool; they read only the labels of coarser levels and
// write only their own, so the map is the same however the rows are shared out.
void BasinMap::startLevel()
{
    const std::shared_ptr<Job> job = job_;
    const int spacing = basins::kLevels[levelsDone_];
    job->rows.clear();
    for (int row = 0; row < job->map.grid.height; row += spacing)
        job->rows.push_back(row);
    QFuture<void> future = QtConcurrent::map(&pool_, job->rows, [job, spacing](const int &row) {
        basins::computeRow(job->system, job->map, spacing, row, job->cancelled);
    });
    auto *watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, job] {
        watcher->deleteLater();
        levelDone(job);
    });
    watcher->setFuture(future);
    std::erase_if(running_, [](const QFuture<void> &f) { return f.isFinished(); });
    running_.push_back(future);
}

void BasinMap::levelDone(const std::shared_ptr<Job> &job)
{
    if (job != job_ || job->cancelled)
        return;   // computed for an earlier request
    ++levelsDone_;
    makeImage();
    if (!complete())
        startLevel();
    emit updated();
}

// Every pixel takes the label of the cell of the finest level done at or above and left of it:
// blocks at first, single pixels at the end.
void BasinMap::makeImage()
{
    const basins::Map &map = job_->map;
    const basins::Grid &g = map.grid;
    const int spacing = basins::kLevels[levelsDone_ - 1];
    // Colours by label − kClosed: closed orbits and unknown (clear), none (clear), growing without
    // bound, then the attractors.
    const QRgb clear = qRgba(0, 0, 0, 0);
    std::vector<QRgb> colours{clear, clear, clear, palette::escapeTint().rgb()};
    for (std::size_t i = 0; i < job_->system.attractors.size(); ++i)
        colours.push_back(palette::basinTint(i).rgb());
    std::vector<bool> present(colours.size(), false);
    image_ = QImage(g.width, g.height, QImage::Format_ARGB32_Premultiplied);
    for (int row = 0; row < g.height; ++row) {
        auto *line = reinterpret_cast<QRgb *>(image_.scanLine(row));
        for (int column = 0; column < g.width; ++column) {
            const basins::Label label = map.at(column - column % spacing, row - row % spacing);
            const std::size_t index = std::size_t(std::clamp<int>(label - basins::kClosed, 0, int(colours.size()) - 1));
            line[column] = colours[index];
            present[index] = true;
        }
    }
    labelsShown_.clear();
    // Closed orbits, growing without bound and the attractors: what the legend names.
    for (std::size_t i = 0; i < present.size(); ++i) {
        const basins::Label label = basins::Label(int(i) + basins::kClosed);
        if (present[i] && label != basins::kUnknown && label != basins::kNone)
            labelsShown_.push_back(label);
    }
}

void BasinMap::paint(QPainter &painter, const plot_mapping::PlotMapping &m) const
{
    if (image_.isNull() || !job_)
        return;
    const basins::Grid &g = job_->map.grid;
    const QPointF topLeft = phase_geometry::pointAt(m, g.left, g.top);
    const QPointF bottomRight = phase_geometry::pointAt(m, g.right, g.bottom);
    painter.drawImage(QRectF(QPointF(snapped(topLeft.x()), snapped(topLeft.y())),
                             QPointF(snapped(bottomRight.x()), snapped(bottomRight.y()))),
                      image_);
}
