#include "analysis_window.h"

#include "coefficient_controls.h"
#include "conversions.h"
#include "equilibrium_text.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
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

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

AnalysisWindow::AnalysisWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Analisis"));
    setWindowTitle(QStringLiteral("Análisis"));

    controls_ = new CoefficientControls(this);
    coefficients_ = selectableLabel("coeficientes", "Coeficientes en vigor", this);
    span_ = selectableLabel("intervalo", "Intervalo de tiempo en vigor", this);

    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("tablaEquilibrios"));
    table_->setHorizontalHeaderLabels({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("Autovalores"),
                                       QStringLiteral("Tipo")});
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setAccessibleName(QStringLiteral("Puntos de equilibrio"));
    table_->setAccessibleDescription(
        QStringLiteral("Una fila por equilibrio: x, y, autovalores y tipo. Control+C copia las celdas elegidas."));

    auto *copy = new QAction(QStringLiteral("Copiar"), table_);
    copy->setObjectName(QStringLiteral("copiarTabla"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &AnalysisWindow::copySelection);
    table_->addAction(copy);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);

    layout_ = new QVBoxLayout(this);
    layout_->addWidget(new QLabel(QStringLiteral("Coeficientes (cada cambio vuelve a calcular):"), this));
    layout_->addWidget(controls_);
    layout_->addWidget(coefficients_);
    layout_->addWidget(span_);
    auto *caption = new QLabel(QStringLiteral("Puntos de equilibrio"), this);
    caption->setBuddy(table_);
    layout_->addWidget(caption);
    layout_->addWidget(table_, 1);
    resize(560, 520);
}

void AnalysisWindow::showSystem(const AnalysedSystem &system)
{
    const Coefficients &k = system.coefficients;
    coefficients_->setText(QStringLiteral("x' = x (A + B x + C y),   y' = y (D + E x + F y)\n"
                                          "A = %1    B = %2    C = %3\nD = %4    E = %5    F = %6")
                               .arg(textOf(k.A), textOf(k.B), textOf(k.C), textOf(k.D), textOf(k.E), textOf(k.F)));
    span_->setText(QStringLiteral("Intervalo de tiempo: %1    (dt = %2)").arg(textOf(100 * system.dt), textOf(system.dt)));

    table_->clearSpans();
    table_->setRowCount(int(system.equilibria.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const Equilibrium &e = system.equilibria[std::size_t(row)];
        if (e.shape == Equilibrium::Shape::Point) {
            table_->setItem(row, 0, cell(textOf(e.x)));
            table_->setItem(row, 1, cell(textOf(e.y)));
        } else {
            table_->setItem(row, 0, cell(placeText(e)));
            table_->setItem(row, 1, cell(QString()));
            table_->setSpan(row, 0, 1, 2);
        }
        table_->setItem(row, 2, cell(eigenvaluesText(e)));
        table_->setItem(row, 3, cell(typeText(e.type())));
    }
    table_->resizeColumnsToContents();
}

void AnalysisWindow::addSection(QWidget *section)
{
    layout_->addWidget(section);
}

// The selected cells as rows of tab-separated text, the header first.
void AnalysisWindow::copySelection() const
{
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    if (ranges.isEmpty())
        return;
    int top = table_->rowCount(), bottom = -1, left = table_->columnCount(), right = -1;
    for (const QTableWidgetSelectionRange &range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    QStringList lines;
    QStringList header;
    for (int column = left; column <= right; ++column)
        header << table_->horizontalHeaderItem(column)->text();
    lines << header.join(QLatin1Char('\t'));
    for (int row = top; row <= bottom; ++row) {
        QStringList fields;
        for (int column = left; column <= right; ++column) {
            const QTableWidgetItem *item = table_->item(row, column);
            fields << (item && item->isSelected() ? item->text() : QString());
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}
