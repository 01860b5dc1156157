#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// The visible elements of a picture, as a set of bits.
enum class SceneElement : std::uint32_t {
    Sky = 1u << 0,
    Ranges = 1u << 1,
    Bands = 1u << 2,
    Haze = 1u << 3,
    Disc = 1u << 4,
    Glints = 1u << 5,
    Tufts = 1u << 6,
    Birds = 1u << 7,
};

class SceneElements {
  public:
    constexpr SceneElements() = default;
    constexpr bool Has(SceneElement e) const { return (bits & static_cast<std::uint32_t>(e)) != 0; }
    constexpr bool Empty() const { return bits == 0; }
    constexpr void Add(SceneElement e) { bits |= static_cast<std::uint32_t>(e); }

  private:
    std::uint32_t bits = 0;
};

struct NamedElement {
    std::string_view name;
    SceneElement element;
};

inline constexpr std::array<NamedElement, 8> ElementNames = {{
    {"sky", SceneElement::Sky},
    {"ranges", SceneElement::Ranges},
    {"bands", SceneElement::Bands},
    {"haze", SceneElement::Haze},
    {"disc", SceneElement::Disc},
    {"glints", SceneElement::Glints},
    {"tufts", SceneElement::Tufts},
    {"birds", SceneElement::Birds},
}};

// The element of that name ("sky", "ranges", ...), if there is one.
std::optional<SceneElement> ElementNamed(std::string_view name);

// Every element's name in picture order, separated by commas and spaces.
std::string ElementNameList();

}  // namespace vistrel
