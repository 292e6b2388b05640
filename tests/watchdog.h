#pragma once

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QWaitCondition>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>

// Ends the test program with a message when the scope it guards takes longer than `ms`: a loop
// that never ends fails the run instead of hanging it. A test thread stuck in such a loop cannot
// be stopped, so the whole program goes.
class Watchdog {
public:
    Watchdog(const char *what, unsigned long ms = 5000)
    {
        thread_.reset(QThread::create([this, what, ms] {
            const QDeadlineTimer deadline(ms);
            QMutexLocker locker(&mutex_);
            while (!done_) {
                if (!finished_.wait(&mutex_, deadline) && !done_) {
                    std::fprintf(stderr, "FAIL! watchdog: %s took longer than %lu ms\n", what, ms);
                    std::fflush(stderr);
                    std::_Exit(EXIT_FAILURE);
                }
            }
        }));
        thread_->start();
    }
    ~Watchdog()
    {
        {
            QMutexLocker locker(&mutex_);
            done_ = true;
            finished_.wakeAll();
        }
        thread_->wait();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    QMutex mutex_;
    QWaitCondition finished_;
    bool done_ = false;
    std::unique_ptr<QThread> thread_;
};
