#include "tags/VorbisComment.h"

#include <gtest/gtest.h>

#include "encoders/EncoderTestFiles.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

// Ogg Vorbis and FLAC carry the texts as UTF-8 Vorbis comments in a fixed
// order, which mutagen reads back; an ID3v1 tag follows the stream only when
// asked for. The format's own checker stops at that trailing block (a hole,
// lost sync), so it checks the stream before it, which must be whole.
TEST(VorbisComment, OggAndFlacFilesCarryTheTextsAndId3v1OnlyWhenAsked) {
    TIDTag tag;
    tag.Title = "Звезда по имени Солнце";
    tag.Artist = "Кино";
    tag.Album = "Café Noël";
    tag.Comment = "live";
    tag.Track = "05";
    tag.Year = "1988";
    tag.Genre = "Rock";
    struct Case {
        const char* format;
        std::uint8_t index;
        const char* mutagen;  // module.class
        const char* check;    // checks a file named after it
    };
    const Case cases[] = {
        {"ogg", 3, "mutagen.oggvorbis.OggVorbis", "ogginfo "},
        {"flac", 7, "mutagen.flac.FLAC", "flac -t -s "},
    };
    TempDir dir;
    const std::string pcm = musicLikePcm(0.5, 44100, 2);
    for (const Case& c : cases) {
        for (const bool id3v1 : {false, true}) {
            SCOPED_TRACE(std::string(c.format) + (id3v1 ? " with ID3v1" : " without ID3v1"));
            EncoderConfig config = mp3Defaults();
            config.EncoderIndex = c.index;
            config.OGGID1Tag = config.FLACWriteID1 = id3v1;
            const std::string path = dir / (std::string("tagged.") + c.format);
            ASSERT_GT(encodeFile(config, PcmFormat::pcm16(44100, 2), pcm, path, &tag), 0);
            const std::string module = c.mutagen;
            EXPECT_EQ(python("import " + module.substr(0, module.rfind('.')) + "; f = " + module + "('" + path +
                             "'); print('|'.join(k + '=' + v for k, v in f.tags))"),
                      "COMMENT=live|TRACKNUMBER=05|GENRE=Rock|DATE=1988|TITLE=Звезда по имени Солнце|ARTIST=Кино|"
                      "ALBUM=Café Noël\n");
            const std::string bytes = readFile(path);
            ASSERT_GT(bytes.size(), 128u);
            EXPECT_EQ(bytes.substr(bytes.size() - 128, 3) == "TAG", id3v1);
            const std::string stream = dir / (std::string("stream.") + c.format);
            writeFile(stream, bytes.substr(0, bytes.size() - (id3v1 ? 128 : 0)));
            std::string out;
            EXPECT_EQ(runCommand(c.check + shellQuote(stream), &out, true), 0) << out;
            if (c.index == 7) {
                ASSERT_EQ(runCommand("ffmpeg -v error -i " + shellQuote(stream) + " -f s16le -", &out), 0);
                EXPECT_TRUE(out == pcm) << "decoded samples differ";
            }
        }
    }
}
