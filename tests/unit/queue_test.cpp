#include "util/queue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Elements of 4 bytes written and read as short texts.
struct Elem {
    char bytes[4];
};
Elem E(const char* s) {
    Elem e;
    std::memcpy(e.bytes, s, 4);
    return e;
}
std::string S(const Elem& e) {
    return std::string(e.bytes, 4);
}

TEST(CQueue, ClosedStoreRefusesEverything) {
    CQueue q;
    Elem e = E("ABCD");
    EXPECT_FALSE(q.Test());
    EXPECT_EQ(q.Envoie(&e), -1);
    EXPECT_EQ(q.Recoit(&e), -1);
    EXPECT_EQ(q.Contenu(), -1);
    EXPECT_EQ(q.Vide(), -1);
    EXPECT_EQ(q.Lire(0, &e), -1);
    EXPECT_EQ(q.Ecrire(0, &e), -1);
    EXPECT_EQ(q.Fermer(), 0);
    EXPECT_EQ(S(e), "ABCD");
}

TEST(CQueue, OpenTwiceKeepsTheFirstTable) {
    CQueue q;
    ASSERT_EQ(q.Ouvrir(3, 4), 1);
    Elem e = E("KEEP");
    ASSERT_EQ(q.Ecrire(2, &e), 1);
    EXPECT_EQ(q.Ouvrir(10, 32), 0);
    EXPECT_EQ(q.GetNombre(), 3);
    EXPECT_EQ(q.GetTaille(), 4);
    Elem out = E("....");
    EXPECT_EQ(q.Lire(2, &out), 1);
    EXPECT_EQ(S(out), "KEEP");
    EXPECT_EQ(q.Fermer(), 1);
    EXPECT_FALSE(q.Test());
    EXPECT_EQ(q.Ouvrir(5, 4), 1);
    EXPECT_EQ(q.GetNombre(), 5);
}

TEST(CQueue, InvalidSizesDoNotOpen) {
    const int sizes[][2] = {{0, 4}, {4, 0}, {-1, 4}, {1 << 20, 1 << 12}};
    for (const auto& s : sizes) {
        CQueue q;
        EXPECT_EQ(q.Ouvrir(s[0], s[1]), -1) << s[0] << " x " << s[1];
        EXPECT_FALSE(q.Test());
    }
}

TEST(CQueue, RingLeavesOneElementFree) {
    CQueue q;
    ASSERT_EQ(q.Ouvrir(3, 4), 1);
    Elem a = E("AAAA"), b = E("BBBB"), c = E("CCCC");
    EXPECT_EQ(q.Envoie(&a), 1);
    EXPECT_EQ(q.Envoie(&b), 1);
    EXPECT_EQ(q.Envoie(&c), 0);
    EXPECT_EQ(q.Contenu(), 2);
    Elem out;
    EXPECT_EQ(q.Recoit(&out), 1);
    EXPECT_EQ(S(out), "AAAA");
    EXPECT_EQ(q.Recoit(&out), 1);
    EXPECT_EQ(S(out), "BBBB");
    EXPECT_EQ(q.Recoit(&out), 0);
    EXPECT_EQ(S(out), "BBBB");
}

TEST(CQueue, RingWrapsAround) {
    CQueue q;
    ASSERT_EQ(q.Ouvrir(3, 4), 1);
    Elem a = E("AAAA"), b = E("BBBB"), c = E("CCCC"), d = E("DDDD");
    Elem out;
    ASSERT_EQ(q.Envoie(&a), 1);
    ASSERT_EQ(q.Envoie(&b), 1);
    ASSERT_EQ(q.Recoit(&out), 1);
    ASSERT_EQ(q.Envoie(&c), 1);
    EXPECT_EQ(q.GetQueue(), 0);
    EXPECT_EQ(q.GetTete(), 1);
    EXPECT_EQ(q.Contenu(), 2);
    // Tete wraps too; the elements come out in the order they went in.
    ASSERT_EQ(q.Recoit(&out), 1);
    EXPECT_EQ(S(out), "BBBB");
    ASSERT_EQ(q.Envoie(&d), 1);
    EXPECT_EQ(q.Contenu(), 2);
    ASSERT_EQ(q.Recoit(&out), 1);
    EXPECT_EQ(S(out), "CCCC");
    EXPECT_EQ(q.GetTete(), 0);
    ASSERT_EQ(q.Recoit(&out), 1);
    EXPECT_EQ(S(out), "DDDD");
    EXPECT_EQ(q.Contenu(), 0);
}

TEST(CQueue, VideReportsWhetherTheRingHeldSomething) {
    CQueue q;
    ASSERT_EQ(q.Ouvrir(4, 4), 1);
    EXPECT_EQ(q.Vide(), 0);
    Elem a = E("AAAA"), out;
    q.Envoie(&a);
    q.Envoie(&a);
    q.Recoit(&out);
    EXPECT_EQ(q.Vide(), 1);
    EXPECT_EQ(q.Contenu(), 0);
    EXPECT_EQ(q.GetQueue(), 0);
    EXPECT_EQ(q.GetTete(), 0);
    EXPECT_EQ(q.Recoit(&out), 0);
}

TEST(CQueue, PositionAccessChecksTheRange) {
    CQueue q;
    ASSERT_EQ(q.Ouvrir(3, 4), 1);
    Elem a = E("L0L0"), c = E("L2L2");
    EXPECT_EQ(q.Ecrire(0, &a), 1);
    EXPECT_EQ(q.Ecrire(2, &c), 1);
    EXPECT_EQ(q.Ecrire(3, &a), -2);
    EXPECT_EQ(q.Ecrire(-1, &a), -2);
    Elem out = E("none");
    EXPECT_EQ(q.Lire(3, &out), -2);
    EXPECT_EQ(q.Lire(-1, &out), -2);
    EXPECT_EQ(S(out), "none");
    EXPECT_EQ(q.Lire(2, &out), 1);
    EXPECT_EQ(S(out), "L2L2");
    EXPECT_EQ(q.Lire(0, &out), 1);
    EXPECT_EQ(S(out), "L0L0");
    // Positional writes leave the ring as it was.
    EXPECT_EQ(q.Contenu(), 0);
}

TEST(CQueue, LabelStoreOfThirtyTwoBytes) {
    CQueue LibelleLt;
    ASSERT_EQ(LibelleLt.Ouvrir(3000, 32), 1);
    const std::string label = "LIBELLE ROUTAGE INCONNU         ";
    ASSERT_EQ(label.size(), 32u);
    EXPECT_EQ(LibelleLt.Ecrire(2999, label.data()), 1);
    char out[33] = {};
    EXPECT_EQ(LibelleLt.Lire(2999, out), 1);
    EXPECT_EQ(std::string(out), label);
    EXPECT_EQ(LibelleLt.Ecrire(3000, label.data()), -2);
}

}  // namespace
