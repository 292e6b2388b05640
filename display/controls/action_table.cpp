// The one table of the window's actions: what makes them, what lists them in the context menu,
// and what names their keys in the help.
#include "display/controls/action_table.h"

#include <iterator>

namespace {

using enum WindowAction;
constexpr auto kNoStandardKey = QKeySequence::UnknownKey;
constexpr QKeyCombination kStandard{};   // the key is the standard key that follows

// clang-format off
constexpr WindowActionEntry kTable[] = {
    {KeepTrajectories, "conservar", "Conservar trayectorias", Qt::Key_T, kNoStandardKey, true,
     MenuGroup::Trajectories, HelpRow::Keyboard, "Conservar trayectorias: activar o desactivar."},
    {ClearTrajectories, "borrarTrayectorias", "Borrar trayectorias", kStandard, QKeySequence::Delete, false,
     MenuGroup::Trajectories, HelpRow::Keyboard, "Borrar trayectorias conservadas."},
    {TurningPoints, "extremos", "Máximos y mínimos", Qt::Key_M, kNoStandardKey, true,
     MenuGroup::Trajectories, HelpRow::Keyboard, "Máximos y mínimos: mostrar u ocultar."},
    {NextTurningPoint, "siguienteExtremo", "Ir al extremo siguiente", Qt::CTRL | Qt::Key_Right, kNoStandardKey, false,
     MenuGroup::None, HelpRow::Keyboard,
     "con los máximos y mínimos a la vista, fuera del plano de fases: ir al extremo siguiente o al anterior."},
    {PreviousTurningPoint, "anteriorExtremo", "Ir al extremo anterior", Qt::CTRL | Qt::Key_Left, kNoStandardKey, false,
     MenuGroup::None, HelpRow::WithRowAbove, nullptr},
    {Play, "reproducir", "Reproducir / Pausa", Qt::Key_R, kNoStandardKey, true,
     MenuGroup::Trajectories, HelpRow::Keyboard,
     "Reproducir / Pausa: el cursor de tiempo avanza solo hasta la última muestra (otra vez R al final: desde el "
     "principio)."},
    {Faster, "masRapido", "Más rápido", Qt::Key_BracketRight, kNoStandardKey, false,
     MenuGroup::None, HelpRow::Keyboard, "reproducir el doble de rápido o la mitad (de 5 a 400 muestras por segundo)."},
    {Slower, "masLento", "Más lento", Qt::Key_BracketLeft, kNoStandardKey, false,
     MenuGroup::None, HelpRow::WithRowAbove, nullptr},
    {JoinSamples, "unirPuntos", "Unir puntos", Qt::Key_L, kNoStandardKey, true,
     MenuGroup::Trajectories, HelpRow::Keyboard, "Unir puntos: activar o desactivar."},
    {Nullclines, "isoclinas", "Isoclinas cero", Qt::Key_N, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard, "Isoclinas cero: mostrar u ocultar."},
    {Equilibria, "equilibrios", "Puntos de equilibrio", Qt::Key_E, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard, "Puntos de equilibrio: mostrar u ocultar."},
    {DirectionField, "campo", "Campo de direcciones", Qt::Key_D, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard, "Campo de direcciones: mostrar u ocultar."},
    {Scales, "escalas", "Escalas", Qt::Key_S, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard, "Escalas: mostrar u ocultar."},
    {Legend, "leyenda", "Leyenda", Qt::Key_G, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard, "Leyenda: mostrar u ocultar los nombres de los ejes y la leyenda."},
    {MoveLegend, "moverLeyenda", "Mover la leyenda", Qt::SHIFT | Qt::Key_G, kNoStandardKey, false,
     MenuGroup::Overlays, HelpRow::Keyboard,
     "Mover la leyenda a la esquina siguiente; también se arrastra con el ratón a otra esquina."},
    {Separatrices, "separatrices", "Separatrices", Qt::Key_V, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard,
     "Separatrices: mostrar u ocultar las variedades estable e inestable de cada punto de silla."},
    {LevelCurves, "integralPrimera", "Integral primera / función de Lyapunov", Qt::Key_H, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard, "Integral primera / función de Lyapunov: mostrar u ocultar sus curvas de nivel."},
    {Basins, "cuencas", "Cuencas de atracción", Qt::Key_C, kNoStandardKey, true,
     MenuGroup::Overlays, HelpRow::Keyboard,
     "Cuencas de atracción: mostrar u ocultar."},
    {ZoomIn, "acercar", "Acercar", Qt::Key_Plus, kNoStandardKey, false,
     MenuGroup::View, HelpRow::Keyboard,
     "acercar o alejar la vista del plano de fases, sobre su centro (la rueda del ratón lo hace sobre el punto "
     "bajo el puntero)."},
    {ZoomOut, "alejar", "Alejar", Qt::Key_Minus, kNoStandardKey, false,
     MenuGroup::View, HelpRow::WithRowAbove, nullptr},
    {InitialView, "vistaInicial", "Vista inicial", Qt::Key_0, kNoStandardKey, false,
     MenuGroup::View, HelpRow::Keyboard, "volver a la vista inicial del plano de fases."},
    {FitView, "ajustarVista", "Ajustar a la trayectoria y los equilibrios", Qt::Key_Z, kNoStandardKey, false,
     MenuGroup::View, HelpRow::Keyboard, "ajustar la vista a la trayectoria y los puntos de equilibrio."},
    {PanLeft, "desplazarIzquierda", "Desplazar a la izquierda", Qt::ALT | Qt::Key_Left, kNoStandardKey, false,
     MenuGroup::None, HelpRow::Keyboard,
     "desplazar la vista del plano de fases una décima parte (Mayús y la rueda del ratón, a los lados)."},
    {PanRight, "desplazarDerecha", "Desplazar a la derecha", Qt::ALT | Qt::Key_Right, kNoStandardKey, false,
     MenuGroup::None, HelpRow::WithRowAbove, nullptr},
    {PanUp, "desplazarArriba", "Desplazar hacia arriba", Qt::ALT | Qt::Key_Up, kNoStandardKey, false,
     MenuGroup::None, HelpRow::WithRowAbove, nullptr},
    {PanDown, "desplazarAbajo", "Desplazar hacia abajo", Qt::ALT | Qt::Key_Down, kNoStandardKey, false,
     MenuGroup::None, HelpRow::WithRowAbove, nullptr},
    {Undo, "deshacer", "Deshacer", Qt::CTRL | Qt::Key_Z, kNoStandardKey, false,
     MenuGroup::Edit, HelpRow::Keyboard,
     "deshacer el último cambio: de coeficientes, punto inicial, intervalo, opciones, vista o trayectorias "
     "conservadas (el cursor de tiempo no cuenta), también desde las ventanas de análisis y del diagrama. En una "
     "casilla de texto deshace lo escrito en ella."},
    {Redo, "rehacer", "Rehacer", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, kNoStandardKey, false,
     MenuGroup::Edit, HelpRow::Keyboard, "rehacer lo deshecho.", nullptr, Qt::CTRL | Qt::Key_Y},
    {OpenScenario, "abrirEscenario", "Abrir escenario…", Qt::CTRL | Qt::Key_O, kNoStandardKey, false,
     MenuGroup::Scenario, HelpRow::Export,
     "Abrir escenario: un archivo <i>.lvesc</i> guardado antes; la ventana vuelve a verse como entonces. "
     "También se abre uno al iniciar el programa con su nombre (<i>lotka-volterra archivo.lvesc</i>) o con doble "
     "clic en el gestor de archivos."},
    {SaveScenario, "guardarEscenario", "Guardar escenario…", Qt::CTRL | Qt::SHIFT | Qt::Key_S, kNoStandardKey,
     false, MenuGroup::Scenario, HelpRow::Export,
     "Guardar escenario: coeficientes, punto inicial, intervalo, cursor de tiempo, opciones, vista, trayectorias "
     "conservadas y el estado de las ventanas de análisis y del diagrama, en un archivo <i>.lvesc</i>."},
    {AnalysisWindow, "analisis", "Ventana de análisis…", Qt::Key_A, kNoStandardKey, false,
     MenuGroup::Windows, HelpRow::Keyboard, "abrir la ventana de análisis."},
    {BifurcationWindow, "bifurcacion", "Diagrama de bifurcación…", Qt::Key_B, kNoStandardKey, false,
     MenuGroup::Windows, HelpRow::Keyboard, "abrir el diagrama de bifurcación."},
    {RegimeWindow, "mapaRegimenes", "Mapa de regímenes…", Qt::Key_P, kNoStandardKey, false,
     MenuGroup::Windows, HelpRow::Keyboard,
     "abrir el mapa de regímenes: qué ocurre con las dos especies según dos coeficientes."},
    // Shift+F10 opens the context menu where the Menu key would; it is no entry of the menu.
    {ContextMenu, "menuContextual", "Menú contextual", Qt::SHIFT | Qt::Key_F10, kNoStandardKey, false,
     MenuGroup::None, HelpRow::Keyboard,
     "abrir el menú de análisis (en una casilla de texto, su propio menú).", "Tecla de menú"},
    {Help, "ayuda", "Ayuda", Qt::Key_F1, kNoStandardKey, false,
     MenuGroup::Help, HelpRow::Keyboard, "abrir esta ayuda."},
    {SaveImage, "guardarImagen", "Guardar imagen…", kStandard, QKeySequence::Save, false,
     MenuGroup::Export, HelpRow::Export,
     "Guardar imagen: los tres gráficos tal como se ven, en PNG o, como vectores, en SVG (según la extensión "
     "del nombre). En la ventana del diagrama de bifurcación, Control+S guarda el diagrama; en la del mapa de "
     "regímenes, el mapa."},
    {ExportData, "exportarDatos", "Exportar datos (CSV)…", Qt::CTRL | Qt::Key_E, kNoStandardKey, false,
     MenuGroup::Export, HelpRow::Export,
     "Exportar datos (CSV): cada muestra de la trayectoria actual y de las conservadas, con sus coeficientes, "
     "para una hoja de cálculo. Actúa también desde una casilla de texto, como {guardarImagen}."},
    {CopyData, "copiarDatos", "Copiar datos", Qt::CTRL | Qt::SHIFT | Qt::Key_C, kNoStandardKey, false,
     MenuGroup::Export, HelpRow::Export,
     "Copiar datos: t, x e y de las muestras válidas de la trayectoria actual, separados por tabuladores."},
    {CopyImage, "copiarImagen", "Copiar imagen", Qt::CTRL | Qt::SHIFT | Qt::Key_I, kNoStandardKey, false,
     MenuGroup::Export, HelpRow::Export, "Copiar imagen: los tres gráficos al portapapeles."},
    {Print, "imprimir", "Imprimir…", Qt::CTRL | Qt::Key_P, kNoStandardKey, false,
     MenuGroup::Export, HelpRow::Export,
     "Imprimir: vista previa de impresión de los tres gráficos, como vectores y ajustados a la página, con las "
     "ecuaciones, sus coeficientes, el punto inicial y el intervalo. En la ventana del diagrama de bifurcación, "
     "Control+P imprime el diagrama; en la del mapa de regímenes, el mapa."},
    {Handout, "hojaTrabajo", "Exportar hoja de trabajo (PDF)…", Qt::CTRL | Qt::SHIFT | Qt::Key_P, kNoStandardKey,
     false, MenuGroup::Export, HelpRow::Export,
     "Exportar hoja de trabajo (PDF): una hoja A4 con las ecuaciones, los gráficos, los puntos de equilibrio y lo "
     "que dice el análisis; <i>con preguntas</i>, cuatro preguntas para responder y sus respuestas en otra página."},
    {FullScreen, "pantallaCompleta", "Pantalla completa", Qt::Key_F11, kNoStandardKey, true,
     MenuGroup::View, HelpRow::Keyboard,
     "Pantalla completa: la ventana ocupa toda la pantalla, con todo lo dibujado a mayor tamaño; Esc la deja."},
    {Presentation, "modoPresentacion", "Modo presentación", Qt::Key_F5, kNoStandardKey, true,
     MenuGroup::View, HelpRow::Keyboard,
     "Modo presentación: pantalla completa, con los textos de los gráficos un punto mayores y los puntos de la "
     "trayectoria unidos, para proyectar en clase; Esc lo deja. No cambia las opciones guardadas."},
    {FitData, "ajustarDatos", "Ajustar a los datos", Qt::CTRL | Qt::SHIFT | Qt::Key_A, kNoStandardKey, false,
     MenuGroup::Windows, HelpRow::Keyboard,
     "Ajustar a los datos: con observaciones a la vista, ajusta los seis coeficientes y el punto inicial por "
     "mínimos cuadrados (en la ventana de análisis, con su resultado y sus residuos; Esc cancela)."},
    {OpenData, "abrirDatos", "Abrir datos…", Qt::CTRL | Qt::Key_D, kNoStandardKey, false,
     MenuGroup::Data, HelpRow::Export,
     "Abrir datos: poblaciones observadas, de un archivo CSV o separado por tabuladores con tres columnas "
     "(tiempo, x, y) y una fila de cabecera con sus nombres; se dibujan como círculos sobre los tres gráficos. "
     "En el menú, «Quitar datos», «Unidad de los datos…» y «Datos de ejemplo»."},
};
// clang-format on

// Each entry where its name puts it, with one key of the two kinds and a help row of its own or
// beside the one above.
constexpr bool wellFormed()
{
    for (std::size_t i = 0; i < std::size(kTable); ++i) {
        const WindowActionEntry &e = kTable[i];
        if (std::size_t(e.id) != i)
            return false;
        if ((e.key == QKeyCombination()) == (e.standardKey == kNoStandardKey))
            return false;
        if ((e.helpRow == HelpRow::WithRowAbove) != (e.help == nullptr) || (i == 0 && e.help == nullptr))
            return false;
    }
    return true;
}
static_assert(std::size(kTable) == kWindowActionCount && wellFormed());

} // namespace

