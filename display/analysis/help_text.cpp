// The text of the help window. It names every action of the window, the mouse's and the
// keyboard's, and the colours of the analysis overlays. The window's actions list their own keys.
#include "display/analysis/help_window.h"

#include "display/analysis/overlays/overlay_style.h"
#include "display/controls/action_table.h"
#include "display/toolkit/conversions.h"
#include "model/analysis/examples.h"
#include "model/ecology/example_forms.h"

namespace {

// The text with each "{name}" replaced by the key of the window's action of that name.
QString withActionKeys(QString text)
{
    for (const WindowActionEntry &entry : windowActionTable())
        text.replace(u'{' + QString::fromLatin1(entry.name) + u'}', spanishKeyName(keyOf(entry)).toHtmlEscaped());
    return text;
}

// The rows of the window's actions that the help lists in the given table, in the table's order.
QString actionRows(HelpRow table)
{
    QStringList keys;
    QStringList lines;
    bool listing = false;
    for (const WindowActionEntry &entry : windowActionTable()) {
        QStringList named;
        for (const QKeySequence &each : keysOf(entry))
            named << QStringLiteral("<b>%1</b>").arg(spanishKeyName(each).toHtmlEscaped());
        const QString key = named.join(QStringLiteral(", "));
        if (entry.helpRow == HelpRow::WithRowAbove) {
            if (listing)
                keys.last() += QStringLiteral(", ") + key;
            continue;
        }
        listing = entry.helpRow == table;
        if (!listing)
            continue;
        keys << (entry.otherKey ? QStringLiteral("<b>%1</b>, ").arg(QString::fromUtf8(entry.otherKey)) + key : key);
        lines << withActionKeys(QString::fromUtf8(entry.help));
    }
    QString rows;
    for (qsizetype i = 0; i < keys.size(); ++i)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n").arg(keys[i], lines[i]);
    return rows;
}

// "{name}" stands for the key of the window's action of that name; %8 and %9 for the rows of
// the window's actions in the keyboard's table and in the export's.
// clang-format off
const char *const kHelp = R"(
<h2>Ayuda</h2>
<p>El programa dibuja una solución del sistema de Lotka-Volterra autónomo
<i>x' = x (A + B x + C y)</i>, <i>y' = y (D + E x + F y)</i>
en el plano de fases (izquierda) y frente al tiempo (derecha).</p>

<h3>Ratón</h3>
<ul>
<li><b>Plano de fases</b>: pulsar cualquier botón empieza una solución nueva en ese punto.
Con la tecla Mayús pulsada, una coordenada a menos de 0,2 de un eje se coloca sobre el eje.</li>
<li><b>Arrastrar en el plano de fases</b> con un botón pulsado: la solución sigue al puntero (se
calcula de nuevo una vez por cuadro de pantalla) y el punto donde se suelta el botón es el último.</li>
<li><b>Gráficos de x e y frente al tiempo</b>: pulsar con el botón izquierdo, o arrastrar, lleva el
cursor de tiempo a la muestra bajo el puntero; la rueda lo mueve una muestra por paso.</li>
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
<tr><td><b>← → ↑ ↓</b></td><td>en el plano de fases: mover la cruz un píxel (con Control, diez, también
con los máximos y mínimos a la vista).</td></tr>
<tr><td><b>Intro</b>, <b>Espacio</b></td><td>en el plano de fases: empezar una solución en la cruz, como
un clic (con Mayús, cerca de un eje, sobre el eje).</td></tr>
<tr><td><b>← →</b>, <b>Inicio</b>, <b>Fin</b></td><td>en un gráfico de tiempo: mover el cursor de tiempo
una muestra, o a la primera o la última.</td></tr>
<tr><td><b>Re Pág</b>, <b>Av Pág</b></td><td>en un gráfico de tiempo: diez muestras atrás o adelante.</td></tr>
%8
<tr><td><b>Esc</b></td><td>cerrar esta ayuda.</td></tr>
<tr><td><b>Control+C</b></td><td>en la ventana de análisis: copiar las celdas elegidas de la tabla.</td></tr>
<tr><td><b>↑ ↓</b>, <b>Re Pág</b>, <b>Av Pág</b></td><td>en una casilla o un deslizador de la ventana de
análisis: cambiar ese coeficiente.</td></tr>
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
Un centro de este sistema rodea órbitas cerradas. Con un autovalor doble, el nodo es
<i>estrella</i> si toda dirección es propia (la matriz jacobiana es λ I: las trayectorias llegan
o salen en línea recta) y <i>degenerado</i> si solo hay una dirección propia; ambos llevan la
marca de su estabilidad.</li>
<li><b>Campo de direcciones</b>: flechas cortas en %4, todas de la misma longitud: muestran solo
la dirección del movimiento.</li>
<li><b>Escalas</b>: marcas con su número en los ejes del plano de fases y en el eje de valores de
los gráficos de tiempo, en cada unidad en la vista inicial y en pasos redondos (1, 2 o 5 por una
potencia de 10) al acercar; en el eje de tiempo, en múltiplos redondos elegidos según el
intervalo. Un eje fuera de la vista lleva sus números junto al borde más cercano. Se omite el
número que tocaría otro, un eje o el borde.</li>
<li><b>Separatrices</b> (tecla {separatrices}): las variedades de cada punto de silla con |x|, |y| &lt; 20,
esté o no a la vista. La estable, discontinua en %10, es la curva de las trayectorias que llegan al
punto de silla: separa las que acaban en sitios distintos. La inestable, continua en %11, es la de
las que salen de él. Cada rama empieza muy cerca del punto de silla, a lo largo de su vector propio,
y sigue el campo con Runge-Kutta de orden 4 (hacia atrás en el tiempo la estable) en pasos cortos
del plano, hasta salir del cuadrado |x|, |y| &lt; 20, llegar muy cerca de un equilibrio o medir 100
unidades.</li>
<li><b>La vista del plano de fases</b>: <b>Acercar</b> ({acercar}) y <b>Alejar</b> ({alejar})
cambian el tamaño de la vista sobre su centro; la rueda del ratón sobre el plano de fases lo hace
sobre el punto bajo el puntero, que se queda donde está. Mayús y la rueda, y Alt con las flechas,
desplazan la vista una décima parte. <b>Vista inicial</b> ({vistaInicial}) vuelve a la vista de
siempre, y <b>Ajustar a la trayectoria y los equilibrios</b> ({ajustarVista}) muestra la
trayectoria y los puntos de equilibrio. La vista no sale del cuadrado |x|, |y| &lt; 20 y los
gráficos de tiempo siguen sus valores. Al agrandar la ventana, los tres gráficos crecen con ella.
El programa siempre empieza en la vista inicial.</li>
<li><b>Leyenda</b> (tecla {leyenda}): los nombres de los ejes (x e y en el plano de fases; t y el de
la variable, x o y, en los gráficos de tiempo) y, en la esquina del plano de fases donde tapa menos
de lo dibujado, una leyenda de lo que se ve, con su símbolo: la trayectoria, las trayectorias
conservadas, los triángulos de los máximos y mínimos, las dos isoclinas cero, cada tipo de equilibrio y cada separatriz a la vista. Va por encima de los
puntos y también en las imágenes guardadas o copiadas.</li>
<li><b>Cuencas de atracción</b> (tecla {cuencas}): bajo todo lo demás, cada punto del plano de fases
toma un color claro según adónde llega la solución que empieza en él: cada equilibrio estable tiene
el suyo; gris, «Crece sin límite», si la solución crece sin límite (se sigue más allá del cuadrado
|x|, |y| &lt; 20, que solo limita el dibujo); ninguno en las órbitas cerradas alrededor de un centro
(«Órbitas cerradas (sin atractor)» en la leyenda) y donde no llega a nada en el tiempo límite (60
veces el tiempo característico del equilibrio estable más lento). Donde la función de Lyapunov de
Goh demuestra que el equilibrio interior es estable en todo el primer cuadrante, todo él toma su
color, por lenta que sea la espiral. La leyenda nombra cada atractor por sus coordenadas. Se calcula en segundo plano, primero
a grandes rasgos y después punto a punto; mientras tanto, una esquina del plano de fases muestra
«Calculando cuencas… N %».</li>
<li><b>Integral primera / función de Lyapunov</b> (tecla {integralPrimera}): curvas de nivel
discontinuas, una por el punto inicial y otras a niveles regulares. Con B = F = 0 son las de la
integral primera H = D ln x + E x − A ln y − C y, que es constante en cada órbita: las curvas son
las órbitas. Si no, son las de la función de Lyapunov de Goh, solo donde demuestra que el
equilibrio interior es estable en todo el primer cuadrante. La ventana de análisis muestra H con
los coeficientes, cuánto se aparta la trayectoria calculada de su nivel (la exactitud de la
integración), medido respecto del tamaño de los términos de H en el punto inicial, o lo que dice el
criterio de Lyapunov.</li>
<li><b>Reproducir / Pausa</b> (tecla {reproducir}): el cursor de tiempo avanza solo, una muestra
cada vez, hasta la última; al final, otra vez {reproducir} empieza desde la primera. {masRapido} y
{masLento} duplican o reducen a la mitad la velocidad (de 5 a 400 muestras por segundo).</li>
<li><b>Conservar trayectorias</b> (tecla {conservar}): cada cálculo conserva la trayectoria anterior y la
dibuja en un color claro bajo la actual, hasta 50 (se va la más antigua). El cursor de tiempo marca
su muestra en cada una. De un arrastre solo se conserva la trayectoria que había al empezarlo.
<b>Borrar trayectorias</b> ({borrarTrayectorias}) las olvida, y también desactivar la opción.</li>
<li><b>Máximos y mínimos</b> (tecla {extremos}): marca donde x(t) o y(t) tiene un máximo (triángulo hacia
arriba, en %6) o un mínimo (triángulo hacia abajo, en %7), es decir, donde la trayectoria cruza
una isoclina; también en el plano de fases. La ventana de análisis los lista y da el
<b>periodo aproximado</b>: el tiempo medio entre máximos consecutivos de x, cada uno en el instante
en que x' se anula, hallado por bisección sobre la solución integrada. Es un periodo solo si la
órbita se cierra: con B = F = 0, cuando las curvas de nivel de H son cerradas, lo es toda órbita del
primer cuadrante; en otro caso, cuando los máximos consecutivos de x son iguales dentro de un 0,1 %.
Si los máximos bajan (o suben) vuelta tras vuelta, la trayectoria es una espiral y se da el
<b>pseudoperiodo</b> de una oscilación amortiguada (o creciente). Se muestran solo las cifras
seguras, hasta seis: el error se estima por lo que cambia el tiempo de una vuelta al integrarla con
la mitad del paso; si ni la primera lo es (un paso demasiado largo), no se da ningún número. El valor
exacto, en su ayuda emergente.</li>
<li><b>Unir puntos</b> (tecla {unirPuntos}): une con líneas finas las muestras válidas consecutivas de cada
trayectoria, nunca a través de una muestra no válida.</li>
<li><b>Ventana de análisis</b>: los coeficientes y el intervalo de tiempo en vigor y una tabla
con cada equilibrio: x, y, autovalores (los complejos como a ± bi) y tipo. Se actualiza en
cada cálculo. Arriba, cada coeficiente tiene una casilla con su valor exacto y un deslizador en
pasos redondos (1, 2 o 5 por una potencia de 10) que recorre al menos el valor ± el mayor de 1 y
|valor| (al soltarlo, el recorrido se centra en el valor nuevo); las flechas avanzan un paso y
Re Pág y Av Pág cien. Un arrastre conserva solo la trayectoria que había al empezar.
Un cambio en cualquiera de los dos guarda el coeficiente y vuelve a calcular al momento, como el
botón Calcular: la trayectoria, las marcas y las ventanas siguen al deslizador. Un valor escrito
con el clic en la letra se aplica, como siempre, en el siguiente cálculo.</li>
<li><b>Diagrama de bifurcación</b> (tecla {bifurcacion}): la x y la y de cada equilibrio frente al coeficiente
elegido, en su color: trazo continuo si es estable, discontinuo si es inestable, punteado si es
neutral (un centro o un autovalor nulo); una flecha en el borde señala una rama fuera de la vista.
Una marca señala dónde cambia el tipo y una línea vertical el valor actual; si el valor sale del
intervalo, el intervalo se centra en él. Un clic o un arrastre en el diagrama da ese valor al
coeficiente y vuelve a calcular; la rueda amplía el eje de valores. Las casillas «Desde» y «Hasta»
fijan el intervalo de valores del coeficiente, y Control+S guarda el diagrama como imagen.</li>
<li><b>Parámetros ecológicos</b>: el sistema en los parámetros de los libros de ecología, en una
de tres formas, cada una con sus fórmulas (productos y cocientes en este orden):
<table cellspacing="0" cellpadding="3">
<tr><td><b>Competencia</b>: r₁, K₁, α₁₂, r₂, K₂, α₂₁ &gt; 0</td><td>A = r₁, B = −r₁/K₁, C = −r₁α₁₂/K₁,
D = r₂, E = −r₂α₂₁/K₂, F = −r₂/K₂</td></tr>
<tr><td><b>Depredador y presa</b>: r, a, b, m &gt; 0; K &gt; 0 o ∞ (sin límite)</td><td>A = r,
B = −r/K (0 si K = ∞), C = −a, D = −m, E = b, F = 0</td></tr>
<tr><td><b>Mutualismo</b>: r₁, K₁, β₁₂, r₂, K₂, β₂₁ &gt; 0</td><td>A = r₁, B = −r₁/K₁, C = r₁β₁₂/K₁,
D = r₂, E = r₂β₂₁/K₂, F = −r₂/K₂</td></tr>
</table>
En todas, la <b>cosecha</b> proporcional h₁, h₂ ≥ 0 resta h₁ de A y h₂ de D, y se lleva h₁·x y h₂·y por
unidad de tiempo. De los coeficientes se vuelve a la forma cuyos signos tienen; si no tienen los de
ninguna, se dice qué signo falla («Estos coeficientes no tienen la forma de «Competencia»: C debe ser
negativo y es 0,5»). Una frase da el resultado de los libros con los números en vigor, decidido igual
que los tipos de los equilibrios: en la competencia, K₁ frente a K₂/α₂₁ y K₂ frente a K₁/α₁₂ (con
cosecha, las capacidades efectivas K₁(1 − h₁/r₁)…) deciden quién gana, si coexisten o si gana quien
empieza con ventaja; en depredador y presa, los niveles x* = m/b, y* = r/a y si los ciclos son neutros
(sin K) o se amortiguan (K finito; con K ≤ x* el depredador no persiste), y el principio de Volterra
cuando se cosechan las dos especies; en el mutualismo, coexistencia acotada si β₁₂β₂₁ &lt; 1 y
crecimiento sin límite si no. Una cosecha con h ≥ r extingue a esa especie aunque esté sola.</li>
<li><b>Modelos de ejemplo</b>, en el menú: cada uno pone los seis coeficientes, el punto inicial y
el intervalo de tiempo, y calcula.
<ul>%5</ul></li>
<li><b>Datos observados</b> ({abrirDatos}, <b>Abrir datos…</b>): poblaciones medidas, de un archivo de
texto con una fila de cabecera y tres columnas: el tiempo, x e y (los nombres de la cabecera nombran
las especies en la leyenda). Las columnas van separadas por comas, por punto y coma o por tabuladores;
con punto y coma o tabuladores, la coma decimal vale también (la primera que aparece decide, y no se
admiten separadores de miles). Una casilla vacía es una especie que no se observó entonces. Se
rechaza, diciendo el archivo, la línea y por qué: menos de 3 filas o más de 100 000, más de 10 MiB,
un tiempo que no crece, una población negativa o algo que no es un número. Los valores se dividen
entre una potencia de diez, la que deja el mayor por debajo de 20 (la leyenda dice cuál, «unidades
de 10 000 pieles»; <b>Unidad de los datos…</b>, en el menú, la cambia), y los tiempos se cuentan desde
el primero («años desde 1900» en el eje). Abrirlos pone el punto inicial en la primera observación
y el intervalo de modo que la última muestra caiga en la última, y calcula; se deshace de una vez.
Se dibujan como círculos en %12 en los gráficos de tiempo y, unidos por una línea de puntos, en el
plano de fases; van en las imágenes, en el CSV (filas «datos») y en los escenarios.
<b>Quitar datos</b> los quita. <b>Datos de ejemplo</b>, en el menú:
<ul><li><b>Pieles de liebre y lince, 1900–1920</b>: las pieles de liebre americana (x) y de lince
del Canadá (y) que compró la Compañía de la Bahía de Hudson, en miles, según sus registros
tabulados por E. P. Odum en <i>Fundamentals of Ecology</i> (1953), la tabla de tantos libros.</li>
<li><b>Serie sintética del sistema por defecto</b>: el sistema con el que empieza el programa,
desde su punto inicial, observado 21 veces, cada vigésima parte de su intervalo, con un 5 % de
ruido de semilla fija: un ajuste debe recuperar sus coeficientes.</li></ul></li>
</ul>

<h3>Archivos</h3>
<table cellspacing="0" cellpadding="3">
%9
</table>
<p>Un archivo se escribe entero o no se escribe: si falla, el anterior queda como estaba.</p>
)";
// clang-format on

} // namespace

QString helpHtml()
{
    using namespace overlay_style;
    QString examples;
    for (const ExampleSystem &example : exampleSystems())
        examples += QStringLiteral("<li><b>%1</b> (%3): %2</li>")
                        .arg(QString::fromUtf8(example.title).toHtmlEscaped(),
                             withPointsInLocale(QString::fromUtf8(example.description)).toHtmlEscaped(),
                             QString::fromUtf8(exampleFormName(example)).toHtmlEscaped());
    return withActionKeys(QString::fromUtf8(kHelp))
        .arg(QString::fromUtf8(kXNullclineName), QString::fromUtf8(kYNullclineName),
             QString::fromUtf8(kEquilibriumName), QString::fromUtf8(kFieldName), examples,
             QString::fromUtf8(palette::kMaximum.name), QString::fromUtf8(palette::kMinimum.name),
             actionRows(HelpRow::Keyboard), actionRows(HelpRow::Export))
        .arg(QString::fromUtf8(kStableSeparatrixName), QString::fromUtf8(kUnstableSeparatrixName))
        .arg(QString::fromUtf8(palette::kObservation.name));
}
