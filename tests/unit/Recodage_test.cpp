#include "import/Recodage.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string AfterRoute(std::string code, int times) {
    for (int i = 0; i < times; ++i) AvancerSuffixeRoutage(code);
    return code;
}

std::string AfterVehicle(std::string code, int times) {
    for (int i = 0; i < times; ++i) AvancerSuffixeVoiture(code);
    return code;
}

TEST(Recodage, RouteSuffixSequence) {
    struct Row {
        const char* name;
        std::string start;
        int times;
        std::string expected;
    } rows[] = {
        {"first recoding", "RA123400", 1, "RA123401"},
        {"ninth", "RA123400", 9, "RA123409"},
        {"after 9 comes A", "RA123400", 10, "RA12340A"},
        {"last letter", "RA123400", 35, "RA12340Z"},
        {"36th carries", "RA123400", 36, "RA123410"},
        {"37th", "RA123400", 37, "RA123411"},
        {"carry from 9 gives A", "RA12349Z", 1, "RA1234A0"},
        {"blank last becomes 0", "RA1234  ", 1, "RA1234 0"},
        {"carry over a blank", "RA1234 Z", 1, "RA123400"},
        {"carry past Z in front", "RA1234ZZ", 1, "RA1234[0"},
        {"shortest code", "00", 1, "01"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AfterRoute(row.start, row.times), row.expected) << row.name;
}

TEST(Recodage, VehicleSuffixSequence) {
    struct Row {
        const char* name;
        std::string start;
        int times;
        std::string expected;
    } rows[] = {
        {"first recoding", "ABCD00", 1, "ABCD01"},
        {"after 9 comes A", "ABCD00", 10, "ABCD0A"},
        {"after Z comes a", "ABCD0Z", 1, "ABCD0a"},
        {"lower case run", "ABCD00", 36 + 26 - 1, "ABCD0z"},
        {"blank becomes 0", "ABCD0 ", 1, "ABCD00"},
        {"only the last character moves", "ABCD09", 1, "ABCD0A"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AfterVehicle(row.start, row.times), row.expected) << row.name;
}

// A search for a free code that gives up after the announced number of tries
// has really seen every code the sequence can reach.
TEST(Recodage, SequencesComeRoundWithinTheirBound) {
    std::set<std::string> seen;
    std::string route = "R00";
    for (int i = 0; i < kSuffixesRoutage; ++i) {
        seen.insert(route);
        AvancerSuffixeRoutage(route);
    }
    EXPECT_TRUE(seen.count(route)) << "the route sequence is still producing new codes";

    seen.clear();
    std::string vehicle = "V0";
    for (int i = 0; i < kSuffixesVoiture; ++i) {
        seen.insert(vehicle);
        AvancerSuffixeVoiture(vehicle);
    }
    EXPECT_TRUE(seen.count(vehicle)) << "the vehicle sequence is still producing new codes";
}

}  // namespace
