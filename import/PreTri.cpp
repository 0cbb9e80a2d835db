#include "import/PreTri.h"

#include <algorithm>

#include "util/MemeCode.h"

PreTri::PreTri(int preTri, std::array<int, 3> keyLengths) : keyLengths_(keyLengths) {
    if (preTri == 2) levels_ = 2;
    if (preTri == 3) levels_ = 1;
    for (int& length : keyLengths_) length = std::max(length, 0);
    for (std::size_t level = 1; level < keyLengths_.size(); ++level)
        keyLengths_[level] = std::max(keyLengths_[level], keyLengths_[level - 1]);
    keyIds_.Vider(static_cast<std::size_t>(keyLengths_[2]));
}

std::uint32_t PreTri::IdentifiantPrefixe(int level, std::string_view prefix) {
    auto& ids = prefixIds_[level];
    const auto [it, added] =
        ids.try_emplace(std::string(prefix), static_cast<std::uint32_t>(ids.size()));
    return it->second;
}

std::uint32_t PreTri::AjouterEnregistrement(std::string_view line) {
    const auto keyLength = static_cast<std::size_t>(keyLengths_[2]);
    // The key where the line holds it; a short line's key padded apart.
    std::string_view key = line.substr(0, keyLength);
    if (key.size() < keyLength) {
        key_.assign(key);
        key_.resize(keyLength, ' ');
        key = key_;
    }

    // Records of one group usually follow one another.
    if (!haveLastKey_ || !MemeCode(key, lastKey_)) {
        int id = keyIds_.Chercher(key);
        if (id < 0) {
            std::array<std::uint32_t, 3> groups{};
            for (int level = 0; level < 3; ++level)
                groups[level] = IdentifiantPrefixe(level, key.substr(0, keyLengths_[level]));
            id = keyIds_.Ajouter(key, static_cast<int>(keyGroups_.size()));
            keyGroups_.push_back(groups);
        }
        lastKey_.assign(key);
        lastKeyId_ = static_cast<std::uint32_t>(id);
        haveLastKey_ = true;
    }
    recordKey_.push_back(lastKeyId_);
    return lastKeyId_;
}

// The groups of the last level in their regrouped order, and where each
// starts: a group's records come together, in file order, so the whole
// order follows from the groups' sizes.
std::vector<std::uint32_t> PreTri::DebutsGroupes(std::vector<std::uint8_t>* fins) const {
    const std::vector<std::uint32_t> ordre = OrdreGroupes();
    std::vector<std::uint32_t> debuts(ordre.size(), 0);
    for (const std::uint32_t cle : recordKey_) ++debuts[Groupe(cle)];
    std::uint32_t position = 0;
    for (const std::uint32_t groupe : ordre) {
        const std::uint32_t taille = debuts[groupe];
        debuts[groupe] = position;
        position += taille;
        if (fins != nullptr && levels_ == 3 && taille > 0) (*fins)[position - 1] = 1;
    }
    return debuts;
}

std::vector<std::uint8_t> PreTri::MarquesChangement() const {
    std::vector<std::uint8_t> marques(recordKey_.size(), 0);
    DebutsGroupes(&marques);
    if (!marques.empty()) marques.back() = 1;
    return marques;
}

PreTri::Ordre PreTri::Ordonner() const {
    Ordre result;
    result.pChangeRecord.assign(recordKey_.size(), 0);
    std::vector<std::uint32_t> debuts = DebutsGroupes(&result.pChangeRecord);
    if (!result.pChangeRecord.empty()) result.pChangeRecord.back() = 1;
    result.pRang.resize(recordKey_.size());
    for (std::size_t i = 0; i < recordKey_.size(); ++i)
        result.pRang[debuts[Groupe(recordKey_[i])]++] = static_cast<std::uint32_t>(i);
    return result;
}

std::vector<std::uint32_t> PreTri::OrdreGroupes() const {
    // A group's place: the ranks of first appearance of its group at every
    // level down to it, compared in turn.
    const std::size_t last = static_cast<std::size_t>(levels_ - 1);
    std::vector<std::array<std::uint32_t, 3>> rangs(prefixIds_[last].size());
    for (const std::array<std::uint32_t, 3>& groups : keyGroups_) {
        std::array<std::uint32_t, 3>& rang = rangs[groups[last]];
        for (std::size_t level = 0; level <= last; ++level) rang[level] = groups[level];
    }
    std::vector<std::uint32_t> ordre(rangs.size());
    for (std::size_t i = 0; i < ordre.size(); ++i) ordre[i] = static_cast<std::uint32_t>(i);
    std::sort(ordre.begin(), ordre.end(),
              [&rangs](std::uint32_t a, std::uint32_t b) { return rangs[a] < rangs[b]; });
    return ordre;
}
