// Hash tables keyed by text and searched with a view: a lookup builds no
// string.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

struct HachageTexte {
    using is_transparent = void;
    std::size_t operator()(std::string_view texte) const noexcept {
        return std::hash<std::string_view>{}(texte);
    }
};

template <class Valeur>
using TableTexte = std::unordered_map<std::string, Valeur, HachageTexte, std::equal_to<>>;
