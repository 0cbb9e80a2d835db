#include "import/PreTri.h"

#include <algorithm>

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
    key_.assign(line.substr(0, keyLength));
    key_.resize(keyLength, ' ');

    // Records of one group usually follow one another.
    if (!haveLastKey_ || key_ != lastKey_) {
        int id = keyIds_.Chercher(key_);
        if (id < 0) {
            std::array<std::uint32_t, 3> groups{};
            for (int level = 0; level < 3; ++level)
                groups[level] =
                    IdentifiantPrefixe(level, std::string_view(key_).substr(0, keyLengths_[level]));
            id = keyIds_.Ajouter(key_, static_cast<int>(keyGroups_.size()));
            keyGroups_.push_back(groups);
        }
        lastKey_ = key_;
        lastKeyId_ = static_cast<std::uint32_t>(id);
        haveLastKey_ = true;
    }
    recordKey_.push_back(lastKeyId_);
    return lastKeyId_;
}

PreTri::Ordre PreTri::Ordonner() const {
    const std::size_t count = recordKey_.size();
    Ordre result;
    result.pRang.resize(count);
    result.pChangeRecord.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) result.pRang[i] = static_cast<std::uint32_t>(i);

    std::vector<std::uint32_t> pNouveauRang(count);
    constexpr std::uint32_t kUnranked = UINT32_MAX;
    for (int level = 0; level < levels_; ++level) {
        // Rank of each group: the order of its first record in the current order.
        std::vector<std::uint32_t> rankOfGroup(prefixIds_[level].size(), kUnranked);
        std::vector<std::uint32_t> groupStart;
        for (const std::uint32_t record : result.pRang) {
            std::uint32_t& rank = rankOfGroup[keyGroups_[recordKey_[record]][level]];
            if (rank == kUnranked) {
                rank = static_cast<std::uint32_t>(groupStart.size());
                groupStart.push_back(0);
            }
            ++groupStart[rank];
        }
        std::uint32_t position = 0;
        for (std::uint32_t& start : groupStart) {
            const std::uint32_t size = start;
            start = position;
            position += size;
            if (level == 2) result.pChangeRecord[position - 1] = 1;
        }
        for (const std::uint32_t record : result.pRang) {
            const std::uint32_t rank = rankOfGroup[keyGroups_[recordKey_[record]][level]];
            pNouveauRang[groupStart[rank]++] = record;
        }
        result.pRang.swap(pNouveauRang);
    }
    if (count > 0) result.pChangeRecord[count - 1] = 1;
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
