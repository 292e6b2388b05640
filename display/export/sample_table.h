#pragma once

#include "model/data/observations.h"
#include "model/trajectory.h"

#include <QString>

#include <string>
#include <vector>

// The samples as text for other programs.

// RFC 4180 comma-separated values, one row per sample of every trajectory given, the current
// one first (trayectoria 0), then the kept ones (1, 2, ...), invalid samples included with
// valida 0. Numbers are the shortest text that reads back as the same double, with a decimal
// point whatever the locale, so the file holds the exact values. Lines end in CR LF. Observations,
// when given (in the program's units, as the plots show them), follow as one row per time with
// trayectoria «datos», k their index, t, x and y, an unobserved value's cell empty, and the
// trajectories' other cells empty too.
std::string samplesAsCsv(const std::vector<const Trajectory *> &trajectories,
                         const Observations *observations = nullptr);

// The valid samples of one trajectory as tab-separated t, x, y under a header, in the user's
// locale (a decimal comma in Spanish), ready to paste into a spreadsheet.
QString samplesForClipboard(const Trajectory &trajectory);
