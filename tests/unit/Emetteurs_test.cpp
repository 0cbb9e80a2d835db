#include "records/Emetteurs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "tests/unit/base_layout.h"

// Counts the allocations of this test program, to show that the subscriber
// emitter allocates nothing once warmed up. Kept out of line: inlined, GCC
// sees the free() of a pointer from operator new and warns of a mismatch.
static std::atomic<long> allocations{0};

[[gnu::noinline]] void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using test_support::LayOutSlot;

// The subscriber and bag slots of a delivery application's descriptor.
const std::vector<int> kJo = {2, 2, 6, 8, 4, 10, 8, 1, 1, 5, 2, 1, 1, 1, 1, 1,
                              1, 1, 1, 4, 4, 10, 4, 6, 1, 1, 1, 1, 1, 2, 2, 32};
const std::vector<int> kSa = {2, 2, 6, 8, 4, 10, 4, 20, 5};

// The converted subscriber layout of a supplier: codes NR, E1, VA0100,
// RA123400, bag 0001, flags, state, three feeders, subscriber, reserve, one
// text line; no date.
TypeEnregistrementJournal Layout() {
    TypeEnregistrementJournal ej;
    std::memset(&ej, 0, sizeof ej);
    ej.SacUtilisateur = 1;
    ej.LongueurEnregistrement = 76;
    ej.Titre = {0, 2};
    ej.Edition = {2, 2};
    ej.Voiture = {4, 6};
    ej.Routage = {10, 8};
    ej.NumeroSac = {18, 4};
    ej.FinLiasse = {22, 1};
    ej.FinSac = {23, 1};
    ej.ChaineProduction = {24, 1};
    ej.Etat = {25, 2};
    ej.Margeurs = {27, 3};
    ej.Date = {0, 0};
    ej.Abonne = {30, 10};
    ej.Reserve = {40, 4};
    ej.Lignes[0] = {44, 32};
    return ej;
}

TypeEnregistrementSac BagLayout() {
    TypeEnregistrementSac es;
    std::memset(&es, 0, sizeof es);
    es.NumeroSac = {0, 4};
    es.CodeVoiture = {4, 4};
    es.Champ[0] = {8, 20};
    es.Champ[1] = {28, 5};
    return es;
}

const std::string kLine = "ECOLE SAINT-JOSEPH              ";
const std::string kRecord =
    "NR"
    "E1"
    "VA0100"
    "RA123400"
    "0001"
    "0"
    "0"
    "1"
    "A "
    "1 0"
    "0000001234"
    "    " +
    kLine;

class EmetteursTest : public ::testing::Test {
protected:
    void SetUp() override {
        LayOutSlot(base_, SlotJournal, kJo);
        LayOutSlot(base_, SlotSac, kSa);
        index_.Configure(2, 2, 6, 8);
        const std::string dir = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
        plat::CreateDirectory(dir);
        name_ = dir + "/emetteurs_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".out";
        fp_ = plat::File::Open(name_, "wb");
        ASSERT_TRUE(fp_.IsOpen());
    }
    // What the emitters wrote so far.
    std::string Written() {
        fp_.Flush();
        plat::File in = plat::File::Open(name_, "rb");
        std::string out(1 << 16, '\0');
        out.resize(in.Read(out.data(), 1, out.size()));
        return out;
    }
    std::string Journal(const std::string& record, int IndiceLiasse = 1) {
        const std::size_t before = Written().size();
        EXPECT_TRUE(emetteurs_.EnvoieEnregistrementJournal(fp_, record, NumeroAbonne_, IndiceLiasse,
                                                           "071226"));
        return Written().substr(before);
    }

    TypeEnregistrementJournal ej_ = Layout();
    TypeEnregistrementSac es_ = BagLayout();
    TableBase base_;
    TablesIndex index_;
    Emetteurs emetteurs_{ej_, es_, base_, index_};
    int NumeroAbonne_ = 0;
    std::string name_;
    plat::File fp_ = plat::File::Open("", "");
};

TEST_F(EmetteursTest, SubscriberRecordOfASupplierRecord) {
    ASSERT_EQ(kRecord.size(), 76u);
    const std::string expected =
        "NRE1VA0100RA123400"
        "0001"
        "0000000001"
        "00000001"
        "0"
        "0"
        "     "
        "A "
        "1 0"
        "     "
        "    "
        "0001"
        "0000001234"
        "    "
        "071226"
        "     "
        "    " +
        kLine + "\n";
    EXPECT_EQ(Journal(kRecord), expected);
    EXPECT_EQ(NumeroAbonne_, 1);
    // The next record carries the next sequence number.
    const std::string second = Journal(kRecord, 2);
    EXPECT_EQ(second.substr(22, 18), "000000000200000002");
    EXPECT_EQ(emetteurs_.BufJournal().substr(0, 126), second.substr(0, 126));
}

