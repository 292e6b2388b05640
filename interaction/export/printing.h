#pragma once

#include <QByteArray>
#include <QObject>
#include <QSizeF>

#include <functional>
#include <optional>

class BifurcationWindow;
class ExplorerState;
class PlotExport;
class PlotViews;
class QPainter;
class QPrinter;
class RegimeWindow;
class QWidget;

// Printing on the user's request: the plots with the system under them (Ctrl+P), the
// bifurcation diagram and the map of regimes in their windows likewise, and the handout as a
// PDF written through the save path every file takes (whole or not at all).
class Printing : public QObject {
    Q_OBJECT

public:
    Printing(QWidget &window, const ExplorerState &state, const PlotViews &plots, PlotExport &exports);

    // The plots, the equations with their coefficients, the initial point and the span.
    void print();
    // Asks whether with questions, then where, and writes the handout.
    void exportHandout();
    // Gives the window its "Imprimir…" (Ctrl+P) of its picture.
    void attachDiagramPrinting(BifurcationWindow &window);
    void attachRegimeMapPrinting(RegimeWindow &window);

    // Shows the print preview over the window that asked and prints where the user says, paint
    // painting the pages on the printer it is given. The preview dialog unless replaced, as the
    // tests do, which print to a PDF file.
    using PrintDialog = std::function<void(QWidget &over, QPrinter &printer, const std::function<void(QPrinter *)> &paint)>;
    PrintDialog runPrintDialog;
    // Whether the handout carries questions; nothing when cancelled. A small dialog unless
    // replaced, as the tests do.
    using QuestionsChoice = std::function<std::optional<bool>(QWidget &over)>;
    QuestionsChoice askWithQuestions;

    // The handout's bytes as the action writes them.
    QByteArray handout(bool withQuestions) const;

private:
    void printPicture(QWidget &over, const QString &title, QSizeF size, const std::function<void(QPainter &)> &paint);

    QWidget &window_;
    const ExplorerState &state_;
    const PlotViews &plots_;
    PlotExport &exports_;
};
