#pragma once

#include "model/analysis/analysed_system.h"

#include <QStringList>
#include <QWidget>

class CoefficientControls;
class EcologySection;
class QLabel;
class QTableWidget;
class QTableWidgetItem;
class QVBoxLayout;

// A read-only cell of a table of results: it shows shown, and gives exact, when there is one,
// in its tooltip and to Ctrl+C.
QTableWidgetItem *resultCell(const QString &shown, const QString &exact = {});

// A read-only table of results with these column headers and no row headers, its last column
// stretched, the name and description given for assistive tools. Ctrl+C, and "Copiar" in the
// table's menu, copy the selected cells as rows of tab-separated text under the header, each
// cell's exact value where it has one.
QTableWidget *resultTable(const QString &objectName, const QStringList &headers, const QString &accessibleName,
                          const QString &accessibleDescription, QWidget *parent);

// The analysis window ("Análisis"): the live controls of the six coefficients (and, in a tab
// beside them, of the ecological parameters), then the
// coefficients and the time span in force above a table with one row per equilibrium: x, y,
// eigenvalues and type. Not modal; its text can be selected and copied (Ctrl+C copies the
// selected cells, tab-separated). Numbers show 6 significant digits, the exact value in the
// tooltip.
class AnalysisWindow : public QWidget {
    Q_OBJECT

public:
    explicit AnalysisWindow(QWidget *parent = nullptr);

    // Shows the system: the coefficients, the span (100 dt) and the equilibria.
    void showSystem(const AnalysedSystem &system);

    // The table scrolled back to its first row and column.
    void showTableFromStart();

    // A section of its own below the table, for later additions to the window.
    void addSection(QWidget *section);

    QTableWidget *equilibriaTable() const { return table_; }
    CoefficientControls *coefficientControls() const { return controls_; }
    // The tab beside the live coefficients: the same system in ecological parameters.
    EcologySection *ecologySection() const { return ecology_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitTableToRows();
    void fitTableHeight();

    CoefficientControls *controls_ = nullptr;
    EcologySection *ecology_ = nullptr;
    QLabel *coefficients_ = nullptr;
    QLabel *span_ = nullptr;
    QLabel *regime_ = nullptr;  // the outcome in words, as the map of regimes names it
    QTableWidget *table_ = nullptr;
    QVBoxLayout *layout_ = nullptr;
};
