// Printing and the handout: a printer is reached only through the dialog the user answers.
#include "interaction/export/printing.h"

#include "display/bifurcation/bifurcation_canvas.h"
#include "display/bifurcation/bifurcation_painter.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/export/plot_picture.h"
#include "display/print/handout_content.h"
#include "display/print/handout_pdf.h"
#include "display/print/printed_page.h"
#include "display/print/system_text.h"
#include "display/regime/regime_map.h"
#include "display/regime/regime_window.h"
#include "display/views/plot_views.h"
#include "interaction/export/plot_export.h"
#include "model/coefficients.h"
#include "state/explorer_state.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace {

const QString kPreviewTitle = QStringLiteral("Vista previa de impresión");

void addPrintAction(QWidget &window, const char *name, const std::function<void()> &run)
{
    auto *print = new QAction(QStringLiteral("Imprimir…"), &window);
    print->setObjectName(QString::fromLatin1(name));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    print->setShortcutContext(Qt::WindowShortcut);
    window.addAction(print);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    QObject::connect(print, &QAction::triggered, &window, run);
}

} // namespace

Printing::Printing(QWidget &window, const ExplorerState &state, const PlotViews &plots, PlotExport &exports)
    : QObject(&window), window_(window), state_(state), plots_(plots), exports_(exports)
{
    runPrintDialog = [](QWidget &over, QPrinter &printer, const std::function<void(QPrinter *)> &paint) {
        QPrintPreviewDialog preview(&printer, &over);
        preview.setWindowTitle(kPreviewTitle);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
        preview.exec();
    };
    askWithQuestions = [](QWidget &over) -> std::optional<bool> {
        QDialog dialog(&over);
        dialog.setWindowTitle(QStringLiteral("Exportar hoja de trabajo"));
        auto *questions = new QCheckBox(QStringLiteral("con preguntas"), &dialog);
        questions->setObjectName(QStringLiteral("conPreguntas"));
        questions->setToolTip(QStringLiteral("Cuatro preguntas con líneas para responder, y sus respuestas en una "
                                             "segunda página para el profesor"));
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(questions);
        layout->addWidget(buttons);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return questions->isChecked();
    };
}

// The page painted on the printer the dialog made; the printer never starts before the user says so.
void Printing::printPicture(QWidget &over, const QString &title, QSizeF size, const std::function<void(QPainter &)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    const QStringList lines = systemLines(state_.system(), state_.model().xs(0), state_.model().ys(0));
    runPrintDialog(over, printer, [&](QPrinter *target) {
        QPainter painter(target);
        paintPrintedPage(painter, title, size, paint, lines);
    });
}

void Printing::print()
{
    printPicture(window_, QStringLiteral("Sistema de Lotka-Volterra"), plot_picture::size(),
                 [this](QPainter &painter) { plots_.paintPicture(painter); });
}

void Printing::attachDiagramPrinting(BifurcationWindow &window)
{
    BifurcationCanvas *canvas = window.canvas();
    addPrintAction(window, "imprimirDiagrama", [this, canvas] {
        printPicture(*canvas->window(), QStringLiteral("Diagrama de bifurcación"), canvas->size(),
                     [canvas](QPainter &painter) { paintBifurcation(painter, canvas->rect(), canvas->scene()); });
    });
}

void Printing::attachRegimeMapPrinting(RegimeWindow &window)
{
    RegimeMap *map = window.map();
    addPrintAction(window, "imprimirMapa", [this, map] {
        printPicture(*map->window(), QStringLiteral("Mapa de regímenes"), map->size(),
                     [map](QPainter &painter) { map->paintMap(painter); });
    });
}

QByteArray Printing::handout(bool withQuestions) const
{
    const Trajectory trajectory = state_.trajectory();
    // The outcome speaks of the system in force: the parameters set are its own only while no
    // coefficient changed since.
    const std::optional<EcologicalParameters> ecology =
        bitIdentical(state_.coefficients(), state_.system().coefficients)
            ? state_.ecology()
            : parametersFrom(state_.system().coefficients, state_.ecologicalForm());
    const HandoutContent content = handoutContent(state_.system(), trajectory, state_.turningPoints(), ecology);
    return handoutPdf(content, plot_picture::size(), [this](QPainter &painter) { plots_.paintPicture(painter); },
                      withQuestions);
}

void Printing::exportHandout()
{
    const std::optional<bool> withQuestions = askWithQuestions(window_);
    if (!withQuestions)
        return;
    exports_.saveFile(QStringLiteral("Exportar hoja de trabajo"), QStringLiteral("hoja-de-trabajo.pdf"),
                      QStringLiteral("Documento PDF (*.pdf)"), QStringLiteral("pdf"),
                      [this, with = *withQuestions] { return handout(with); });
}
