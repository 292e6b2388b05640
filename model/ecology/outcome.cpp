#include "model/ecology/outcome.h"

#include "model/analysis/equilibria.h"
#include "model/analysis/type_names.h"

#include <algorithm>
#include <cmath>

namespace {

using Number = std::function<std::string(double)>;

const char *const kSlowly = " (despacio: su equilibrio no es hiperbólico)";

int signOf(double value)
{
    return (value > 0) - (value < 0);
}

// The system as equilibria() judges it: the coefficients scaled by the power of two that brings
// the largest near 1, their crossing terms, and the interior point with its type.
struct Judged {
    Coefficients k;
    CrossingTerms terms;
    int X = 0, Y = 0, delta = 0;   // the signs of the terms
    double x = 0, y = 0;           // the interior point, where delta ≠ 0
    EquilibriumType interior = EquilibriumType::Undetermined;
};

Judged judged(const Coefficients &k)
{
    double largest = 0;
    for (double v : {k.A, k.B, k.C, k.D, k.E, k.F})
        largest = std::max(largest, std::fabs(v));
    int e = 0;
    std::frexp(largest, &e);
    const Coefficients s{std::ldexp(k.A, -e), std::ldexp(k.B, -e), std::ldexp(k.C, -e),
                         std::ldexp(k.D, -e), std::ldexp(k.E, -e), std::ldexp(k.F, -e)};
    Judged j;
    j.k = k;
    j.terms = crossingTerms(s);
    j.X = signOf(j.terms.X);
    j.Y = signOf(j.terms.Y);
    j.delta = signOf(j.terms.delta);
    if (j.delta != 0) {
        j.x = j.terms.X / j.terms.delta;
        j.y = j.terms.Y / j.terms.delta;
        Jacobian inside = jacobianInside(s, j.x, j.y);
        inside.firstIntegral = k.B == 0 && k.F == 0;
        j.interior = linearise(inside).type;
    }
    return j;
}

// "K₁ = 100 > K₂/α₂₁ = 80" where order, the sign of left − right, is 1; "K₁ = K₂/α₂₁ = 80" where 0.
std::string comparison(const std::string &left, double leftValue, int order, const std::string &right,
                       double rightValue, const Number &number)
{
    if (order == 0)
        return left + " = " + right + " = " + number(leftValue);
    return left + " = " + number(leftValue) + (order > 0 ? " > " : " < ") + right + " = " + number(rightValue);
}

// "r₁ = 1 ≤ h₁ = 1,5": a harvest that leaves a species no growth, even alone.
std::string overharvest(const char *rate, double r, const char *harvest, double h, const Number &number)
{
    return std::string(rate) + " = " + number(r) + " ≤ " + harvest + " = " + number(h);
}

// A capacity, or what the harvest leaves of it: "K₁" or "K₁(1 − h₁/r₁)".
std::string capacity(const char *K, const char *h, const char *r, double harvest)
{
    return harvest != 0 ? std::string(K) + "(1 − " + h + "/" + r + ")" : std::string(K);
}

std::string competition(const EcologicalParameters &p, const Judged &j, const Number &number)
{
    const Coefficients &k = j.k;
    const double h1 = p.value("h1"), h2 = p.value("h2");
    const std::string K1 = capacity("K₁", "h₁", "r₁", h1), K2 = capacity("K₂", "h₂", "r₂", h2);
    const double K1value = k.A / -k.B, K2value = k.D / -k.F;

    if (k.A <= 0 || k.D <= 0) {
        const std::string x = overharvest("r₁", p.value("r1"), "h₁", h1, number);
        const std::string y = overharvest("r₂", p.value("r2"), "h₂", h2, number);
        if (k.A <= 0 && k.D <= 0)
            return x + " y " + y + ": la cosecha acaba con las dos especies, aunque estén solas: se extinguen";
        if (k.A <= 0)
            return x + ": la especie x se extingue aunque esté sola; gana la especie y, en " + K2 + " = "
                 + number(K2value);
        return y + ": la especie y se extingue aunque esté sola; gana la especie x, en " + K1 + " = "
             + number(K1value);
    }

    std::string text = h1 != 0 || h2 != 0 ? "Con la cosecha, " : "";
    // Isoclines that are one line, within rounding: Δ = 0 with X and Y not of opposite signs.
    if (j.delta == 0 && j.X * j.Y >= 0)
        return text + K1 + " = " + K2 + "/α₂₁ = " + number(K1value) + " y " + K2 + " = " + K1 + "/α₁₂ = "
             + number(K2value)
             + ": las isoclinas coinciden en una recta de equilibrios, y cada solución se detiene en el punto "
               "de ella que le corresponde según su inicio";
    // K₁ > K₂/α₂₁ is Y < 0; K₂ < K₁/α₁₂ is X > 0.
    text += comparison(K1, K1value, -j.Y, K2 + "/α₂₁", k.D / -k.E, number) + " y "
          + comparison(K2, K2value, -j.X, K1 + "/α₁₂", k.A / -k.C, number) + ": ";
    if (j.X > 0 && j.Y > 0)
        return text + "las dos especies coexisten: el equilibrio interior es un " + typeName(j.interior);
    if (j.X < 0 && j.Y < 0)
        return text + "biestable: gana quien empieza con ventaja, según el lado de la separatriz del "
                      "punto de silla interior en que empiecen";
    if (j.X >= 0 && j.Y <= 0)
        return text + "gana la especie x" + (j.Y == 0 ? kSlowly : "");
    return text + "gana la especie y" + (j.X == 0 ? kSlowly : "");
}

// The levels of the interior equilibrium without harvest and with it, where harvesting both
// species raises the prey's and lowers the predator's: Volterra's principle.
std::string volterra(const EcologicalParameters &p, const Judged &j, const Number &number)
{
    EcologicalParameters unharvested = p;
    unharvested.values[static_cast<std::size_t>(p.indexOf("h1"))] = 0;
    unharvested.values[static_cast<std::size_t>(p.indexOf("h2"))] = 0;
    const Judged before = judged(coefficientsOf(unharvested));
    if (before.delta == 0 || !(j.x > before.x && j.y < before.y))
        return {};
    const bool cycles = j.k.B == 0;
    return std::string(". Principio de Volterra: cosechar las dos especies sube ")
         + (cycles ? "la media de la presa en cada ciclo" : "el nivel de equilibrio de la presa") + " de "
         + number(before.x) + " a " + number(j.x) + " y baja " + (cycles ? "la" : "el") + " del depredador de "
         + number(before.y) + " a " + number(j.y);
}

std::string predatorPrey(const EcologicalParameters &p, const Judged &j, const Number &number)
{
    const Coefficients &k = j.k;
    const double h1 = p.value("h1"), h2 = p.value("h2");
    if (k.A <= 0) {
        const std::string why = overharvest("r", p.value("r"), "h₁", h1, number);
        if (k.A == 0 && k.B == 0)
            return why + ": sin depredadores la presa ni crece ni mengua; el depredador se extingue y la presa se "
                         "queda en un nivel que depende del inicio";
        return why + ": la cosecha acaba con la presa aunque esté sola, y el depredador se extingue con ella"
             + (k.A == 0 ? kSlowly : "");
    }

    const std::string xStar = "x* = " + std::string(h2 != 0 ? "(m + h₂)/b" : "m/b");
    const bool both = h1 > 0 && h2 > 0;
    if (k.B == 0)
        return xStar + " = " + number(j.x) + ", y* = " + (h1 != 0 ? "(r − h₁)/a" : "r/a") + " = " + number(j.y)
             + ": sin capacidad de carga de la presa, ciclos neutros: órbitas cerradas alrededor de ese centro, cada "
               "una según su punto inicial, y en cada ciclo la media de x es x* y la de y, y*"
             + (both ? volterra(p, j, number) : "");

    const std::string K = capacity("K", "h₁", "r", h1);
    if (j.Y <= 0)
        return comparison(K, k.A / -k.B, j.Y, xStar, j.x, number)
             + ": el depredador no puede persistir y la presa se estabiliza en su capacidad de carga"
             + (h1 != 0 ? " reducida por la cosecha" : "") + (j.Y == 0 ? kSlowly : "");

    std::string text = xStar + " = " + number(j.x) + ", y* = "
                     + (h1 != 0 || h2 != 0 ? "((r − h₁)/a)(1 − x*/(K(1 − h₁/r)))" : "(r/a)(1 − m/(bK))") + " = "
                     + number(j.y) + ": con " + K + " = " + number(k.A / -k.B) + ", ";
    switch (j.interior) {
    case EquilibriumType::StableFocus:
        text += "las oscilaciones se amortiguan hacia ese equilibrio";
        break;
    case EquilibriumType::StableNode:
    case EquilibriumType::StableDegenerateNode:
    case EquilibriumType::StableStarNode:
        text += "las poblaciones se acercan a ese equilibrio sin oscilar";
        break;
    default:
        text += "ese equilibrio es de tipo";
        break;
    }
    return text + " (" + typeName(j.interior) + ")" + (both ? volterra(p, j, number) : "");
}

std::string mutualism(const EcologicalParameters &p, const Judged &j, const Number &number)
{
    const Coefficients &k = j.k;
    const double h1 = p.value("h1"), h2 = p.value("h2");
    // β₁₂β₂₁ < 1 is Δ > 0; within rounding of 1 the program takes the isoclines as parallel.
    std::string text = "β₁₂β₂₁ = ";
    text += j.delta == 0 ? "1" : number(p.value("beta12") * p.value("beta21")) + (j.delta > 0 ? " < 1" : " > 1");
    const std::string x = overharvest("r₁", p.value("r1"), "h₁", h1, number);
    const std::string y = overharvest("r₂", p.value("r2"), "h₂", h2, number);
    if (k.A <= 0 && k.D <= 0)
        text += ", " + x + " y " + y;
    else if (k.A <= 0 || k.D <= 0)
        text += " y " + (k.A <= 0 ? x : y);
    text += ": ";

    // Where nothing grows without limit: A > 0 leaves x alone (then D ≤ 0), D > 0 leaves y alone.
    const auto bounded = [&] {
        if (k.A > 0)
            return "la especie y se extingue y la especie x queda sola en " + capacity("K₁", "h₁", "r₁", h1) + " = "
                 + number(k.A / -k.B) + (j.Y == 0 ? kSlowly : "");
        if (k.D > 0)
            return "la especie x se extingue y la especie y queda sola en " + capacity("K₂", "h₂", "r₂", h2) + " = "
                 + number(k.D / -k.F) + (j.X == 0 ? kSlowly : "");
        return std::string("las dos especies se extinguen") + (k.A == 0 || k.D == 0 ? kSlowly : "");
    };
    if (j.delta > 0) {
        if (!(j.X > 0 && j.Y > 0))
            return text + bounded();
        text += "coexistencia acotada: las dos especies tienden al equilibrio interior (" + std::string(typeName(j.interior)) + ")";
        if (k.A <= 0)
            return text + ", donde la especie x se mantiene gracias a la especie y";
        if (k.D <= 0)
            return text + ", donde la especie y se mantiene gracias a la especie x";
        return text + ", cada una por encima de su capacidad de carga";
    }
    if (j.X <= 0 && j.Y <= 0 && !(j.X == 0 && j.Y == 0)) {
        if (j.delta == 0)
            return text + bounded();
        return text + "depende del punto de partida: más allá de una separatriz las dos crecen sin límite; más acá, "
             + bounded();
    }
    if (j.delta == 0 && j.X == 0 && j.Y == 0)
        return text + "las isoclinas coinciden en una recta de equilibrios";
    return text + "el beneficio mutuo " + (j.delta == 0 ? "iguala a" : "puede más que")
         + " la competencia dentro de cada especie: las dos poblaciones crecen sin límite";
}

} // namespace

std::string outcomeSentence(const EcologicalParameters &parameters, const std::function<std::string(double)> &number)
{
    if (!fitsItsForm(parameters))
        return {};
    const Judged j = judged(coefficientsOf(parameters));
    switch (parameters.form) {
    case EcologicalForm::Competition: return competition(parameters, j, number);
    case EcologicalForm::PredatorPrey: return predatorPrey(parameters, j, number);
    case EcologicalForm::Mutualism: return mutualism(parameters, j, number);
    }
    return {};
}
