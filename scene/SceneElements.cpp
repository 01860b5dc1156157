#include "scene/SceneElements.h"

namespace vistrel {

std::optional<SceneElement> ElementNamed(std::string_view name) {
    for (const NamedElement& e : ElementNames) {
        if (e.name == name) {
            return e.element;
        }
    }
    return std::nullopt;
}

std::string ElementNameList() {
    std::string list;
    for (const NamedElement& e : ElementNames) {
        if (!list.empty()) {
            list += ", ";
        }
        list += e.name;
    }
    return list;
}

}  // namespace vistrel
