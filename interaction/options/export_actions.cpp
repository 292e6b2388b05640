// The plots as a picture and the samples as a table: saved to a file or copied to the
// clipboard, only on the user's request. Files are written whole or not at all.
#include "interaction/prog.h"

#include "display/bifurcation/bifurcation_canvas.h"
#include "display/bifurcation/bifurcation_painter.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/export/clipped_device.h"
#include "display/export/plot_picture.h"
#include "display/export/sample_table.h"
#include "display/export/whole_file.h"
#include "display/plots/plot_surface.h"
#include "interaction/analysis/analysis_layer.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSvgGenerator>

namespace {

const QString kPngFilter = QStringLiteral("Imagen PNG (*.png)");
const QString kSvgFilter = QStringLiteral("Imagen SVG (*.svg)");
const QString kCsvFilter = QStringLiteral("Valores separados por comas (*.csv)");

// The path with the extension of the chosen filter added when it has none of those offered.
QString withExtension(const QString &path, const QStringList &extensions, const QString &chosenExtension)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return extensions.contains(suffix) ? path : path + u'.' + chosenExtension;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

void Prog::useFileDialogs()
{
    askSaveFileName = [this](const QString &caption, const QString &offered, const QString &filters,
                             QString *chosenFilter) {
        return QFileDialog::getSaveFileName(dialogParent(), caption, offered, filters, chosenFilter,
                                            QFileDialog::DontUseNativeDialog);
    };
}

QImage Prog::plotPicture() const
{
    return plot_picture::image(
        plotScene(), [this](PlotKind plot, QPainter &painter, const QSizeF &area) { paintUnderlay(plot, painter, area); },
        plot_picture::coloursOf(XYgraf->palette()), XYgraf->devicePixelRatioF());
}

QString Prog::offeredPath(const QString &fileName) const
{
    return QDir(lastFolder_.isEmpty() ? QDir::currentPath() : lastFolder_).filePath(fileName);
}

void Prog::saveImage()
{
    const auto underlay = [this](PlotKind plot, QPainter &painter, const QSizeF &area) { paintUnderlay(plot, painter, area); };
    saveImageFile(*this, QStringLiteral("lotka-volterra.png"), [this] { return plotPicture(); },
                  [this, underlay] { return plot_picture::svg(plotScene(), underlay, plot_picture::coloursOf(XYgraf->palette())); });
}

QWidget *Prog::dialogParent()
{
    return asker_ ? asker_.data() : this;
}

// Asks where, over the window that asked, then writes the picture as PNG or SVG, as the name's
// extension says. The window that asked is active again afterwards.
void Prog::saveImageFile(QWidget &asker, const QString &fileName, const std::function<QImage()> &png,
                         const std::function<QByteArray()> &svg)
{
    const QPointer<QWidget> previous = std::exchange(asker_, &asker);
    const auto restore = qScopeGuard([this, previous, &asker] {
        asker_ = previous;
        asker.raise();
        asker.activateWindow();
    });
    const QString title = QStringLiteral("Guardar imagen");
    QString filter = kPngFilter;
    QString path = askSaveFileName(title, offeredPath(fileName), kPngFilter + QStringLiteral(";;") + kSvgFilter, &filter);
    if (path.isEmpty())
        return;
    path = withExtension(path, {QStringLiteral("png"), QStringLiteral("svg")},
                         filter == kSvgFilter ? QStringLiteral("svg") : QStringLiteral("png"));
    lastFolder_ = QFileInfo(path).absolutePath();
    const bool asSvg = QFileInfo(path).suffix().toLower() == QLatin1String("svg");
    writeFile(title, path, asSvg ? svg() : pngBytes(png()));
}

// The bifurcation diagram saves itself as the plots do, from its own context menu or Ctrl+S.
void Prog::attachDiagramExport(BifurcationWindow &window)
{
    auto *save = new QAction(QStringLiteral("Guardar imagen…"), &window);
    save->setObjectName(QStringLiteral("guardarDiagrama"));
    save->setShortcut(QKeySequence::Save);
    save->setShortcutContext(Qt::WindowShortcut);
    window.addAction(save);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    BifurcationCanvas *canvas = window.canvas();
    connect(save, &QAction::triggered, this, [this, canvas] {
        saveImageFile(
            *canvas->window(), QStringLiteral("bifurcacion.png"),
            [canvas] {
                const qreal ratio = canvas->devicePixelRatioF();
                QImage image(canvas->size() * ratio, QImage::Format_RGB32);
                image.setDevicePixelRatio(ratio);
                image.fill(canvas->palette().color(QPalette::Base));
                QPainter painter(&image);
                paintBifurcation(painter, canvas->rect(), canvas->scene());
                return image;
            },
            [canvas] {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QSvgGenerator generator;
                generator.setOutputDevice(&buffer);
                generator.setSize(canvas->size());
                generator.setViewBox(canvas->rect());
                generator.setTitle(QStringLiteral("Diagrama de bifurcación"));
                {
                    // The file keeps no clip: the curves are cut to their panels by geometry.
                    QPainter file(&generator);
                    ClippedDevice clipped(file, canvas->size());
                    QPainter painter(&clipped);
                    painter.fillRect(canvas->rect(), canvas->palette().color(QPalette::Base));
                    paintBifurcation(painter, canvas->rect(), canvas->scene());
                }
                return buffer.data();
            });
    });
}

void Prog::exportData()
{
    const QString title = QStringLiteral("Exportar datos");
    QString filter = kCsvFilter;
    QString path = askSaveFileName(title, offeredPath(QStringLiteral("trayectorias.csv")), kCsvFilter, &filter);
    if (path.isEmpty())
        return;
    path = withExtension(path, {QStringLiteral("csv")}, QStringLiteral("csv"));
    lastFolder_ = QFileInfo(path).absolutePath();
    // The current trajectory with the coefficients it was computed with, then the kept ones.
    const Trajectory current = trajectoryOf(model, analysis->system().coefficients);
    std::vector<const Trajectory *> all{&current};
    for (const Trajectory &kept : keptTrajectories())
        all.push_back(&kept);
    const std::string table = samplesAsCsv(all);
    writeFile(title, path, QByteArray(table.data(), qsizetype(table.size())));
}

void Prog::copyData()
{
    QGuiApplication::clipboard()->setText(samplesForClipboard(trajectoryOf(model, analysis->system().coefficients)));
}

void Prog::copyImage()
{
    QGuiApplication::clipboard()->setImage(plotPicture());
}

// The one place that tells the user a file could not be written.
bool Prog::writeFile(const QString &title, const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (writeWholeFile(path, bytes, &reason))
        return true;
    QMessageBox::warning(dialogParent(), title,
                         QStringLiteral("No se pudo guardar el archivo %1:\n%2.")
                             .arg(QDir::toNativeSeparators(path), reason));
    return false;
}
