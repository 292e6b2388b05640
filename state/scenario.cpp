#include "state/scenario.h"

#include "model/ecology/ecological_form.h"
#include "model/model.h"
#include "model/sample_array.h"
#include "state/readable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>
#include <tuple>
#include <utility>

namespace {

using Option = ExplorerState::Option;

// The one table of the options' names in a file: the objectNames of their actions.
struct OptionName {
    Option option;
    const char *name;
};
constexpr OptionName kOptionNames[] = {
    {Option::KeepTrajectories, "conservar"}, {Option::TurningPoints, "extremos"},
    {Option::JoinSamples, "unirPuntos"},     {Option::Nullclines, "isoclinas"},
    {Option::Equilibria, "equilibrios"},     {Option::DirectionField, "campo"},
    {Option::Scales, "escalas"},             {Option::Legend, "leyenda"},
    {Option::Separatrices, "separatrices"},  {Option::LevelCurves, "integralPrimera"},
    {Option::Basins, "cuencas"},
};
static_assert(std::size(kOptionNames) == ExplorerState::kOptionCount);

constexpr const char *kLetters[] = {"A", "B", "C", "D", "E", "F"};

// ---- Writing ----

void appendNumber(QByteArray &out, double value)
{
    if (value == 0 && std::signbit(value)) {
        out += "\"-0\"";
        return;
    }
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    out.append(text, written.ptr - text);
}

void appendCoefficients(QByteArray &out, const Coefficients &k)
{
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    out += '{';
    for (int i = 0; i < 6; ++i) {
        out += i == 0 ? "\"" : ", \"";
        out += kLetters[i];
        out += "\": ";
        appendNumber(out, values[i]);
    }
    out += '}';
}

// The form and, where there are some, its parameters by id.
void appendEcology(QByteArray &out, EcologicalForm form, const std::optional<EcologicalParameters> &p)
{
    out += "{\"forma\": \"";
    out += scenario::formKey(form);
    out += '"';
    if (p) {
        out += ", \"parametros\": {";
        const auto list = parametersOf(p->form);
        for (std::size_t i = 0; i < list.size(); ++i) {
            out += i == 0 ? "\"" : ", \"";
            out += list[i].id;
            out += "\": ";
            if (std::isinf(p->values[i]))
                out += "\"inf\"";
            else
                appendNumber(out, p->values[i]);
        }
        out += '}';
    }
    out += '}';
}

void appendPoint(QByteArray &out, double x, double y)
{
    out += "{\"x\": ";
    appendNumber(out, x);
    out += ", \"y\": ";
    appendNumber(out, y);
    out += '}';
}

// The observations as the key "datos": names, times, values (null where not observed), unit and
// offset, one list per line.
void appendData(QByteArray &out, const Scenario::Data &data)
{
    const Observations &o = data.observed;
    QJsonArray names;
    for (const std::string *name : {&o.timeName, &o.xName, &o.yName})
        names.append(QString::fromStdString(*name));
    out += ",\n  \"datos\": {\"nombres\": ";
    out += QJsonDocument(names).toJson(QJsonDocument::Compact);
    out += ",\n    \"tiempos\": [";
    for (std::size_t i = 0; i < o.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendNumber(out, o.times[i]);
    }
    for (const auto &[key, values] : {std::pair{"x", &o.xs}, std::pair{"y", &o.ys}}) {
        out += "],\n    \"";
        out += key;
        out += "\": [";
        for (std::size_t i = 0; i < values->size(); ++i) {
            if (i > 0)
                out += ", ";
            if (const std::optional<double> &v = (*values)[i])
                appendNumber(out, *v);
            else
                out += "null";
        }
    }
    out += "],\n    \"unidad\": " + QByteArray::number(data.unit.exponent);
    out += ", \"desplazamiento\": ";
    appendNumber(out, data.timeOffset);
    out += '}';
}

// ---- Reading ----

// The Spanish words for what QJsonParseError found.
QString parseFault(QJsonParseError::ParseError error)
{
    switch (error) {
    case QJsonParseError::UnterminatedObject: return QStringLiteral("un objeto sin cerrar");
    case QJsonParseError::MissingNameSeparator: return QStringLiteral("falta «:» tras un nombre");
    case QJsonParseError::UnterminatedArray: return QStringLiteral("una lista sin cerrar");
    case QJsonParseError::MissingValueSeparator: return QStringLiteral("falta «,» entre dos valores");
    case QJsonParseError::IllegalValue: return QStringLiteral("un valor no válido");
    case QJsonParseError::TerminationByNumber: return QStringLiteral("el texto acaba en un número");
    case QJsonParseError::IllegalNumber: return QStringLiteral("un número no válido o fuera de rango");
    case QJsonParseError::IllegalEscapeSequence: return QStringLiteral("una secuencia de escape no válida");
    case QJsonParseError::IllegalUTF8String: return QStringLiteral("un texto que no es UTF-8 válido");
    case QJsonParseError::UnterminatedString: return QStringLiteral("un texto sin cerrar");
    case QJsonParseError::MissingObject: return QStringLiteral("no empieza por un objeto");
    case QJsonParseError::DeepNesting: return QStringLiteral("demasiados niveles anidados");
    case QJsonParseError::DocumentTooLarge: return QStringLiteral("el documento es demasiado grande");
    case QJsonParseError::GarbageAtEnd: return QStringLiteral("hay texto tras el final");
    case QJsonParseError::NoError: break;
    }
    return QStringLiteral("un error de sintaxis");
}

// The line and column (from 1, in characters) of a byte offset into UTF-8 text.
std::pair<int, int> lineAndColumn(const QByteArray &text, qsizetype offset)
{
    int line = 1, column = 1;
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    for (qsizetype i = 0; i < offset; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++line;
            column = 1;
        } else if ((byte & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column};
}

// Reads the fields of the document, keeping the first fault it meets.
class FieldReader {
public:
    std::optional<QString> fault;

    void fail(const QString &why)
    {
        if (!fault)
            fault = why;
    }

    QJsonObject object(const QJsonObject &in, const QString &key, const QString &path)
    {
        const QJsonValue v = in.value(key);
        if (!v.isObject())
            fail(v.isUndefined() ? QStringLiteral("falta «%1»").arg(path)
                                 : QStringLiteral("«%1» no es un objeto").arg(path));
        return v.toObject();
    }

    double number(const QJsonObject &in, const QString &key, const QString &path)
    {
        const QJsonValue v = in.value(key);
        if (v.isString() && v.toString() == QLatin1String("-0"))
            return -0.0;
        if (v.isUndefined()) {
            fail(QStringLiteral("falta el número «%1»").arg(path));
            return 0;
        }
        if (!v.isDouble()) {
            fail(QStringLiteral("«%1» no es un número").arg(path));
            return 0;
        }
        const double value = v.toDouble();
        if (!std::isfinite(value)) {
            fail(QStringLiteral("«%1» no es un número finito").arg(path));
            return 0;
        }
        return value;
    }

    // A whole number within [min, max].
    int whole(const QJsonObject &in, const QString &key, const QString &path, int min, int max)
    {
        const double value = number(in, key, path);
        if (fault)
            return min;
        if (value != std::trunc(value) || value < min || value > max) {
            fail(QStringLiteral("«%1» debe ser un número entero de %2 a %3 (es %4)")
                     .arg(path).arg(min).arg(max).arg(value, 0, 'g', 17));
            return min;
        }
        return int(value);
    }

    bool boolean(const QJsonObject &in, const QString &key, const QString &path)
    {
        const QJsonValue v = in.value(key);
        if (!v.isBool())
            fail(v.isUndefined() ? QStringLiteral("falta «%1»").arg(path)
                                 : QStringLiteral("«%1» debe ser true o false").arg(path));
        return v.toBool();
    }

    // A span the window would take: its dt = span / 100 is a positive normal double.
    double span(const QJsonObject &in, const QString &key, const QString &path)
    {
        const double value = number(in, key, path);
        if (!fault && !(value > 0))
            fail(QStringLiteral("el intervalo de tiempo «%1» debe ser mayor que 0 (es %2)")
                     .arg(path).arg(value, 0, 'g', 17));
        else if (!fault && !Model::isUsableSpan(value))
            fail(QStringLiteral("el intervalo de tiempo «%1» es demasiado pequeño: su centésima "
                                "parte no es un número normal (es %2)")
                     .arg(path).arg(value, 0, 'g', 17));
        return value;
    }

    Coefficients coefficients(const QJsonObject &in, const QString &key, const QString &path)
    {
        const QJsonObject o = object(in, key, path);
        double values[6] = {};
        for (int i = 0; i < 6 && !fault; ++i) {
            const QString letter = QLatin1String(kLetters[i]);
            values[i] = number(o, letter, path + u'.' + letter);
        }
        return {values[0], values[1], values[2], values[3], values[4], values[5]};
    }

    std::pair<double, double> point(const QJsonObject &in, const QString &key, const QString &path)
    {
        const QJsonObject o = object(in, key, path);
        if (fault)
            return {0, 0};
        const double x = number(o, QStringLiteral("x"), path + QStringLiteral(".x"));
        const double y = number(o, QStringLiteral("y"), path + QStringLiteral(".y"));
        return {x, y};
    }
};

QString refusal(const QString &fileName, const QString &why)
{
    return QStringLiteral("No se puede abrir el escenario «%1»: %2.").arg(fileName, why);
}

} // namespace

namespace {

constexpr const char *kFormKeys[] = {"competencia", "depredadorYPresa", "mutualismo"};
static_assert(std::size(kFormKeys) == kFormCount);

} // namespace

const char *scenario::formKey(EcologicalForm form)
{
    return kFormKeys[std::clamp(int(form), 0, kFormCount - 1)];
}

std::optional<EcologicalForm> scenario::formByKey(QStringView name)
{
    for (int form = 0; form < kFormCount; ++form)
        if (name == QLatin1String(kFormKeys[form]))
            return EcologicalForm(form);
    return std::nullopt;
}

const char *scenario::optionName(ExplorerState::Option option)
{
    for (const OptionName &entry : kOptionNames)
        if (entry.option == option)
            return entry.name;
    return "";
}

int scenario::optionByName(QStringView name)
{
    for (const OptionName &entry : kOptionNames)
        if (name == QLatin1String(entry.name))
            return int(entry.option);
    return -1;
}

namespace {

struct CornerName {
    LegendCorner corner;
    const char *name;
};
constexpr CornerName kCornerNames[] = {{LegendCorner::TopRight, "arribaDerecha"},
                                       {LegendCorner::TopLeft, "arribaIzquierda"},
                                       {LegendCorner::BottomRight, "abajoDerecha"},
                                       {LegendCorner::BottomLeft, "abajoIzquierda"}};

} // namespace

const char *scenario::cornerName(LegendCorner corner)
{
    for (const CornerName &entry : kCornerNames)
        if (entry.corner == corner)
            return entry.name;
    return "";
}

std::optional<LegendCorner> scenario::cornerByName(QStringView name)
{
    for (const CornerName &entry : kCornerNames)
        if (name == QLatin1String(entry.name))
            return entry.corner;
    return std::nullopt;
}

QByteArray scenarioToJson(const Scenario &s)
{
    QByteArray out;
    out += "{\n  \"formato\": \"";
    out.append(scenario::kFormat.data(), qsizetype(scenario::kFormat.size()));
    out += "\",\n  \"version\": " + QByteArray::number(scenario::kVersion);
    out += ",\n  \"coeficientes\": ";
    appendCoefficients(out, s.coefficients);
    out += ",\n  \"puntoInicial\": ";
    appendPoint(out, s.x0, s.y0);
    out += ",\n  \"intervalo\": ";
    appendNumber(out, s.span);
    if (s.trajectoryCoefficients || s.trajectorySpan) {
        out += ",\n  \"trayectoria\": {\"coeficientes\": ";
        appendCoefficients(out, s.trajectoryCoefficients.value_or(s.coefficients));
        out += ", \"intervalo\": ";
        appendNumber(out, s.trajectorySpan.value_or(s.span));
        out += '}';
    }
    out += ",\n  \"cursor\": " + QByteArray::number(s.cursor);
    out += ",\n  \"opciones\": [";
    bool first = true;
    for (const OptionName &entry : kOptionNames) {
        if (!s.options[std::size_t(entry.option)])
            continue;
        out += first ? "\"" : ", \"";
        out += entry.name;
        out += '"';
        first = false;
    }
    out += "],\n  \"vista\": {\"izquierda\": ";
    appendNumber(out, s.view.left);
    out += ", \"abajo\": ";
    appendNumber(out, s.view.bottom);
    out += ", \"lado\": ";
    appendNumber(out, s.view.side);
    out += '}';
    if (s.legendCorner) {
        out += ",\n  \"esquinaLeyenda\": \"";
        out += scenario::cornerName(*s.legendCorner);
        out += '"';
    }
    out += ",\n  \"coeficientesEnVivo\": ";
    out += s.liveCoefficients ? "true" : "false";
    out += ",\n  \"diagrama\": {\"abierto\": ";
    out += s.diagram.open ? "true" : "false";
    out += ", \"coeficiente\": \"";
    out += kLetters[std::clamp(s.diagram.coefficient, 0, 5)];
    out += "\", \"desde\": ";
    appendNumber(out, s.diagram.from);
    out += ", \"hasta\": ";
    appendNumber(out, s.diagram.to);
    if (!s.diagram.parameter.isEmpty()) {
        out += ", \"parametro\": \"";
        out += s.diagram.parameter.toLatin1();   // an id of parametersOf: ASCII, no quotes
        out += '"';
    }
    out += '}';
    out += ",\n  \"mapa\": {\"abierto\": ";
    out += s.regimeMap.open ? "true" : "false";
    out += ", \"ejeHorizontal\": \"";
    out += kLetters[std::clamp(s.regimeMap.horizontal, 0, 5)];
    out += "\", \"ejeVertical\": \"";
    out += kLetters[std::clamp(s.regimeMap.vertical, 0, 5)];
    out += "\", \"desdeH\": ";
    appendNumber(out, s.regimeMap.fromH);
    out += ", \"hastaH\": ";
    appendNumber(out, s.regimeMap.toH);
    out += ", \"desdeV\": ";
    appendNumber(out, s.regimeMap.fromV);
    out += ", \"hastaV\": ";
    appendNumber(out, s.regimeMap.toV);
    if (!s.regimeMap.parameterH.isEmpty() && !s.regimeMap.parameterV.isEmpty()) {
        // Ids of parametersOf: ASCII, no quotes.
        out += ", \"parametroH\": \"";
        out += s.regimeMap.parameterH.toLatin1();
        out += "\", \"parametroV\": \"";
        out += s.regimeMap.parameterV.toLatin1();
        out += '"';
    }
    out += '}';
    if (s.ecologicalForm) {
        out += ",\n  \"formaEcologica\": ";
        appendEcology(out, *s.ecologicalForm, s.ecology);
    }
    if (s.data)
        appendData(out, *s.data);
    out += ",\n  \"trayectoriasConservadas\": [";
    for (std::size_t i = 0; i < s.kept.size(); ++i) {
        const Scenario::TrajectoryInputs &t = s.kept[i];
        out += i == 0 ? "\n    {\"puntoInicial\": " : ",\n    {\"puntoInicial\": ";
        appendPoint(out, t.x0, t.y0);
        out += ", \"coeficientes\": ";
        appendCoefficients(out, t.coefficients);
        out += ", \"intervalo\": ";
        appendNumber(out, t.span);
        out += '}';
    }
    out += s.kept.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

namespace {

// A list of the key "datos", of as many entries as its times where `rows` is given; nothing, and
// the fault, where it is no list or too long.
std::optional<QJsonArray> dataList(FieldReader &read, const QJsonObject &data, const char *key,
                                   std::optional<qsizetype> rows)
{
    const QString path = QStringLiteral("datos.") + QLatin1String(key);
    const QJsonValue v = data.value(QLatin1String(key));
    if (!v.isArray()) {
        read.fail(QStringLiteral("«%1» debe ser una lista").arg(path));
        return std::nullopt;
    }
    QJsonArray list = v.toArray();
    if (!rows && (std::size_t(list.size()) < observations::kMinRows || std::size_t(list.size()) > observations::kMaxRows)) {
        read.fail(QStringLiteral("«%1» debe tener de %2 a %3 tiempos (tiene %4)")
                      .arg(path)
                      .arg(observations::kMinRows)
                      .arg(observations::kMaxRows)
                      .arg(list.size()));
        return std::nullopt;
    }
    if (rows && list.size() != *rows) {
        read.fail(QStringLiteral("«%1» debe tener un valor por tiempo (%2, no %3)").arg(path).arg(*rows).arg(list.size()));
        return std::nullopt;
    }
    return list;
}

// An entry of such a list: a finite number, -0 as "-0"; null where missing is allowed.
std::optional<double> dataNumber(FieldReader &read, const QJsonValue &v, const QString &path, bool nullable)
{
    if (nullable && v.isNull())
        return std::nullopt;
    if (v.isString() && v.toString() == QLatin1String("-0"))
        return -0.0;
    if (!v.isDouble() || !std::isfinite(v.toDouble())) {
        read.fail(QStringLiteral("«%1» debe ser un número finito%2").arg(path, nullable ? QStringLiteral(" o null") : QString()));
        return std::nullopt;
    }
    return v.toDouble();
}

// The observations the key "datos" holds, held to what a data file may hold.
std::optional<Scenario::Data> readData(FieldReader &read, const QJsonObject &data)
{
    if (read.fault)
        return std::nullopt;
    Scenario::Data d;
    Observations &o = d.observed;
    const QJsonValue names = data.value(QLatin1String("nombres"));
    const QJsonArray nameList = names.toArray();
    if (!names.isArray() || nameList.size() != 3 || !nameList[0].isString() || !nameList[1].isString()
        || !nameList[2].isString()) {
        read.fail(QStringLiteral("«datos.nombres» debe ser una lista de tres textos"));
        return std::nullopt;
    }
    o.timeName = nameList[0].toString().toStdString();
    o.xName = nameList[1].toString().toStdString();
    o.yName = nameList[2].toString().toStdString();
    const std::optional<QJsonArray> times = dataList(read, data, "tiempos", std::nullopt);
    if (!times)
        return std::nullopt;
    const std::optional<QJsonArray> xs = dataList(read, data, "x", times->size());
    const std::optional<QJsonArray> ys = xs ? dataList(read, data, "y", times->size()) : std::nullopt;
    if (!ys)
        return std::nullopt;
    bool observed = false;
    for (qsizetype i = 0; i < times->size() && !read.fault; ++i) {
        const std::optional<double> t = dataNumber(read, (*times)[i], QStringLiteral("datos.tiempos[%1]").arg(i), false);
        if (t && !o.times.empty() && !(*t > o.times.back()))
            read.fail(QStringLiteral("«datos.tiempos[%1]» debe ser mayor que el tiempo anterior").arg(i));
        o.times.push_back(t.value_or(0));
        for (const auto &[list, values, key] :
             {std::tuple{&*xs, &o.xs, "x"}, std::tuple{&*ys, &o.ys, "y"}}) {
            const QString path = QStringLiteral("datos.%1[%2]").arg(QLatin1String(key)).arg(i);
            const std::optional<double> v = dataNumber(read, (*list)[i], path, true);
            if (v && *v < 0)
                read.fail(QStringLiteral("«%1» es una población negativa").arg(path));
            observed = observed || v.has_value();
            values->push_back(v);
        }
    }
    if (!read.fault && !observed)
        read.fail(QStringLiteral("«datos» no tiene ninguna población observada"));
    d.unit.exponent = read.whole(data, QStringLiteral("unidad"), QStringLiteral("datos.unidad"),
                                 ObservationUnit::kMinUnitExponent, ObservationUnit::kMaxUnitExponent);
    d.timeOffset = read.number(data, QStringLiteral("desplazamiento"), QStringLiteral("datos.desplazamiento"));
    if (read.fault)
        return std::nullopt;
    const std::optional<ScaledObservations> scaled = inProgramUnits(o, d.unit);
    if (!scaled) {
        read.fail(QStringLiteral("en la unidad de «datos.unidad» algún valor de «datos» no es un número finito"));
        return std::nullopt;
    }
    if (scaled->timeOffset != d.timeOffset) {
        read.fail(QStringLiteral("«datos.desplazamiento» debe ser el primer tiempo de «datos.tiempos»"));
        return std::nullopt;
    }
    for (std::size_t i = 1; i < scaled->series.size(); ++i)
        if (!(scaled->series.times[i] > scaled->series.times[i - 1]) || !std::isfinite(scaled->series.times[i])) {
            read.fail(QStringLiteral("«datos.tiempos» están tan lejos del primero que dejan de crecer al restarlo"));
            return std::nullopt;
        }
    return d;
}

} // namespace

std::variant<Scenario, QString> scenarioFromJson(const QByteArray &json, const QString &fileName)
{
    if (json.size() > scenario::kMaxFileBytes)
        return refusal(fileName, QStringLiteral("ocupa más de %1 MiB").arg(scenario::kMaxFileBytes >> 20));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        const auto [line, column] = lineAndColumn(json, error.offset);
        return refusal(fileName, QStringLiteral("no es JSON válido: %1 en la línea %2, columna %3")
                                     .arg(parseFault(error.error)).arg(line).arg(column));
    }
    if (!document.isObject())
        return refusal(fileName, QStringLiteral("no es un objeto JSON"));
    const QJsonObject root = document.object();

    const QJsonValue format = root.value(QLatin1String("formato"));
    const QLatin1String expected(scenario::kFormat.data(), qsizetype(scenario::kFormat.size()));
    if (!format.isString() || format.toString() != expected)
        return refusal(fileName,
                       format.isString()
                           ? QStringLiteral("es de otro formato («%1», no «%2»)").arg(format.toString(), expected)
                           : QStringLiteral("no dice su formato («formato»: «%1»)").arg(expected));

    FieldReader read;
    const QJsonValue versionValue = root.value(QLatin1String("version"));
    const double version = versionValue.toDouble(-1);
    if (!versionValue.isDouble() || version != std::trunc(version) || version < 1)
        return refusal(fileName, QStringLiteral("«version» debe ser un número entero desde 1"));
    if (version > scenario::kVersion)
        return refusal(fileName, QStringLiteral("es de una versión más reciente (%1) que la que este programa sabe "
                                                "leer (%2)")
                                     .arg(version, 0, 'g', 17).arg(scenario::kVersion));

    Scenario s;
    s.coefficients = read.coefficients(root, QStringLiteral("coeficientes"), QStringLiteral("coeficientes"));
    std::tie(s.x0, s.y0) = read.point(root, QStringLiteral("puntoInicial"), QStringLiteral("puntoInicial"));
    s.span = read.span(root, QStringLiteral("intervalo"), QStringLiteral("intervalo"));
    // Absent when the trajectory was computed with the coefficients and span above.
    if (root.contains(QLatin1String("trayectoria"))) {
        const QJsonObject shown = read.object(root, QStringLiteral("trayectoria"), QStringLiteral("trayectoria"));
        if (!read.fault) {
            s.trajectoryCoefficients =
                read.coefficients(shown, QStringLiteral("coeficientes"), QStringLiteral("trayectoria.coeficientes"));
            s.trajectorySpan = read.span(shown, QStringLiteral("intervalo"), QStringLiteral("trayectoria.intervalo"));
        }
    }
    s.cursor = read.whole(root, QStringLiteral("cursor"), QStringLiteral("cursor"), kFirstSample, kLastSample);

    const QJsonValue options = root.value(QLatin1String("opciones"));
    if (!options.isArray())
        read.fail(QStringLiteral("falta la lista «opciones»"));
    for (const QJsonValue &name : options.toArray()) {
        const int option = scenario::optionByName(name.toString());
        if (option < 0) {
            const QString shown = name.isString() ? name.toString() : QStringLiteral("?");
            read.fail(QStringLiteral("no conoce la opción «%1»").arg(shown));
            break;
        }
        s.options[std::size_t(option)] = true;
    }

    const QJsonObject view = read.object(root, QStringLiteral("vista"), QStringLiteral("vista"));
    if (!read.fault) {
        const double left = read.number(view, QStringLiteral("izquierda"), QStringLiteral("vista.izquierda"));
        const double bottom = read.number(view, QStringLiteral("abajo"), QStringLiteral("vista.abajo"));
        const double side = read.number(view, QStringLiteral("lado"), QStringLiteral("vista.lado"));
        s.view = plane_view::clamped({left, bottom, side});
    }

    // Written only where the user put the legend.
    if (const QJsonValue corner = root.value(QLatin1String("esquinaLeyenda")); !corner.isUndefined() && !read.fault) {
        s.legendCorner = scenario::cornerByName(corner.toString());
        if (!s.legendCorner)
            read.fail(QStringLiteral("«esquinaLeyenda» debe ser arribaDerecha, arribaIzquierda, abajoDerecha o abajoIzquierda"));
    }
    s.liveCoefficients = read.boolean(root, QStringLiteral("coeficientesEnVivo"), QStringLiteral("coeficientesEnVivo"));
    const QJsonObject diagram = read.object(root, QStringLiteral("diagrama"), QStringLiteral("diagrama"));
    if (!read.fault) {
        s.diagram.open = read.boolean(diagram, QStringLiteral("abierto"), QStringLiteral("diagrama.abierto"));
        const QString letter = diagram.value(QLatin1String("coeficiente")).toString();
        s.diagram.coefficient = -1;
        for (int i = 0; i < 6; ++i)
            if (letter == QLatin1String(kLetters[i]))
                s.diagram.coefficient = i;
        if (s.diagram.coefficient < 0)
            read.fail(QStringLiteral("«diagrama.coeficiente» debe ser una letra de A a F"));
        s.diagram.from = read.number(diagram, QStringLiteral("desde"), QStringLiteral("diagrama.desde"));
        s.diagram.to = read.number(diagram, QStringLiteral("hasta"), QStringLiteral("diagrama.hasta"));
        if (!read.fault && !(s.diagram.from < s.diagram.to))
            read.fail(QStringLiteral("«diagrama.desde» debe ser menor que «diagrama.hasta»"));
        // Optional: the id of a parameter of some ecological form.
        if (const QJsonValue parameter = diagram.value(QLatin1String("parametro")); !parameter.isUndefined() && !read.fault) {
            s.diagram.parameter = parameter.toString();
            bool known = false;
            for (int form = 0; form < kFormCount; ++form)
                for (const EcologicalParameter &p : parametersOf(static_cast<EcologicalForm>(form)))
                    known = known || s.diagram.parameter == QLatin1String(p.id);
            if (!known)
                read.fail(QStringLiteral("«diagrama.parametro» debe ser un parámetro ecológico, como «K2»"));
        }
    }

    // Absent from files written before the map: it stays closed then.
    if (root.contains(QLatin1String("mapa")) && !read.fault) {
        const QJsonObject map = read.object(root, QStringLiteral("mapa"), QStringLiteral("mapa"));
        Scenario::RegimeMap &m = s.regimeMap;
        if (!read.fault)
            m.open = read.boolean(map, QStringLiteral("abierto"), QStringLiteral("mapa.abierto"));
        const auto letterOf = [&map](const char *key) {
            const QString letter = map.value(QLatin1String(key)).toString();
            for (int i = 0; i < 6; ++i)
                if (letter == QLatin1String(kLetters[i]))
                    return i;
            return -1;
        };
        m.horizontal = letterOf("ejeHorizontal");
        m.vertical = letterOf("ejeVertical");
        if (!read.fault && (m.horizontal < 0 || m.vertical < 0 || m.horizontal == m.vertical))
            read.fail(QStringLiteral("«mapa.ejeHorizontal» y «mapa.ejeVertical» deben ser dos letras distintas de A a F"));
        if (!read.fault) {
            m.fromH = read.number(map, QStringLiteral("desdeH"), QStringLiteral("mapa.desdeH"));
            m.toH = read.number(map, QStringLiteral("hastaH"), QStringLiteral("mapa.hastaH"));
            m.fromV = read.number(map, QStringLiteral("desdeV"), QStringLiteral("mapa.desdeV"));
            m.toV = read.number(map, QStringLiteral("hastaV"), QStringLiteral("mapa.hastaV"));
        }
        if (!read.fault && !(m.fromH < m.toH))
            read.fail(QStringLiteral("«mapa.desdeH» debe ser menor que «mapa.hastaH»"));
        if (!read.fault && !(m.fromV < m.toV))
            read.fail(QStringLiteral("«mapa.desdeV» debe ser menor que «mapa.hastaV»"));
        // Optional, both or neither: the ids of two different parameters of one ecological form.
        const QJsonValue parameterH = map.value(QLatin1String("parametroH")), parameterV = map.value(QLatin1String("parametroV"));
        if (!read.fault && (!parameterH.isUndefined() || !parameterV.isUndefined())) {
            m.parameterH = parameterH.toString();
            m.parameterV = parameterV.toString();
            bool known = false;
            for (int form = 0; form < kFormCount; ++form) {
                EcologicalParameters p{static_cast<EcologicalForm>(form), {}};
                const int h = p.indexOf(m.parameterH.toStdString()), v = p.indexOf(m.parameterV.toStdString());
                known = known || (h >= 0 && v >= 0 && h != v);
            }
            if (!known)
                read.fail(QStringLiteral("«mapa.parametroH» y «mapa.parametroV» deben ser dos parámetros distintos de "
                                         "una forma ecológica, como «alfa12» y «alfa21»"));
        }
    }

    // Absent from files written before the forms: the form the coefficients fit is shown then.
    if (root.contains(QLatin1String("formaEcologica")) && !read.fault) {
        const QJsonObject ecology = read.object(root, QStringLiteral("formaEcologica"), QStringLiteral("formaEcologica"));
        s.ecologicalForm = scenario::formByKey(ecology.value(QLatin1String("forma")).toString());
        if (!read.fault && !s.ecologicalForm)
            read.fail(QStringLiteral("«formaEcologica.forma» debe ser competencia, depredadorYPresa o mutualismo"));
        if (!read.fault && ecology.contains(QLatin1String("parametros"))) {
            const QJsonObject values =
                read.object(ecology, QStringLiteral("parametros"), QStringLiteral("formaEcologica.parametros"));
            EcologicalParameters p{*s.ecologicalForm, {}};
            const auto list = parametersOf(p.form);
            for (std::size_t i = 0; i < list.size() && !read.fault; ++i) {
                const QString id = QLatin1String(list[i].id);
                const QString path = QStringLiteral("formaEcologica.parametros.") + id;
                const QJsonValue v = values.value(id);
                p.values[i] = list[i].domain == ParameterDomain::PositiveOrInfinite && v.isString()
                                      && v.toString() == QLatin1String("inf")
                                  ? HUGE_VAL
                                  : read.number(values, id, path);
                if (!read.fault && !fitsDomain(p.values[i], list[i].domain))
                    read.fail(QStringLiteral("«%1» debe ser %2 (es %3)")
                                  .arg(path,
                                       list[i].domain == ParameterDomain::NonNegative ? QStringLiteral("mayor o igual que 0")
                                                                                      : QStringLiteral("mayor que 0"))
                                  .arg(p.values[i], 0, 'g', 17));
            }
            if (!read.fault && !bitIdentical(coefficientsOf(p), s.coefficients))
                read.fail(QStringLiteral("«formaEcologica.parametros» no dan los coeficientes de «coeficientes»"));
            s.ecology = p;
        }
    }

    if (root.contains(QLatin1String("datos")) && !read.fault)
        s.data = readData(read, read.object(root, QStringLiteral("datos"), QStringLiteral("datos")));

    const QJsonValue kept = root.value(QLatin1String("trayectoriasConservadas"));
    if (!kept.isArray())
        read.fail(QStringLiteral("falta la lista «trayectoriasConservadas»"));
    const QJsonArray keptList = kept.toArray();
    if (std::size_t(keptList.size()) > ExplorerState::kMaxKept)
        read.fail(QStringLiteral("conserva %1 trayectorias, y caben %2").arg(keptList.size()).arg(ExplorerState::kMaxKept));
    if (!keptList.isEmpty() && !s.options[std::size_t(Option::KeepTrajectories)])
        read.fail(QStringLiteral("conserva trayectorias sin la opción «conservar»"));
    for (qsizetype i = 0; i < keptList.size() && !read.fault; ++i) {
        const QString path = QStringLiteral("trayectoriasConservadas[%1]").arg(i);
        if (!keptList[i].isObject()) {
            read.fail(QStringLiteral("«%1» no es un objeto").arg(path));
            break;
        }
        const QJsonObject t = keptList[i].toObject();
        Scenario::TrajectoryInputs inputs;
        std::tie(inputs.x0, inputs.y0) = read.point(t, QStringLiteral("puntoInicial"), path + QStringLiteral(".puntoInicial"));
        inputs.coefficients = read.coefficients(t, QStringLiteral("coeficientes"), path + QStringLiteral(".coeficientes"));
        inputs.span = read.span(t, QStringLiteral("intervalo"), path + QStringLiteral(".intervalo"));
        s.kept.push_back(inputs);
    }

    if (read.fault)
        return refusal(fileName, *read.fault);
    return s;
}

std::variant<Scenario, QString> readScenarioFile(const QString &path)
{
    const QString name = QDir::toNativeSeparators(path);
    std::variant<QByteArray, QString> read = readRegularFile(path, scenario::kMaxFileBytes);
    if (const QString *why = std::get_if<QString>(&read))
        return refusal(name, QStringLiteral("no se puede leer (%1)").arg(*why));
    const QByteArray bytes = std::get<QByteArray>(std::move(read));
    return scenarioFromJson(bytes, name);
}
