// CD-TEXT letters: cp1251 discs (declaring ISO-8859-1, as Russian pressings
// do) arrive intact, ISO-8859-1 discs never turn Cyrillic and keep what the
// cp1251 record can hold.
#include <gtest/gtest.h>

#include "disc/CDText.h"
#include "drive/CdTextBuilder.h"

using namespace melvarin;

namespace {

using Charset = CdTextBuilder::Charset;

// The READ TOC format 5 reply the emulated drive gives for these texts.
std::vector<std::uint8_t> Reply(const CdTextBuilder::Texts& album, const std::vector<CdTextBuilder::Texts>& tracks,
                                Charset charset) {
    std::vector<std::uint8_t> r = {0, 0, 0, 0};
    const auto packs = CdTextBuilder::build(album, tracks, 1, charset);
    r.insert(r.end(), packs.begin(), packs.end());
    r[0] = std::uint8_t((r.size() - 2) >> 8);
    r[1] = std::uint8_t(r.size() - 2);
    return r;
}

}  // namespace

TEST(CDText, TellsCp1251FromLatin1ByTheBytes) {
    struct Case {
        const char* what;
        Charset charset;
        std::vector<std::string> texts;     // album, artist, then track titles (UTF-8 on the disc's side)
        std::vector<std::string> expected;  // the same as the record gives them back
    };
    const std::vector<Case> cases = {
        {"Russian pressing", Charset::Cp1251,
         {"Группа крови", "Кино", "Звезда по имени Солнце", "Я и ты", "Ёлка — «Новый год»"},
         {"Группа крови", "Кино", "Звезда по имени Солнце", "Я и ты", "Ёлка — «Новый год»"}},
        {"one-letter words among longer ones", Charset::Cp1251, {"А и Б", "Я", "Ты", "В", "С"},
         {"А и Б", "Я", "Ты", "В", "С"}},
        {"a cp1251 dash alone decides", Charset::Cp1251, {"Live — 1999", "Band", "Intro", "Outro", "End"},
         {"Live — 1999", "Band", "Intro", "Outro", "End"}},
        {"Latin-1 accents", Charset::Latin1,
         {"Café Noël", "Mötley Crüe", "Straße", "ÉTÉ À Paris", "© 1999 «Live» °"},
         {"Cafe Noel", "Motley Crue", "Strasse", "ETE A Paris", "© 1999 «Live» °"}},
        {"Latin-1 signs cp1251 lacks", Charset::Latin1, {"½ Price ¿Qué?", "Bjørk", "Þing", "Æon", "x"},
         {"? Price ?Que?", "Bjork", "Thing", "AEon", "x"}},
        {"plain ASCII", Charset::Latin1, {"Album", "Artist", "One", "Two", "Three"},
         {"Album", "Artist", "One", "Two", "Three"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<CdTextBuilder::Texts> tracks;
        for (std::size_t i = 2; i < c.texts.size(); ++i) tracks.push_back({c.texts[i], "Someone"});
        const auto reply = Reply({c.texts[0], c.texts[1]}, tracks, c.charset);
        DiscRecord d;
        d.clear();
        ASSERT_TRUE(ParseCDText(reply.data(), reply.size(), d, int(tracks.size())));
        EXPECT_EQ(d.album(), c.expected[0]);
        EXPECT_EQ(d.artist(), c.expected[1]);
        for (std::size_t t = 0; t < tracks.size(); ++t) EXPECT_EQ(d.title(int(t)), c.expected[t + 2]) << t;
    }
}

// Pressed discs pad between strings with several NULs: the padding names no
// track, so later titles stay on their tracks.
TEST(CDText, NulPaddingBetweenStringsKeepsTheTracks) {
    const struct {
        std::uint8_t type, track;
        const char text[13];
    } packs[] = {
        {0x80, 0, "Album\0\0\0One\0"},    // album, then track 1 after padding
        {0x80, 2, "Two\0\0Three\0\0"},    // tracks 2 and 3
        {0x81, 0, "Band\0\0\0\0\0\0\0\0"},  // the disc's performer, padded to the end
    };
    std::vector<std::uint8_t> reply = {0, 0, 0, 0};
    std::uint8_t sequence = 0;
    for (const auto& p : packs) {
        reply.insert(reply.end(), {p.type, p.track, sequence++, 0});
        reply.insert(reply.end(), p.text, p.text + 12);
        reply.insert(reply.end(), {0, 0});  // CRC, not checked
    }
    DiscRecord d;
    d.clear();
    ASSERT_TRUE(ParseCDText(reply.data(), reply.size(), d, 3));
    EXPECT_EQ(d.album(), "Album");
    EXPECT_EQ(d.artist(), "Band");
    EXPECT_EQ(d.title(0), "One");
    EXPECT_EQ(d.title(1), "Two");
    EXPECT_EQ(d.title(2), "Three");
}