// The bundle index and the subscriber number are written from the last ones
// when they only move on by one: jumps, carries, numbers too long for their
// field and a fixed plan must give exactly what formatting them gives.
TEST_F(EmetteursTest, NumbersAcrossJumpsCarriesAndOverflow) {
    struct Step {
        int numeroAvant;  // NumeroAbonne before the call
        int liasse;
        const char* liasseTexte;
        const char* numeroTexte;
    } steps[] = {
        {0, 1, "0000000001", "00000001"},
        {1, 1, "0000000001", "00000002"},
        {8, 9, "0000000009", "00000009"},
        {9, 10, "0000000010", "00000010"},
        {99, 99, "0000000099", "00000100"},
        {41, 7, "0000000007", "00000042"},  // a title that comes back
        {42, 8, "0000000008", "00000043"},
        {99999998, 999999999, "0999999999", "99999999"},
        {99999999, 1000000000, "1000000000", "10000000"},  // nine digits cut to eight
        {100000000, 1000000001, "1000000001", "10000000"},
        {0, 2147483647, "2147483647", "00000001"},
        {1, -5, "-000000005", "00000002"},
    };
    for (const bool fige : {false, true}) {
        std::optional<Emetteurs::PlanFige> plan;
        if (fige) plan.emplace(emetteurs_, true);  // the record holds no zero byte
        for (const Step& step : steps) {
            NumeroAbonne_ = step.numeroAvant;
            const std::string record = Journal(kRecord, step.liasse);
            EXPECT_EQ(record.substr(22, 10), step.liasseTexte) << step.liasse << " fige " << fige;
            EXPECT_EQ(record.substr(32, 8), step.numeroTexte)
                << step.numeroAvant << " fige " << fige;
            // The fields around them are untouched by the fixed plan.
            EXPECT_EQ(record.substr(0, 22), "NRE1VA0100RA1234000001");
            EXPECT_EQ(record.substr(40, 7), "00     ");
        }
    }
}

// Under a fixed plan for clean records, the places of the writes are worked
// out once per record length: records of every length, short ones included,
// come out as they do without it.
TEST_F(EmetteursTest, FixedPlanWritesAsTheFieldByFieldWrites) {
    std::vector<std::string> expected;
    const std::vector<std::size_t> lengths = {76, 75, 60, 44, 30, 12, 1, 0, 76};
    for (const std::size_t length : lengths) {
        NumeroAbonne_ = 41;
        expected.push_back(Journal(kRecord.substr(0, length), 7));
    }
    const Emetteurs::PlanFige plan(emetteurs_, true);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        NumeroAbonne_ = 41;
        EXPECT_EQ(Journal(kRecord.substr(0, lengths[i]), 7), expected[i]) << lengths[i];
    }
}

TEST_F(EmetteursTest, SubscriberRecordsAllocateNothing) {
    // Past its first megabytes the stream has its large buffers too.
    for (int i = 0; i < 12000; ++i)
        ASSERT_TRUE(emetteurs_.EnvoieEnregistrementJournal(fp_, kRecord, NumeroAbonne_, i, ""));
    const long before = allocations.load();
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(
            emetteurs_.EnvoieEnregistrementJournal(fp_, kRecord, NumeroAbonne_, i, "071226"));
    }
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_EQ(NumeroAbonne_, 17000);
}

TEST_F(EmetteursTest, FieldVariantsOfTheLayout) {
    struct Case {
        const char* name;
        void (*change)(TypeEnregistrementJournal&);
        std::string record;
        int position, width;  // base record slice to check
        std::string expected;
    };
    std::string with_date = kRecord;
    with_date.replace(30, 6, "311299");
    std::string with_zero = kRecord;
    with_zero[32] = '\0';
    std::string long_record = kRecord + std::string(60, '.');
    long_record.replace(120, 3, "XYZ");
    const std::vector<Case> cases = {
        {"bag of a subscriber is its route when SacUtilisateur is 0",
         [](TypeEnregistrementJournal& ej) { ej.SacUtilisateur = 0; }, kRecord, 18, 4, "RA12"},
        {"bag of a subscriber is its supplier bag", [](TypeEnregistrementJournal&) {}, kRecord, 18,
         4, "0001"},
        {"date field of the record",
         [](TypeEnregistrementJournal& ej) {
             ej.Date = {30, 6};
         },
         with_date, 79, 6, "311299"},
        {"special field 1 takes the date's place",
         [](TypeEnregistrementJournal& ej) {
             ej.ChampSpecial[1] = {0, 6};
         },
         kRecord, 79, 6, "NRE1VA"},
        {"special field 0",
         [](TypeEnregistrementJournal& ej) {
             ej.ChampSpecial[0] = {18, 4};
         },
         kRecord, 57, 4, "0001"},
        {"special field 6",
         [](TypeEnregistrementJournal& ej) {
             ej.ChampSpecial[6] = {22, 2};
         },
         kRecord, 89, 1, "0"},
        {"feeders at 120 go to fields 11 to 13",
         [](TypeEnregistrementJournal& ej) {
             ej.Margeurs = {120, 3};
         },
         long_record, 49, 8, "XYZ     "},
        {"a zero byte ends a field", [](TypeEnregistrementJournal&) {}, with_zero, 65, 10,
         std::string("00\0\0\0\0\0\0\0\0", 10)},
        {"more feeders than fields run on to field 20",
         [](TypeEnregistrementJournal& ej) {
             ej.Margeurs = {0, 10};
         },
         kRecord, 49, 8, "NRE1VA01"},
    };
    for (const Case& c : cases) {
        ej_ = Layout();
        c.change(ej_);
        const std::string out = Journal(c.record);
        ASSERT_EQ(out.size(), 127u) << c.name;
        EXPECT_EQ(out.substr(c.position, c.width), c.expected) << c.name;
    }
}

