#include "model/data/observations.h"

#include "model/model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// Why the file is refused, already in the program's words, without the file's name.
struct Refusal {
    std::string why;
};

std::string lineText(std::size_t line)
{
    return "línea " + std::to_string(line) + ": ";
}

std::string quoted(std::string_view text)
{
    // Long cells are cut: the message must fit in a dialog.
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown)
        return "«" + std::string(text) + "»";
    return "«" + std::string(text.substr(0, kShown)) + "…»";
}

std::string_view trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && space(text[begin]))
        ++begin;
    while (end > begin && space(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The cells of one line. A cell that starts with a double quote runs to the next lone quote,
// "" inside standing for one quote; what follows it up to the separator is kept as written.
// Nothing when a quote is left open.
std::optional<std::vector<std::string>> cellsOf(std::string_view line, char separator)
{
    std::vector<std::string> cells;
    std::size_t i = 0;
    // Each turn takes one cell and the separator after it, so the loop ends within the line.
    while (true) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::string cell;
        if (i < line.size() && line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                cell += line[i++];
            }
            if (!closed)
                return std::nullopt;
        }
        const std::size_t end = std::min(line.find(separator, i), line.size());
        cell += line.substr(i, end - i);
        cells.push_back(std::string(trimmed(cell)));
        if (end == line.size())
            return cells;
        i = end + 1;
    }
}

char separatorOf(std::string_view header)
{
    if (header.find('\t') != std::string_view::npos)
        return '\t';
    if (header.find(';') != std::string_view::npos)
        return ';';
    return ',';
}

// A number as the C locale reads it: from_chars takes neither a leading + nor a locale.
std::optional<double> plainNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Reads the number cells of a file, keeping the decimal mark the first of them showed.
class NumberReader {
public:
    explicit NumberReader(char separator) : commaAllowed_(separator != ',') {}

    // The cell's number; a Refusal when it is none, or has the mark other rows do not use.
    std::variant<double, Refusal> read(std::string_view cell, std::size_t line)
    {
        const bool point = cell.find('.') != std::string_view::npos;
        const bool comma = cell.find(',') != std::string_view::npos;
        const auto notANumber = Refusal{lineText(line) + quoted(cell) + " no es un número"};
        if (point && comma)
            return notANumber;
        if (comma && !commaAllowed_)
            return Refusal{lineText(line) + quoted(cell)
                           + " no es un número (con la coma como separador, los decimales llevan punto)"};
        if (point || comma) {
            const Mark mark = comma ? Mark::Comma : Mark::Point;
            if (mark_ == Mark::Unknown) {
                mark_ = mark;
                markLine_ = line;
            } else if (mark_ != mark) {
                return Refusal{lineText(line) + quoted(cell) + (comma ? " lleva coma decimal" : " lleva punto decimal")
                               + ", pero los números de la línea " + std::to_string(markLine_)
                               + (comma ? " llevan punto" : " llevan coma")};
            }
        }
        std::string text(cell);
        std::replace(text.begin(), text.end(), ',', '.');
        const std::optional<double> value = plainNumber(text);
        if (!value)
            return notANumber;
        return *value;
    }

private:
    enum class Mark { Unknown, Point, Comma };
    bool commaAllowed_;
    Mark mark_ = Mark::Unknown;
    std::size_t markLine_ = 0;
};

// The file split into lines, numbered from 1, blank lines left out.
struct Line {
    std::size_t number;
    std::string_view text;
};

class LineSplitter {
public:
    explicit LineSplitter(std::string_view bytes) : bytes_(bytes) {}

