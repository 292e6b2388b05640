// The plots as a picture and the samples as a table: saved to a file or copied to the
// clipboard, only on the user's request. Files are written whole or not at all.
#include "interaction/export/plot_export.h"

#include "display/bifurcation/bifurcation_canvas.h"
#include "display/bifurcation/bifurcation_painter.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/regime/regime_map.h"
#include "display/regime/regime_window.h"
#include "display/export/painted_picture.h"
#include "display/export/sample_table.h"
#include "display/export/whole_file.h"
#include "display/views/plot_views.h"
#include "state/explorer_state.h"

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

PlotExport::PlotExport(QWidget &window, const ExplorerState &state, const PlotViews &plots)
    : QObject(&window), window_(window), state_(state), plots_(plots)
{
    askSaveFileName = [this](const QString &caption, const QString &offered, const QString &filters,
                             QString *chosenFilter) {
        return QFileDialog::getSaveFileName(dialogParent(), caption, offered, filters, chosenFilter,
                                            QFileDialog::DontUseNativeDialog);
    };
    askReplace = [this](const QString &caption, const QString &question) {
        // As the file dialog asks for a name typed whole.
        return QMessageBox::warning(dialogParent(), caption, question, QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No)
            == QMessageBox::Yes;
    };
}

QString PlotExport::offeredPath(const QString &fileName) const
{
    return QDir(lastFolder_.isEmpty() ? QDir::currentPath() : lastFolder_).filePath(fileName);
}

void PlotExport::saveImage()
{
    saveImageFile(window_, QStringLiteral("lotka-volterra.png"), [this] { return plots_.picture(); },
                  [this] { return plots_.svg(); });
}

// The chosen path with the extension added when it has none of those offered. The dialog asked
// about replacing the file of the name typed, not of this one: a file of the completed name is
// replaced only when the user says so. Empty when not.
QString PlotExport::completed(const QString &caption, const QString &typed, const QStringList &extensions,
                              const QString &chosenExtension)
{
    const QString path = withExtension(typed, extensions, chosenExtension);
    if (path == typed || !QFileInfo::exists(path))
        return path;
    return askReplace(caption, QStringLiteral("¿Reemplazar «%1»?").arg(QFileInfo(path).fileName())) ? path : QString();
}

QWidget *PlotExport::dialogParent()
{
    return asker_ ? asker_.data() : &window_;
}

// Asks where, over the window that asked, then writes the picture as PNG or SVG, as the name's
// extension says. The window that asked is active again afterwards.
void PlotExport::saveImageFile(QWidget &asker, const QString &fileName, const std::function<QImage()> &png,
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
    path = completed(title, path, {QStringLiteral("png"), QStringLiteral("svg")},
                     filter == kSvgFilter ? QStringLiteral("svg") : QStringLiteral("png"));
    if (path.isEmpty())
        return;
    lastFolder_ = QFileInfo(path).absolutePath();
    const bool asSvg = QFileInfo(path).suffix().toLower() == QLatin1String("svg");
    writeFile(title, path, asSvg ? svg() : pngBytes(png()));
}

// The bifurcation diagram saves itself as the plots do, from its own context menu or Ctrl+S.
void PlotExport::attachDiagramExport(BifurcationWindow &window)
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
                return imageOf(canvas->size(), canvas->devicePixelRatioF(), canvas->palette().color(QPalette::Base),
                               [canvas](QPainter &painter) { paintBifurcation(painter, canvas->rect(), canvas->scene()); });
            },
            [canvas] {
                return svgOf(canvas->size(), QStringLiteral("Diagrama de bifurcación"), canvas->palette().color(QPalette::Base),
                             [canvas](QPainter &painter) { paintBifurcation(painter, canvas->rect(), canvas->scene()); });
            });
    });
}

// The map of regimes likewise.
void PlotExport::attachRegimeMapExport(RegimeWindow &window)
{
    auto *save = new QAction(QStringLiteral("Guardar imagen…"), &window);
    save->setObjectName(QStringLiteral("guardarMapa"));
    save->setShortcut(QKeySequence::Save);
    save->setShortcutContext(Qt::WindowShortcut);
    window.addAction(save);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    RegimeMap *map = window.map();
    connect(save, &QAction::triggered, this, [this, map] {
        saveImageFile(
            *map->window(), QStringLiteral("regimenes.png"),
            [map] {
                return imageOf(map->size(), 1, Qt::white, [map](QPainter &painter) { map->paintMap(painter); });
            },
            [map] {
                return svgOf(map->size(), QStringLiteral("Mapa de regímenes"), Qt::white,
                             [map](QPainter &painter) { map->paintMap(painter); });
            });
    });
}

void PlotExport::exportData()
{
    saveFile(QStringLiteral("Exportar datos"), QStringLiteral("trayectorias.csv"), kCsvFilter, QStringLiteral("csv"), [this] {
        // The current trajectory with the coefficients it was computed with, then the kept ones.
        const Trajectory current = state_.trajectory();
        std::vector<const Trajectory *> all{&current};
        for (const Trajectory &kept : state_.keptTrajectories())
            all.push_back(&kept);
        const auto &shown = state_.observations();
        const std::string table = samplesAsCsv(all, shown ? &shown->scaled.series : nullptr);
        return QByteArray(table.data(), qsizetype(table.size()));
    });
}

bool PlotExport::saveFile(const QString &caption, const QString &fileName, const QString &filter,
                          const QString &extension, const std::function<QByteArray()> &bytes)
{
    QString chosen = filter;
    QString path = askSaveFileName(caption, offeredPath(fileName), filter, &chosen);
    if (path.isEmpty())
        return false;
    path = completed(caption, path, {extension}, extension);
    if (path.isEmpty())
        return false;
    lastFolder_ = QFileInfo(path).absolutePath();
    return writeFile(caption, path, bytes());
}

void PlotExport::copyData()
{
    QGuiApplication::clipboard()->setText(samplesForClipboard(state_.trajectory()));
}

void PlotExport::copyImage()
{
    QGuiApplication::clipboard()->setImage(plots_.picture());
}

// The one place that tells the user a file could not be written.
bool PlotExport::writeFile(const QString &title, const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (writeWholeFile(path, bytes, &reason))
        return true;
    QMessageBox::warning(dialogParent(), title,
                         QStringLiteral("No se pudo guardar el archivo %1:\n%2.")
                             .arg(QDir::toNativeSeparators(path), reason));
    return false;
}
