#include "state/time_player.h"

#include "model/sample_array.h"
#include "state/explorer_state.h"

#include <algorithm>
#include <cmath>

TimePlayer::TimePlayer(ExplorerState &state, QObject *parent) : QObject(parent), state_(state)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TimePlayer::step);
}

int TimePlayer::interval() const
{
    return std::max(1, int(std::lround(1000.0 / speed_)));
}

void TimePlayer::setPlaying(bool playing)
{
    if (playing == playing_)
        return;
    playing_ = playing;
    if (playing) {
        if (state_.cursor() >= kLastSample)
            state_.setCursor(kFirstSample);
        owed_ = 0;
        clock_.start();
        timer_.start(interval());
    } else {
        timer_.stop();
    }
    emit playingChanged(playing);
}

void TimePlayer::step()
{
    if (!playing_)
        return;
    // The samples the time passed since the last step asks for; at least one a step.
    owed_ += clock_.restart() * speed_ / 1000.0;
    const int move = std::max(1, int(std::floor(owed_)));
    owed_ = std::max(0.0, owed_ - move);
    const int target = std::min(kLastSample, state_.cursor() + move);
    state_.setCursor(target);
    if (target >= kLastSample) {
        setPlaying(false);
        return;
    }
    // Restarted only now that this step is done: late steps never pile up.
    timer_.start(interval());
}

void TimePlayer::faster()
{
    setSpeed(std::min(kFastest, speed_ * 2));
}

void TimePlayer::slower()
{
    setSpeed(std::max(kSlowest, speed_ / 2));
}

void TimePlayer::setSpeed(int speed)
{
    if (speed == speed_)
        return;
    speed_ = speed;
    emit speedChanged(speed);
}