    // The next line that is not blank; nothing at the end of the bytes. Each call moves on by
    // at least one byte or ends, so reading the file takes at most its size in calls.
    std::optional<Line> next()
    {
        while (position_ < bytes_.size()) {
            const std::size_t end = std::min(bytes_.find_first_of("\r\n", position_), bytes_.size());
            const Line line{number_, bytes_.substr(position_, end - position_)};
            position_ = end;
            if (position_ < bytes_.size()) {
                const bool crlf = bytes_[position_] == '\r' && position_ + 1 < bytes_.size() && bytes_[position_ + 1] == '\n';
                position_ += crlf ? 2 : 1;
                ++number_;
            }
            if (!trimmed(line.text).empty()) {
                lastLine_ = line.number;
                return line;
            }
        }
        return std::nullopt;
    }

    // The number of the last line that is not blank (1 when there is none).
    std::size_t lastLine() const { return lastLine_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::size_t number_ = 1;
    std::size_t lastLine_ = 1;
};

// Cells past the third are allowed only when empty (a spreadsheet's trailing separators).
bool threeCells(const std::vector<std::string> &cells)
{
    return cells.size() >= 3 && std::all_of(cells.begin() + 3, cells.end(), [](const std::string &c) { return c.empty(); });
}

std::variant<Observations, Refusal> parse(std::string_view bytes)
{
    if (bytes.size() > observations::kMaxBytes)
        return Refusal{"ocupa más de " + std::to_string(observations::kMaxBytes >> 20) + " MiB"};
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);

    LineSplitter lines(bytes);
    const std::optional<Line> header = lines.next();
    if (!header)
        return Refusal{lineText(1) + "el archivo está vacío"};
    const char separator = separatorOf(header->text);
    const std::optional<std::vector<std::string>> names = cellsOf(header->text, separator);
    if (!names)
        return Refusal{lineText(header->number) + "unas comillas no se cierran"};
    if (!threeCells(*names))
        return Refusal{lineText(header->number) + "la fila de títulos tiene " + std::to_string(names->size())
                       + (names->size() == 1 ? " columna" : " columnas") + "; se esperan 3 (t, x, y)"};
    if (plainNumber((*names)[0]) && plainNumber((*names)[1]) && plainNumber((*names)[2]))
        return Refusal{lineText(header->number) + "falta la fila de títulos (t, x, y) antes de los números"};

    Observations series;
    series.timeName = (*names)[0].empty() ? "t" : (*names)[0];
    series.xName = (*names)[1].empty() ? "x" : (*names)[1];
    series.yName = (*names)[2].empty() ? "y" : (*names)[2];

    NumberReader numbers(separator);
    std::string previousTime;
    bool anyObserved = false;
    // One row per turn, each a line of the file: bounded by the file's size.
    while (const std::optional<Line> line = lines.next()) {
        const std::size_t n = line->number;
        if (series.size() == observations::kMaxRows)
            return Refusal{lineText(n) + "hay más de 100 000 filas de datos"};
        const std::optional<std::vector<std::string>> cells = cellsOf(line->text, separator);
        if (!cells)
            return Refusal{lineText(n) + "unas comillas no se cierran"};
        if (!threeCells(*cells))
            return Refusal{lineText(n) + "tiene " + std::to_string(cells->size())
                           + (cells->size() == 1 ? " columna" : " columnas") + "; se esperan 3 (t, x, y)"};

        const std::string &timeCell = (*cells)[0];
        if (timeCell.empty())
            return Refusal{lineText(n) + "falta el tiempo"};
        const auto time = numbers.read(timeCell, n);
        if (const Refusal *refusal = std::get_if<Refusal>(&time))
            return *refusal;
        const double t = std::get<double>(time);
        if (!series.times.empty()) {
            if (!(t > series.times.back()))
                return Refusal{lineText(n) + "el tiempo " + quoted(timeCell) + " no es mayor que el anterior, "
                               + quoted(previousTime)};
            // Times are used from the first one on: t − t₀ must be finite and increase too.
            const double shifted = t - series.times.front();
            if (!std::isfinite(shifted) || !(shifted > series.times.back() - series.times.front()))
                return Refusal{lineText(n) + "el tiempo " + quoted(timeCell) + " está demasiado lejos del primero"};
        }
        previousTime = timeCell;

        std::optional<double> values[2];
        for (int column = 1; column <= 2; ++column) {
            const std::string &cell = (*cells)[std::size_t(column)];
            if (cell.empty())
                continue;
            const auto value = numbers.read(cell, n);
            if (const Refusal *refusal = std::get_if<Refusal>(&value))
                return *refusal;
            const double v = std::get<double>(value);
            if (v < 0)
                return Refusal{lineText(n) + "la población " + quoted(cell) + " es negativa"};
            values[column - 1] = v + 0.0;   // -0 is kept as 0
            anyObserved = true;
        }
        series.times.push_back(t);
        series.xs.push_back(values[0]);
        series.ys.push_back(values[1]);
    }

