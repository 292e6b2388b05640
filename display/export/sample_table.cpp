#include "display/export/sample_table.h"

#include "display/toolkit/conversions.h"

#include <array>
#include <charconv>

namespace {

// The shortest text that reads back as the same double; "0" for both zeros' sign aside.
void appendNumber(std::string &out, double value)
{
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    out.append(text.data(), written.ptr);
}

} // namespace

std::string samplesAsCsv(const std::vector<const Trajectory *> &trajectories, const Observations *observations)
{
    std::string out = "trayectoria,k,t,x,y,valida,A,B,C,D,E,F,dt\r\n";
    for (std::size_t index = 0; index < trajectories.size(); ++index) {
        const Trajectory &trajectory = *trajectories[index];
        const Coefficients &c = trajectory.coefficients;
        for (int k = kFirstSample; k <= kLastSample; ++k) {
            out += std::to_string(index);
            out += ',';
            out += std::to_string(k);
            // The time of sample k exactly as the time read-out computes it.
            for (double value : {static_cast<double>(k) * trajectory.dt, trajectory.xs(k), trajectory.ys(k)}) {
                out += ',';
                appendNumber(out, value);
            }
            out += trajectory.ok(k) ? ",1" : ",0";
            for (double value : {c.A, c.B, c.C, c.D, c.E, c.F, trajectory.dt}) {
                out += ',';
                appendNumber(out, value);
            }
            out += "\r\n";
        }
    }
    if (!observations)
        return out;
    for (std::size_t i = 0; i < observations->size(); ++i) {
        out += "datos,";
        out += std::to_string(i);
        out += ',';
        appendNumber(out, observations->times[i]);
        for (const std::optional<double> &value : {observations->xs[i], observations->ys[i]}) {
            out += ',';
            if (value)
                appendNumber(out, *value);
        }
        out += ",,,,,,,,\r\n";
    }
    return out;
}

QString samplesForClipboard(const Trajectory &trajectory)
{
    QString out = QStringLiteral("t\tx\ty\n");
    for (int k = kFirstSample; k <= kLastSample; ++k) {
        if (!trajectory.ok(k))
            continue;
        out += textOf(static_cast<double>(k) * trajectory.dt) + u'\t' + textOf(trajectory.xs(k)) + u'\t'
            + textOf(trajectory.ys(k)) + u'\n';
    }
    return out;
}
