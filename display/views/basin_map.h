#pragma once

#include "display/plots/plot_mapping.h"
#include "model/analysis/analysed_system.h"
#include "model/analysis/basins.h"

#include <QFuture>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <memory>
#include <vector>

class QPainter;

// The basins of attraction of the phase plane, computed on a thread pool of their own: a coarse
// map first, then finer ones level by level (basins::kLevels) until every pixel of the drawing
// area has its attractor's tint. A new system, view or size cancels the computation in progress
// and starts another; a level computed for anything but the latest request is dropped, so a
// stale map never paints over a newer one. The window stays responsive: the levels run off the
// GUI thread and only their completion reaches it, as a queued signal; and Qt's global pool,
// on which QPainter shares out its own work on large images, stays free. Destroying the map
// cancels and waits, so no thread outlives it.
class BasinMap : public QObject {
    Q_OBJECT

public:
    explicit BasinMap(QObject *parent = nullptr);
    ~BasinMap() override;

    // The map of this system shown through this mapping on a drawing area of this size (logical
    // pixels, one cell each): kept when it is the one computed or being computed, otherwise
    // started afresh.
    void request(const AnalysedSystem &system, const plot_mapping::PlotMapping &m, QSize area);
    // The same for the system and area last asked for, through a new mapping or for a new system.
    void follow(const AnalysedSystem &system, const plot_mapping::PlotMapping &m);
    // Cancels any computation and forgets the map.
    void clear();

    // Whether every pixel is labelled, and the share of pixels labelled so far, in percent.
    bool complete() const { return levelsDone_ == std::size(basins::kLevels); }
    bool active() const { return job_ != nullptr; }
    int percent() const;
    // The attractors of the system mapped, and the labels present in the map so far.
    const std::vector<basins::Attractor> &attractors() const;
    const std::vector<basins::Label> &labelsShown() const { return labelsShown_; }

    // Paints the tints of the levels done, at the place of the plane they cover in the mapping
    // given; nothing while no level is done. A pixel reaching nothing is left as it is.
    void paint(QPainter &painter, const plot_mapping::PlotMapping &m) const;

    // The map's labels, once complete (for tests and benchmarks).
    const basins::Map *labels() const;

signals:
    // A finer level is done: the tints changed.
    void updated();
    // A new computation began.
    void started();

private:
    struct Job;

    void startLevel();
    void levelDone(const std::shared_ptr<Job> &job);
    void makeImage();

    // Made first, so that it is destroyed last: its destructor waits for every row.
    QThreadPool pool_;
    std::shared_ptr<Job> job_;
    std::vector<QFuture<void>> running_;   // every level started and maybe still running
    std::size_t levelsDone_ = 0;
    QImage image_;
    std::vector<basins::Label> labelsShown_;
    QSize area_;
};
