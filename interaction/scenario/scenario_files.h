#pragma once

#include <QObject>
#include <QString>

#include <functional>

class AnalysisLayer;
class ExplorerState;
class PlotExport;
class QLineEdit;
class QWidget;
struct Scenario;

// The window's scenario saved to a file and opened from one, only on the user's request: the
// state with the trajectory on screen's initial point, and whether the analysis window and the
// bifurcation diagram (its coefficient and range) are open. A file is written whole or not at
// all through the export's save path; a file that cannot be opened is told in a message over
// the window and changes nothing.
class ScenarioFiles : public QObject {
    Q_OBJECT

public:
    // x0, y0 and span are the boxes XI, YI and Text2, given the values opened.
    ScenarioFiles(QWidget &window, ExplorerState &state, PlotExport &exports, AnalysisLayer &analysis, QLineEdit &x0,
                  QLineEdit &y0, QLineEdit &span);

    // What the window shows, as a scenario.
    Scenario scenario() const;

    // Asks where, then writes the window's scenario there.
    void save();
    // Asks which file, then opens it.
    void open();
    // Shows the scenario the file holds, or says in a message why it cannot and changes nothing.
    bool openFile(const QString &path);

    // Which file to open, as an open dialog asks it: given the dialog's caption, the folder it
    // starts in and its filters, it returns the chosen path (empty when cancelled). The file
    // dialog unless replaced, as the tests do.
    using OpenFileNameSource =
        std::function<QString(const QString &caption, const QString &folder, const QString &filters)>;
    OpenFileNameSource askOpenFileName;

signals:
    // A file was read: the state is about to take its scenario.
    void scenarioOpening();
    // The state, the boxes and the windows show the scenario opened; the time cursor's
    // read-outs and the plots are to be shown afresh.
    void scenarioOpened();

private:
    QWidget &window_;
    ExplorerState &state_;
    PlotExport &exports_;
    AnalysisLayer &analysis_;
    QLineEdit &x0_;
    QLineEdit &y0_;
    QLineEdit &span_;
};
