#include "display/analysis/analysis_window.h"

#include "display/analysis/coefficient_controls.h"
#include "display/analysis/ecology_section.h"
#include "display/analysis/equilibrium_text.h"
#include "model/analysis/regime.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/close_shortcuts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *selectableLabel(const char *name, const char *accessibleName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setAccessibleName(QString::fromUtf8(accessibleName));
    label->setAccessibleDescription(QStringLiteral("Los valores del último cálculo; el texto se puede seleccionar y copiar."));
    return label;
}

// Where a cell keeps its exact text.
constexpr int kExactRole = Qt::UserRole;

// The selected cells of the table as rows of tab-separated text, the header first.
void copySelection(const QTableWidget &table)
{
    const QList<QTableWidgetSelectionRange> ranges = table.selectedRanges();
    if (ranges.isEmpty())
        return;
    int top = table.rowCount(), bottom = -1, left = table.columnCount(), right = -1;
    for (const QTableWidgetSelectionRange &range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    QStringList lines;
    QStringList header;
    for (int column = left; column <= right; ++column)
        header << table.horizontalHeaderItem(column)->text();
    lines << header.join(QLatin1Char('\t'));
    for (int row = top; row <= bottom; ++row) {
        QStringList fields;
        for (int column = left; column <= right; ++column) {
            const QTableWidgetItem *item = table.item(row, column);
            const QVariant exact = item ? item->data(kExactRole) : QVariant();
            fields << (item && item->isSelected() ? (exact.isValid() ? exact.toString() : item->text()) : QString());
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

} // namespace

QTableWidgetItem *resultCell(const QString &shown, const QString &exact)
{
    auto *item = new QTableWidgetItem(shown);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (!exact.isEmpty()) {
        item->setToolTip(exact);
        item->setData(kExactRole, exact);
    }
    return item;
}

QTableWidget *resultTable(const QString &objectName, const QStringList &headers, const QString &accessibleName,
                          const QString &accessibleDescription, QWidget *parent)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(objectName);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setAccessibleName(accessibleName);
    table->setAccessibleDescription(accessibleDescription);

    auto *copy = new QAction(QStringLiteral("Copiar"), table);
    copy->setObjectName(QStringLiteral("copiarTabla"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, table, [table] { copySelection(*table); });
    table->addAction(copy);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    return table;
}

AnalysisWindow::AnalysisWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Analisis"));
    setWindowTitle(QStringLiteral("Análisis"));
    addCloseShortcuts(this, "cerrarAnalisis");

    controls_ = new CoefficientControls(this);
    coefficients_ = selectableLabel("coeficientes", "Coeficientes en vigor", this);
    span_ = selectableLabel("intervalo", "Intervalo de tiempo en vigor", this);
    regime_ = selectableLabel("regimenAnalisis", "Régimen del sistema", this);

    table_ = resultTable(
        QStringLiteral("tablaEquilibrios"),
        {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("Autovalores"), QStringLiteral("Tipo")},
        QStringLiteral("Puntos de equilibrio"),
        QStringLiteral("Una fila por equilibrio: x, y, autovalores y tipo. Control+C copia las celdas elegidas."), this);

    // The coefficients and the ecological parameters are two ways to change the same system:
    // side by side as tabs, so that the window stays as tall as it was.
    auto *live = new QTabWidget(this);
    live->setObjectName(QStringLiteral("controlesVivos"));
    live->setAccessibleName(QStringLiteral("Coeficientes o parámetros ecológicos"));
    auto *coefficientsPage = new QWidget(live);
    auto *coefficientsLayout = new QVBoxLayout(coefficientsPage);
    coefficientsLayout->addWidget(new QLabel(QStringLiteral("Coeficientes (cada cambio vuelve a calcular):"), coefficientsPage));
    controls_->setParent(coefficientsPage);
    coefficientsLayout->addWidget(controls_);
    coefficientsLayout->addStretch();
    live->addTab(coefficientsPage, QStringLiteral("&Coeficientes"));
    // Its eight rows scroll, so that they ask for no more height than the six coefficients.
    auto *ecologyPage = new QScrollArea(live);
    ecologyPage->setObjectName(QStringLiteral("desplazarParametrosEcologicos"));
    ecologyPage->setWidgetResizable(true);
    ecologyPage->setFrameShape(QFrame::NoFrame);
    ecology_ = new EcologySection(ecologyPage);
    ecologyPage->setWidget(ecology_);
    live->addTab(ecologyPage, QStringLiteral("&Parámetros ecológicos"));

    layout_ = new QVBoxLayout(this);
    layout_->addWidget(live);
    // The outcome in words stays in view while the parameters' rows scroll, and shows with them.
    QWidget *results = ecology_->results();
    layout_->addWidget(results);
    results->setVisible(false);
    connect(live, &QTabWidget::currentChanged, results,
            [live, ecologyPage, results] { results->setVisible(live->currentWidget() == ecologyPage); });
    layout_->addWidget(coefficients_);
    layout_->addWidget(span_);
    layout_->addWidget(regime_);
    auto *caption = new QLabel(QStringLiteral("Puntos de equilibrio"), this);
    caption->setBuddy(table_);
    layout_->addWidget(caption);
    layout_->addWidget(table_, 1);
    resize(560, 520);
}

void AnalysisWindow::showSystem(const AnalysedSystem &system)
{
    const Coefficients &k = system.coefficients;
    // 6 significant digits; the tooltip gives the exact values.
    const auto coefficientsText = [&k](NumberText number) {
        return QStringLiteral("x' = x (A + B x + C y),   y' = y (D + E x + F y)\n"
                              "A = %1    B = %2    C = %3\nD = %4    E = %5    F = %6")
            .arg(number(k.A), number(k.B), number(k.C), number(k.D), number(k.E), number(k.F));
    };
    coefficients_->setText(coefficientsText(shortTextOf));
    coefficients_->setToolTip(coefficientsText(exactTextOf));
    const auto spanText = [&system](NumberText number) {
        return QStringLiteral("Intervalo de tiempo: %1    (dt = %2)").arg(number(100 * system.dt), number(system.dt));
    };
    span_->setText(spanText(shortTextOf));
    span_->setToolTip(spanText(exactTextOf));

    // The same classification as the map of regimes, so that both name one outcome.
    regime_->setText(QStringLiteral("Régimen: %1").arg(QString::fromUtf8(regimeName(regimeOf(k)))));

    table_->clearSpans();
    table_->setRowCount(int(system.equilibria.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const Equilibrium &e = system.equilibria[std::size_t(row)];
        if (e.shape == Equilibrium::Shape::Point) {
            table_->setItem(row, 0, resultCell(shortTextOf(e.x), exactTextOf(e.x)));
            table_->setItem(row, 1, resultCell(shortTextOf(e.y), exactTextOf(e.y)));
            table_->setItem(row, 2, resultCell(eigenvaluesText(e, shortTextOf), eigenvaluesText(e, exactTextOf)));
        } else {
            // A line's equation, or the whole plane, across x, y and the eigenvalues (which
            // only a point has).
            table_->setItem(row, 0, resultCell(placeText(e, shortTextOf), placeText(e, exactTextOf)));
            table_->setItem(row, 1, resultCell(QString()));
            table_->setItem(row, 2, resultCell(eigenvaluesText(e)));
            table_->setSpan(row, 0, 1, 3);
        }
        table_->setItem(row, 3, resultCell(typeText(e.type())));
    }
    fitTableToRows();
    showTableFromStart();
}

void AnalysisWindow::showTableFromStart()
{
    table_->scrollToTop();
    table_->horizontalScrollBar()->setValue(0);
}

// Columns as wide as their contents, a spanned equation included, and the table as tall as
// its rows, so that every equilibrium is in sight without scrolling.
void AnalysisWindow::fitTableToRows()
{
    table_->resizeColumnsToContents();
    const QFontMetrics metrics(table_->font());
    const int padding = 2 * (table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1) + 4;
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (table_->columnSpan(row, 0) < 3)
            continue;
        const int wanted = metrics.horizontalAdvance(table_->item(row, 0)->text()) + padding;
        const int spanned = table_->columnWidth(0) + table_->columnWidth(1) + table_->columnWidth(2);
        if (spanned < wanted)
            table_->setColumnWidth(2, table_->columnWidth(2) + wanted - spanned);
    }
    fitTableHeight();
}

// As tall as the header and every row, and the horizontal scroll bar when the columns are
// wider than the table.
void AnalysisWindow::fitTableHeight()
{
    int height = 2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < std::max(table_->rowCount(), 1); ++row)
        height += row < table_->rowCount() ? table_->rowHeight(row) : table_->verticalHeader()->defaultSectionSize();
    int width = 2 * table_->frameWidth();
    for (int column = 0; column < table_->columnCount(); ++column)
        width += table_->columnWidth(column);
    if (width > table_->width())
        height += table_->horizontalScrollBar()->sizeHint().height();
    table_->setMinimumHeight(height);
}

void AnalysisWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitTableHeight();
}

void AnalysisWindow::addSection(QWidget *section)
{
    layout_->addWidget(section);
}

