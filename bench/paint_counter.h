#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <initializer_list>
#include <map>

// Counts the paint events that reach each watched widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(std::initializer_list<QWidget *> watched)
    {
        for (QWidget *widget : watched) {
            widget->installEventFilter(this);
            counts_[widget] = 0;
        }
    }

    void reset()
    {
        for (auto &entry : counts_)
            entry.second = 0;
    }

    // True when every watched widget was painted exactly once since the last reset.
    bool eachPaintedOnce() const
    {
        for (const auto &entry : counts_)
            if (entry.second != 1)
                return false;
        return true;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++counts_[watched];
        return false;
    }

private:
    std::map<QObject *, int> counts_;
};
