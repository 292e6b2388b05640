#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <vector>

// The residuals of a fit, observation − model against t, one colour per species, with a line
// at zero. The picture is drawn once per change of data or size into a kept image, which each
// paint event copies.
class ResidualPlot : public QWidget {
    Q_OBJECT

public:
    struct Point {
        double t = 0, residual = 0;
    };
    struct Series {
        QString name;
        std::vector<Point> points;
    };

    explicit ResidualPlot(QWidget *parent = nullptr);

    // The residuals to show, and what they are ("ln(observado) − ln(modelo)"); none: an empty plot.
    void showResiduals(std::vector<Series> series, const QString &quantity);
    void clear();

    const QImage &image() const { return image_; }
    QSize sizeHint() const override { return {320, 160}; }
    QSize minimumSizeHint() const override { return {160, 100}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void draw();

    std::vector<Series> series_;
    QString quantity_;
    QImage image_;
};