std::span<const WindowActionEntry> windowActionTable()
{
    return kTable;
}

const WindowActionEntry &windowActionEntry(WindowAction id)
{
    return kTable[std::size_t(id)];
}

QKeySequence keyOf(const WindowActionEntry &entry)
{
    return entry.standardKey != kNoStandardKey ? QKeySequence(entry.standardKey) : QKeySequence(entry.key);
}

QList<QKeySequence> keysOf(const WindowActionEntry &entry)
{
    QList<QKeySequence> keys{keyOf(entry)};
    if (entry.secondKey != QKeyCombination())
        keys << QKeySequence(entry.secondKey);
    return keys;
}

QString spanishKeyName(const QKeySequence &key)
{
    if (key.isEmpty())
        return {};
    const QKeyCombination combination = key[0];
    QString name;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        name += QStringLiteral("Control+");
    if (modifiers & Qt::AltModifier)
        name += QStringLiteral("Alt+");
    if (modifiers & Qt::ShiftModifier)
        name += QStringLiteral("Mayús+");
    switch (const Qt::Key k = combination.key()) {
    case Qt::Key_Delete:
        return name + QStringLiteral("Supr");
    case Qt::Key_Escape:
        return name + QStringLiteral("Esc");
    case Qt::Key_Left:
        return name + QStringLiteral("←");
    case Qt::Key_Right:
        return name + QStringLiteral("→");
    case Qt::Key_Up:
        return name + QStringLiteral("↑");
    case Qt::Key_Down:
        return name + QStringLiteral("↓");
    default:
        return name + QKeySequence(k).toString(QKeySequence::PortableText);
    }
}
