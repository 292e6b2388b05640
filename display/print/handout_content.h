#pragma once

#include "model/analysis/analysed_system.h"
#include "model/analysis/extrema.h"
#include "model/ecology/ecological_form.h"
#include "model/trajectory.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What a handout says of the system on screen, in Spanish with the user's locale: the system
// with its coefficients and start, the equilibria, the analysis window's claims, and the
// questions that what the system shows can answer, each with its answer for the teacher.
struct HandoutQuestion {
    QString question;
    QString answer;
};

struct HandoutContent {
    QStringList system;                 // equations, coefficients, initial point and span
    std::vector<QStringList> equilibria;   // each: place, eigenvalues, type
    QStringList claims;                 // period, first integral or Lyapunov, ecological outcome
    std::vector<HandoutQuestion> questions;   // four, or fewer where the system offers fewer
};

// trajectory is the one on screen with the system in force; ecology the form's parameters for
// those coefficients, where they fit the form chosen.
HandoutContent handoutContent(const AnalysedSystem &system, const Trajectory &trajectory,
                              const std::vector<TurningPoint> &turningPoints,
                              const std::optional<EcologicalParameters> &ecology);
