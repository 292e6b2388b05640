#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class BifurcationWindow;
class RegimeWindow;
class ExplorerState;
class PlotViews;
class QImage;
class QWidget;

// The plots as a picture and the samples as a table, saved to a file or copied to the
// clipboard, and the bifurcation diagram saved as a picture: only on the user's request.
// Files are written whole or not at all; a failure is told in a message over the window
// that asked.
class PlotExport : public QObject {
    Q_OBJECT

public:
    PlotExport(QWidget &window, const ExplorerState &state, const PlotViews &plots);

    void saveImage();
    void exportData();
    void copyData();
    void copyImage();
    // Gives the bifurcation diagram's window its "Guardar imagen…" (PNG or SVG, Ctrl+S).
    void attachDiagramExport(BifurcationWindow &window);
    void attachRegimeMapExport(RegimeWindow &window);

    // Where a file is to be saved, as a save dialog asks it: given the dialog's caption, the
    // path it offers and its filters, it returns the chosen path (empty when cancelled) and
    // sets the chosen filter. The file dialog unless replaced, as the tests do.
    using SaveFileNameSource = std::function<QString(const QString &caption, const QString &offered,
                                                     const QString &filters, QString *chosenFilter)>;
    SaveFileNameSource askSaveFileName;
    // Whether to replace a file, asked with the given caption and question, as the save dialog
    // asks for a name typed whole: yes or no. A message box unless replaced, as the tests do.
    using ReplaceQuestion = std::function<bool(const QString &caption, const QString &question)>;
    ReplaceQuestion askReplace;

    // Saves a file of one kind through the path every save takes: asks where with the given
    // caption, offering fileName in the last folder and the one filter, adds extension to a
    // name that has another or none (asking before it replaces a file of that name), then
    // writes the bytes whole. A failure is told in a message over the window. Returns whether
    // the file was written.
    bool saveFile(const QString &caption, const QString &fileName, const QString &filter, const QString &extension,
                  const std::function<QByteArray()> &bytes);

    // A file of that name in the folder of the last file saved in this run (at first the
    // current folder): where save and open dialogs start.
    QString offeredPath(const QString &fileName) const;

private:
    void saveImageFile(QWidget &asker, const QString &fileName, const std::function<QImage()> &png,
                       const std::function<QByteArray()> &svg);
    QString completed(const QString &caption, const QString &typed, const QStringList &extensions,
                      const QString &chosenExtension);
    QWidget *dialogParent();
    bool writeFile(const QString &title, const QString &path, const QByteArray &bytes);

    QWidget &window_;
    const ExplorerState &state_;
    const PlotViews &plots_;
    // The folder of the last file saved in this run; nothing is remembered between runs.
    QString lastFolder_;
    // The window whose request opened the dialog now open, when it is not the main one: the
    // dialog opens over it, and it is active again when the dialog closes.
    QPointer<QWidget> asker_;
};