// The emitter keeps what it worked out from the layout and the subscriber
// slot: a slot laid out again between two records must be followed.
TEST_F(EmetteursTest, ASlotLaidOutAgainIsFollowed) {
    Journal(kRecord);
    std::vector<int> narrower = kJo;
    narrower[0] = 3;  // every field one place to the right, and one more field
    narrower.push_back(4);
    LayOutSlot(base_, SlotJournal, narrower);
    const std::string out = Journal(kRecord);
    ASSERT_EQ(out.size(), 132u);
    EXPECT_EQ(out.substr(0, 9), "NR E1VA01");
    EXPECT_EQ(out.substr(94, 33), " " + kLine);
}

// A supplier record that ends early gives zero bytes where it lacks
// characters, as one whose missing characters are zero bytes: the first is
// written with adjacent fields copied together, the second field by field.
TEST_F(EmetteursTest, ShortRecordReadsAsOneEndingInZeroBytes) {
    for (std::size_t length = 0; length <= kRecord.size(); ++length) {
        const std::string shortRecord = kRecord.substr(0, length);
        NumeroAbonne_ = 0;
        const std::string joined = Journal(shortRecord);
        NumeroAbonne_ = 0;
        const std::string byField =
            Journal(shortRecord + std::string(kRecord.size() - length, '\0'));
        EXPECT_EQ(joined, byField) << length;
    }
}

TEST_F(EmetteursTest, DescriptorsThatDoNotFitTheLayout) {
    // Fewer fields than the emitter fills: the others are not written.
    LayOutSlot(base_, SlotJournal, {2, 2, 6});
    EXPECT_EQ(Journal(kRecord), "NRE1VA0100\n");
    // 100 fields of width 0: only line feeds.
    LayOutSlot(base_, SlotJournal, std::vector<int>(100, 0));
    EXPECT_EQ(Journal(kRecord), "\n");
    // Layout positions far beyond the record give zero bytes, never a crash.
    LayOutSlot(base_, SlotJournal, kJo);
    ej_.Abonne = {2000000000, 10};
    ej_.Margeurs = {2147483640, 100};
    ej_.Lignes[0] = {-50, 32};
    const std::string out = Journal(kRecord);
    EXPECT_EQ(out.substr(65, 10), std::string(10, '\0'));
    EXPECT_EQ(out.substr(94, 32), std::string(32, '\0'));
    // A record that cannot be written is reported.
    plat::File closed = plat::File::Open("", "");
    EXPECT_FALSE(emetteurs_.EnvoieEnregistrementJournal(closed, kRecord, NumeroAbonne_, 1, ""));
}

class EmetteursSacTest : public EmetteursTest {
protected:
    void SetUp() override {
        EmetteursTest::SetUp();
        index_.M_ilot.Ajoute({"RA123400", "VA0100"});
        index_.M_ilot.Ajoute({"RB000000", "VB0100"});
        index_.M_ilot.Ajoute({"RA123401", "VA0101"});
        index_.M_ilot.Ajoute({"RC000000", "VC0100"});
        index_.M_igroupe.Ajoute({"VA0100", "E1"});
        index_.M_igroupe.Ajoute({"VB0100", "E9"});
        index_.M_iedition.Ajoute({"E1", "NR"});
    }
    std::string Sac(const std::string& bag) {
        const std::size_t before = Written().size();
        EXPECT_TRUE(emetteurs_.EnvoieEnregistrementSac(fp_, bag));
        return Written().substr(before);
    }
    std::string Direct(const std::string& bag, int IndiceLot) {
        const std::size_t before = Written().size();
        EXPECT_TRUE(emetteurs_.EnvoieEnregistrementSacDirect(fp_, bag, IndiceLot));
        return Written().substr(before);
    }
};

