// The text of the help window. It names every action of the window, the mouse's and the
// keyboard's, and the colours of the analysis overlays.
#include "help_window.h"

#include "overlay_style.h"

namespace {

// clang-format off
const char *const kHelp = R"(
<h2>Ayuda</h2>
<p>El programa dibuja una solución del sistema de Lotka-Volterra autónomo
<i>x' = x (A + B x + C y)</i>, <i>y' = y (D + E x + F y)</i>
en el plano de fases (izquierda) y frente al tiempo (derecha).</p>

<h3>Ratón</h3>
<ul>
<li><b>Plano de fases</b>: pulsar cualquier botón empieza una solución nueva en ese punto.
Con la tecla Mayúsculas pulsada, una coordenada a menos de 0,2 de un eje se coloca sobre el eje.</li>
<li><b>Letras A a F</b> de las ecuaciones: un clic abre un cuadro para escribir el nuevo valor del
parámetro. El color de la letra indica el signo (azul positivo, rojo negativo, verde cero) y,
al dejar el puntero encima, se ve el valor exacto. El valor nuevo se aplica en el siguiente cálculo.</li>
<li><b>Calcular</b>: aplica el intervalo de tiempo (la casilla que sigue a la primera ecuación)
y el punto inicial escrito en las casillas de debajo del plano de fases, y vuelve a calcular.</li>
<li><b>Barra de desplazamiento</b> entre los gráficos de la derecha: es el cursor de tiempo.
Un clic en sus flechas o en la barra, el arrastre y la rueda mueven la muestra resaltada,
cuyos valores t, x e y aparecen en las casillas de la derecha.</li>
<li><b>Botón derecho</b> en cualquier parte de la ventana salvo el plano de fases, las casillas de
texto y la barra: abre el menú de análisis.</li>
<li>Con los puntos de equilibrio a la vista, al dejar el puntero sobre una marca se ven sus
coordenadas, sus autovalores y su tipo.</li>
</ul>

<h3>Teclado</h3>
<table cellspacing="0" cellpadding="3">
<tr><td><b>Tab</b>, <b>Mayús+Tab</b></td><td>pasar al control siguiente o al anterior.</td></tr>
<tr><td><b>Espacio</b>, <b>Intro</b></td><td>sobre una letra A a F: cambiar ese parámetro;
Espacio sobre Calcular: calcular.</td></tr>
<tr><td><b>← →</b></td><td>en la barra: una muestra atrás o adelante.</td></tr>
<tr><td><b>↑ ↓</b>, <b>Re Pág</b>, <b>Av Pág</b></td><td>en la barra: también una muestra.</td></tr>
<tr><td><b>Inicio</b>, <b>Fin</b></td><td>en la barra: la primera o la última muestra.</td></tr>
<tr><td><b>N</b></td><td>Isoclinas cero: mostrar u ocultar.</td></tr>
<tr><td><b>E</b></td><td>Puntos de equilibrio: mostrar u ocultar.</td></tr>
<tr><td><b>D</b></td><td>Campo de direcciones: mostrar u ocultar.</td></tr>
<tr><td><b>S</b></td><td>Escalas: mostrar u ocultar.</td></tr>
<tr><td><b>A</b></td><td>abrir la ventana de análisis.</td></tr>
<tr><td><b>F1</b></td><td>abrir esta ayuda.</td></tr>
<tr><td><b>Tecla de menú</b>, <b>Mayús+F10</b></td><td>abrir el menú de análisis (en una casilla de
texto, su propio menú).</td></tr>
<tr><td><b>Control+C</b></td><td>en la ventana de análisis: copiar las celdas elegidas de la tabla.</td></tr>
</table>
<p>Las teclas de letra actúan cuando el foco no está en una casilla de texto; en una casilla
escriben la letra.</p>

<h3>Análisis</h3>
<p>Todas las opciones empiezan desactivadas y no se recuerdan de una vez a otra. Describen el
sistema de la trayectoria dibujada: un parámetro cambiado se aplica, junto con la trayectoria,
en el siguiente cálculo.</p>
<ul>
<li><b>Isoclinas cero</b>: la recta x' = 0 (A + B x + C y = 0) en %1 y la recta y' = 0
(D + E x + F y = 0) en %2. Los ejes x = 0 e y = 0 también son isoclinas; ya están dibujados.</li>
<li><b>Puntos de equilibrio</b>, en %3: un círculo relleno si es estable, un círculo vacío si es
inestable, un aspa si es un punto de silla, un rombo si es un centro y un cuadrado si la
linealización no decide (no hiperbólico). Una recta de equilibrios se dibuja como una banda.
Un centro de este sistema rodea órbitas cerradas.</li>
<li><b>Campo de direcciones</b>: flechas cortas en %4, todas de la misma longitud: muestran solo
la dirección del movimiento.</li>
<li><b>Escalas</b>: marcas con su número en cada unidad de 0 a 10 en los ejes del plano de fases y
en el eje de valores de los gráficos de tiempo; en el eje de tiempo, en múltiplos redondos
(1, 2 o 5 por una potencia de 10) elegidos según el intervalo.</li>
<li><b>Ventana de análisis</b>: los coeficientes y el intervalo de tiempo en vigor y una tabla
con cada equilibrio: x, y, autovalores (los complejos como a ± bi) y tipo. Se actualiza en
cada cálculo.</li>
</ul>

<h3>Exportar</h3>
<table cellspacing="0" cellpadding="3">
<tr><td><b>Control+S</b></td><td>Guardar imagen: los tres gráficos tal como se ven, en PNG o, como
vectores, en SVG (según la extensión del nombre).</td></tr>
<tr><td><b>Control+E</b></td><td>Exportar datos (CSV): cada muestra de la trayectoria actual y de
las conservadas, con sus coeficientes, para una hoja de cálculo.</td></tr>
<tr><td><b>Control+Mayús+C</b></td><td>Copiar datos: t, x e y de las muestras válidas de la
trayectoria actual, separados por tabuladores.</td></tr>
<tr><td><b>Control+Mayús+I</b></td><td>Copiar imagen: los tres gráficos al portapapeles.</td></tr>
</table>
<p>Un archivo se escribe entero o no se escribe: si falla, el anterior queda como estaba.</p>
)";
// clang-format on

} // namespace

QString helpHtml()
{
    using namespace overlay_style;
    return QString::fromUtf8(kHelp).arg(QString::fromUtf8(kXNullclineName), QString::fromUtf8(kYNullclineName),
                                        QString::fromUtf8(kEquilibriumName), QString::fromUtf8(kFieldName));
}
