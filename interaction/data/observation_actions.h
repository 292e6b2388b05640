#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class ExplorerState;
class PlotExport;
class QAction;
class QWidget;
struct Observations;

// The observed populations the window shows: opened from a file or from the series shipped in
// the program, put in another unit, or removed. Opening data puts the initial point at the first
// observation and the span so that the last sample falls on the last observation's time, and
// recomputes; the whole is one step of the history. A file that cannot be read is told in a
// message over the window and changes nothing.
class ObservationActions : public QObject {
    Q_OBJECT

public:
    ObservationActions(QWidget &window, ExplorerState &state, PlotExport &exports);

    // «Quitar datos» and «Unidad de los datos…», enabled while there are data, and the submenu
    // «Datos de ejemplo»'s actions; the window holds them all.
    QList<QAction *> menuActions() const { return menuActions_; }
    QList<QAction *> exampleActions() const { return exampleActions_; }

    // Asks which file, then opens it.
    void open();
    // Shows the series the file holds, or says in a message why it cannot and changes nothing.
    bool openFile(const QString &path);
    // Shows a series already read; false, with a message, where no unit holds its values.
    bool show(const Observations &series);
    void remove();
    // Asks for the unit's power of ten and shows the data in it.
    void askUnit();

    // Which file to open, as ScenarioFiles asks it; replaced by the tests.
    using OpenFileNameSource =
        std::function<QString(const QString &caption, const QString &folder, const QString &filters)>;
    OpenFileNameSource askOpenFileName;

signals:
    // A series was read and is about to be shown, or the data are about to go.
    void dataOpening();
    void dataRemoving();
    // Where the trajectory is to start and how long it is to run, in the boxes Calcular reads;
    // the window recomputes from them.
    void startChosen(const QString &x0, const QString &y0, const QString &span);

private:
    QAction *made(const char *name, const QString &text);
    void enableWithData();

    QWidget &window_;
    ExplorerState &state_;
    PlotExport &exports_;
    QList<QAction *> menuActions_;
    QList<QAction *> exampleActions_;
};
