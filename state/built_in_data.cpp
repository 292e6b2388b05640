#include "state/built_in_data.h"

#include "model/data/synthetic.h"

#include <QFile>

#include <string>
#include <variant>

namespace built_in_data {

const Observations &pelts()
{
    // Read once: the resource is part of the program and never changes.
    static const Observations series = [] {
        QFile file(QStringLiteral(":/datos/pieles_liebre_lince.csv"));
        if (!file.open(QIODevice::ReadOnly))
            return Observations{};
        const QByteArray bytes = file.readAll();
        std::variant<Observations, std::string> read =
            readObservations(std::string_view(bytes.constData(), std::size_t(bytes.size())), kPeltsFileName);
        if (Observations *found = std::get_if<Observations>(&read))
            return std::move(*found);
        return Observations{};
    }();
    return series;
}

const Observations &synthetic()
{
    static const Observations series = synthetic::noisySeries();
    return series;
}

bool isPelts(const Observations &series)
{
    return series.size() > 0 && series == pelts();
}

} // namespace built_in_data
