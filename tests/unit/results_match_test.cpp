#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"
#include "results/name_match.h"

namespace mv {
namespace {

// Bytes that exercise the rule: ASCII letters of both cases (also as trail
// bytes), line ends, backslash (also a GBK trail byte), and lead bytes.
const unsigned char kAlphabet[] = {'a', 'b', 'A', 'B', 'x', '\r', '\n', '\\', 0x81, 0xB0, 0xFE, 0x40, 0x5C};

Text randomText(std::mt19937& rng, size_t maxLength) {
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
    Text t(length(rng), '\0');
    for (char& c : t) c = static_cast<char>(kAlphabet[pick(rng)]);
    return t;
}

// Names that mostly occur somewhere: cut from the text at any byte (a trail
// byte included), with letters flipped in case, or entirely random.
Text randomName(std::mt19937& rng, const Text& text) {
    std::uniform_int_distribution<int> kind(0, 3);
    if (text.empty() || kind(rng) == 0) return randomText(rng, 4);
    size_t from = std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng);
    size_t length = std::uniform_int_distribution<size_t>(0, std::min<size_t>(6, text.size() - from))(rng);
    Text name = text.substr(from, length);
    for (char& c : name) {
        if (kind(rng) == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
    }
    return name;
}

TEST(FindNames, SameAsFindTextOnRandomTexts) {
    std::mt19937 rng(20251211);
    for (int round = 0; round < 5000; ++round) {
        Text text = randomText(rng, 48);
        std::vector<Text> names(std::uniform_int_distribution<size_t>(1, 24)(rng));
        for (Text& n : names) n = randomName(rng, text);
        std::vector<bool> found = findNames(text, names);
        ASSERT_EQ(found.size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(found[i], findText(text, names[i], true) != -1)
                << "round " << round << ": name " << testing::PrintToString(names[i]) << " in "
                << testing::PrintToString(text);
        }
    }
}

// Many names sharing prefixes and suffixes, against a longer text, so that
// failure chains run deep and names end inside other names.
TEST(FindNames, SameAsFindTextWithManyNames) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Text text = randomText(rng, 2000);
        std::vector<Text> names(500);
        for (Text& n : names) n = randomName(rng, text);
        std::vector<bool> found = findNames(text, names);
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(found[i], findText(text, names[i], true) != -1)
                << "round " << round << ": name " << testing::PrintToString(names[i]);
        }
    }
}

}  // namespace
}  // namespace mv
