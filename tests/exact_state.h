#pragma once

#include "interaction/prog.h"
#include "state/scenario.h"
#include "state/scenario_state.h"

#include <QByteArray>
#include <QLineEdit>

// Everything the window's state holds, bit for bit: the scenario it would save (with the
// cursor and the kept trajectories' inputs), the samples on screen, and the texts of XI, YI
// and the span box.
inline QByteArray exactState(Prog &window)
{
    const Model &m = window.state().model();
    QByteArray bytes = scenarioToJson(scenarioOf(window.state(), m.xs(0), m.ys(0)));
    for (int k = kFirstSample; k <= kLastSample; ++k) {
        const double pair[] = {m.xs(k), m.ys(k)};
        bytes.append(reinterpret_cast<const char *>(pair), sizeof pair).append(m.ok(k) ? '1' : '0');
    }
    for (const QLineEdit *box : {window.XI, window.YI, window.Text2})
        bytes += box->text().toUtf8() + '\n';
    return bytes;
}