    const std::size_t last = lines.lastLine();
    if (series.size() < observations::kMinRows)
        return Refusal{"el archivo termina en la línea " + std::to_string(last) + " con "
                       + std::to_string(series.size()) + (series.size() == 1 ? " fila" : " filas")
                       + " de datos; se necesitan al menos 3"};
    if (!anyObserved)
        return Refusal{"el archivo termina en la línea " + std::to_string(last) + " sin ninguna población observada"};
    return series;
}

// 10^k for 0 <= k <= 308, exact up to 10^22.
double powerOfTen(int k)
{
    double p = 1;
    for (int i = 0; i < k; ++i)
        p *= 10;
    return p;
}

double largestValue(const Observations &series)
{
    double largest = 0;
    for (const auto *column : {&series.xs, &series.ys})
        for (const std::optional<double> &v : *column)
            if (v)
                largest = std::max(largest, *v);
    return largest;
}

} // namespace

std::variant<Observations, std::string> readObservations(std::string_view bytes, std::string_view fileName)
{
    auto read = parse(bytes);
    if (Observations *series = std::get_if<Observations>(&read))
        return std::move(*series);
    return "No se pueden abrir los datos «" + std::string(fileName) + "»: " + std::get<Refusal>(read).why + ".";
}

double inUnit(double value, ObservationUnit unit)
{
    return unit.exponent >= 0 ? value / powerOfTen(unit.exponent) : value * powerOfTen(-unit.exponent);
}

ObservationUnit chosenUnit(const Observations &series)
{
    const double largest = largestValue(series);
    if (!(largest > 0))
        return {};
    // The estimate from the logarithm may be one off either way: the candidates around it
    // are tried from the smallest, and the first that fits is taken.
    // The logarithms apart: largest / 20 underflows to 0 for the smallest subnormals.
    const int estimate = int(std::clamp(std::floor(std::log10(largest) - std::log10(Model::kBound)), -400.0, 400.0));
    for (int k = std::max(estimate - 1, ObservationUnit::kMinUnitExponent);
         k <= std::min(estimate + 2, ObservationUnit::kMaxUnitExponent); ++k) {
        if (inUnit(largest, ObservationUnit{k}) < Model::kBound)
            return ObservationUnit{k};
    }
    return ObservationUnit{std::clamp(estimate, ObservationUnit::kMinUnitExponent, ObservationUnit::kMaxUnitExponent)};
}

std::optional<ScaledObservations> inProgramUnits(const Observations &series, ObservationUnit unit)
{
    if (series.times.empty() || unit.exponent < ObservationUnit::kMinUnitExponent
        || unit.exponent > ObservationUnit::kMaxUnitExponent)
        return std::nullopt;
    ScaledObservations scaled{series, unit, series.times.front()};
    for (double &t : scaled.series.times)
        t = t - scaled.timeOffset;
    for (auto *column : {&scaled.series.xs, &scaled.series.ys})
        for (std::optional<double> &v : *column)
            if (v) {
                v = inUnit(*v, unit);
                if (!std::isfinite(*v))
                    return std::nullopt;
            }
    return scaled;
}
