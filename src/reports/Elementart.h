#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace reports {

// The kind of a layout element, stored as the element's `Tag`. Layouts made
// with the designer carry N or N + 1 for kind N; both mean the same thing in
// every engine.
enum class Elementart : int {
    eaText = 0,
    eaFeld = 100,
    eaGefahrsymbol = 200,
    eaForm = 300,
    eaSaetze = 400,
    eaStrukturbild = 500,
    eaBedingungstext = 600,
    eaSummenformel = 700,
    eaBild = 800,
    eaSystemdaten = 900,
    eaVorlagentext = 1000,
    eaSchutzbild = 1100,
    eaUnterrichtbild = 1200,
    eaWirkungbild = 1300,
    eaKrebsbild = 1400,
    eaFeldformel = 1500,
};

inline constexpr std::array<Elementart, 16> kElementarten = {
    Elementart::eaText,         Elementart::eaFeld,          Elementart::eaGefahrsymbol,
    Elementart::eaForm,         Elementart::eaSaetze,        Elementart::eaStrukturbild,
    Elementart::eaBedingungstext, Elementart::eaSummenformel, Elementart::eaBild,
    Elementart::eaSystemdaten,  Elementart::eaVorlagentext,  Elementart::eaSchutzbild,
    Elementart::eaUnterrichtbild, Elementart::eaWirkungbild, Elementart::eaKrebsbild,
    Elementart::eaFeldformel,
};

// The kind a `Tag` selects: the kind N for N and N + 1, nothing for any other
// value (such a component builds no run element). The difference is taken
// modulo 2^64 and compared unsigned, so negative tags fall far above 1 and
// tags near the integer limits cannot overflow.
constexpr std::optional<Elementart> elementartVon(std::int64_t tag)
{
    for (const Elementart art : kElementarten) {
        const std::uint64_t offset = static_cast<std::uint64_t>(tag) - static_cast<std::uint64_t>(art);
        if (offset < 2u)
            return art;
    }
    return std::nullopt;
}

} // namespace reports
