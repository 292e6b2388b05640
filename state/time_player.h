#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ExplorerState;

// Plays the time cursor: from where it stands to the last sample at `speed` samples a second,
// one sample a frame step. A step that comes late moves the cursor as far as the time that has
// passed asks, so that a slow machine keeps the pace without piling up timer events. A new
// trajectory (the cursor back at 0) plays on from there.
class TimePlayer : public QObject {
    Q_OBJECT

public:
    static constexpr int kSlowest = 5;
    static constexpr int kFastest = 400;
    static constexpr int kDefaultSpeed = 25;

    explicit TimePlayer(ExplorerState &state, QObject *parent = nullptr);

    bool isPlaying() const { return playing_; }
    int speed() const { return speed_; }
    // Starting at the last sample starts from the first.
    void setPlaying(bool playing);
    // Twice or half the speed, within kSlowest and kFastest.
    void faster();
    void slower();

signals:
    void playingChanged(bool playing);
    void speedChanged(int speed);

private:
    void step();
    void setSpeed(int speed);
    int interval() const;

    ExplorerState &state_;
    QTimer timer_;
    QElapsedTimer clock_;
    double owed_ = 0;   // samples due and not yet moved
    int speed_ = kDefaultSpeed;
    bool playing_ = false;
};
