#pragma once

#include <QPaintDevice>

#include <memory>

class QPainter;
class ClippingEngine;

// A paint device that passes every shape on to a painter of another device, cut by its
// geometry to the clip rectangle in force: a line to the part inside, a filled shape to its
// intersection with the rectangle, a text left out unless its ink lies wholly inside. For
// destinations that keep no clipping of their own, such as an SVG file. Only rectangular clips
// and transformations without rotation are meant; the shapes reach the target in its device
// coordinates.
class ClippedDevice : public QPaintDevice {
public:
    // target must be active for the device's whole life; size is the device's in pixels.
    ClippedDevice(QPainter &target, QSize size);
    ~ClippedDevice() override;
    ClippedDevice(const ClippedDevice &) = delete;
    ClippedDevice &operator=(const ClippedDevice &) = delete;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    std::unique_ptr<ClippingEngine> engine_;
};
