#include "model/analysis/type_names.h"

const char *typeName(EquilibriumType type)
{
    switch (type) {
    case EquilibriumType::Saddle: return "punto de silla";
    case EquilibriumType::StableNode: return "nodo estable";
    case EquilibriumType::UnstableNode: return "nodo inestable";
    case EquilibriumType::StableDegenerateNode: return "nodo degenerado estable";
    case EquilibriumType::UnstableDegenerateNode: return "nodo degenerado inestable";
    case EquilibriumType::StableStarNode: return "nodo estrella estable";
    case EquilibriumType::UnstableStarNode: return "nodo estrella inestable";
    case EquilibriumType::StableFocus: return "foco estable";
    case EquilibriumType::UnstableFocus: return "foco inestable";
    case EquilibriumType::Centre: return "centro (órbitas cerradas)";
    case EquilibriumType::NonHyperbolic: return "no hiperbólico";
    case EquilibriumType::Undetermined: return "indeterminado";
    case EquilibriumType::LineOfEquilibria: return "recta de equilibrios";
    case EquilibriumType::PlaneOfEquilibria: return "plano de equilibrios";
    }
    return "";
}