const std::string kFields = "Sac 0001            00012\n";

TEST_F(EmetteursSacTest, RouteFoundThroughTheVehicle) {
    struct Case {
        const char* name;
        std::string bag;
        std::string codes;  // title, edition, vehicle, route
    };
    const std::vector<Case> cases = {
        {"all levels resolved", "0001VA01Sac 0001            00012", "NRE1VA0100RA123400"},
        {"vehicle without a route", "0001VZ01Sac 0001            00012", std::string(18, ' ')},
        {"route whose vehicle has no network", "0001VC01Sac 0001            00012",
         "    VC0100RC000000"},
        {"network whose edition has no entry", "0001VB01Sac 0001            00012",
         "  E9VB0100RB000000"},
        {"bag line too short for its vehicle", "0001VA", std::string(18, ' ')},
    };
    for (const Case& c : cases) {
        const std::string out = Sac(c.bag);
        ASSERT_EQ(out.size(), 62u) << c.name;
        EXPECT_EQ(out.substr(0, 18), c.codes) << c.name;
        EXPECT_EQ(out.substr(18, 4), c.bag.substr(0, 4)) << c.name;
        EXPECT_EQ(out.substr(22, 14), std::string(14, ' ')) << c.name;
    }
    EXPECT_EQ(Sac("0001VA01Sac 0001            00012"),
              "NRE1VA0100RA1234000001              " + kFields);
}

TEST_F(EmetteursSacTest, RouteGivenByItsIndex) {
    const std::string bag = "0001VA01Sac 0001            00012";
    EXPECT_EQ(Direct(bag, 0), "NRE1VA0100RA1234000001              " + kFields);
    EXPECT_EQ(Direct(bag, 2).substr(0, 18), "    VA0101RA123401");
    EXPECT_EQ(Direct(bag, 1).substr(0, 18), "  E9VB0100RB000000");
    EXPECT_EQ(Direct(bag, 99999).substr(0, 18), std::string(18, ' '));
    EXPECT_EQ(Direct(bag, -1).substr(0, 18), std::string(18, ' '));
    // A bag code alone, padded with blanks: blank supplier fields.
    EXPECT_EQ(Direct("0042" + std::string(29, ' '), 0),
              "NRE1VA0100RA1234000042" + std::string(39, ' ') + "\n");
}

// The same route index again gives what the tables give now: entries
// registered since, and the other bag emitter's work codes in between.
TEST_F(EmetteursSacTest, RouteGivenByItsIndexAgainFollowsTheTables) {
    const std::string bag = "0001VA01Sac 0001            00012";
    EXPECT_EQ(Direct(bag, 2).substr(0, 18), "    VA0101RA123401");
    EXPECT_EQ(Direct(bag, 2).substr(0, 18), "    VA0101RA123401");
    index_.M_igroupe.Ajoute({"VA0101", "E2"});
    EXPECT_EQ(Direct(bag, 2).substr(0, 18), "  E2VA0101RA123401");
    index_.M_iedition.Ajoute({"E2", "NS"});
    EXPECT_EQ(Direct(bag, 2).substr(0, 18), "NSE2VA0101RA123401");
    EXPECT_EQ(Sac("0001VB01Sac 0001            00012").substr(0, 18), "  E9VB0100RB000000");
    EXPECT_EQ(Direct(bag, 2).substr(0, 18), "NSE2VA0101RA123401");
    EXPECT_EQ(Direct(bag, 0).substr(0, 18), "NRE1VA0100RA123400");
    // A next run fills its tables anew, to the same sizes (4 routes, 3
    // networks, 2 editions) with other codes.
    index_.Configure(2, 2, 6, 8);
    for (const char* route : {"RZ000000", "RY000000", "RX000000", "RW000000"})
        index_.M_ilot.Ajoute({route, "VZ0100"});
    for (const char* reseau : {"VZ0100", "VY0100", "VX0100"})
        index_.M_igroupe.Ajoute({reseau, "E7"});
    index_.M_iedition.Ajoute({"E7", "NT"});
    index_.M_iedition.Ajoute({"E8", "NU"});
    EXPECT_EQ(Direct(bag, 0).substr(0, 18), "NTE7VZ0100RZ000000");
}

TEST_F(EmetteursSacTest, UndeclaredBagFieldsAreNotWritten) {
    es_.Champ[1] = {28, 0};
    es_.Champ[9] = {0, 4};  // field 16: not in this descriptor
    EXPECT_EQ(Sac("0001VA01Sac 0001            00012"),
              "NRE1VA0100RA1234000001              Sac 0001                 \n");
}

}  // namespace
