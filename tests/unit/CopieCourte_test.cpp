#include "util/CopieCourte.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every length up to past the longest copy made without a call, from and to
// places that are not aligned: the n bytes arrive as they were, and not one
// byte around them changes.
TEST(CopieCourte, CopiesExactlyTheBytesAskedFor) {
    std::string source(200, '\0');
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>('!' + (i * 7) % 90);
    for (std::size_t n = 0; n <= 140; ++n) {
        for (const std::size_t decalage : {0u, 1u, 3u, 13u}) {
            std::string cible(n + 40, '.');
            CopieCourte(cible.data() + 20, source.data() + decalage, n);
            const std::string attendu =
                std::string(20, '.') + source.substr(decalage, n) + std::string(20, '.');
            ASSERT_EQ(cible, attendu) << "n " << n << " decalage " << decalage;
        }
    }
}

}  // namespace
