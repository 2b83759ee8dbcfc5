#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/Cp1251.h"

namespace melvarin {

static_assert(std::endian::native == std::endian::little,
              "the settings file is a raw little-endian dump of SettingsRecord");

// Every stored settings field. The byte layout below *is* the settings file
// ("setting/set.dat") and every profile file: no version, no checksum.
// Text fields hold code page 1251 with a terminating zero inside the field; use
// getText/setText to move them to and from UTF-8. "Flag" fields are one byte:
// 0 = off, any other value = on (we write 1).
#pragma pack(push, 1)

// Encoder options; stored verbatim at offset 1100 of the settings record.
struct EncoderConfig {
    uint32_t LameBitrate;       // index into {0,32,40,...,320,350} kbit/s; >15 means kbit/s itself
    uint32_t MaxBR;             // VBR maximum, same encoding as LameBitrate
    uint32_t LameMode;          // 0 Stereo, 1 JoinStereo, 2 Dualchannel, 3 Mono
    int32_t VBRMethod;          // VBRBox index - 1 (-1 None ... 3 MTRH)
    uint32_t VBRQ;              // VBR quality 0..9
    uint8_t VBR;                // flag: variable bitrate
    uint8_t reserved21;
    int16_t LameQuality;        // LAME preset value (-1, 0, 1, 2, 1000 ... 10000)
    uint32_t OggMinBR;          // index into the Vorbis bitrate table
    uint32_t OggMaxBR;
    uint32_t OggNomBR;
    int32_t OggQualityLevel;    // thousandths, -100..999
    uint8_t OggQuality;         // flag: quality (VBR) mode
    uint8_t OGGID1Tag;          // flag
    uint8_t reserved42[2];
    uint32_t FAACBitrate;       // index into the AAC bitrate table
    uint8_t FAACUseTns;         // flag
    uint8_t reserved49[3];
    uint8_t FAACAllowMS;        // flag
    uint8_t reserved53[3];
    uint32_t FAACObjectType;    // 0 LC, 1 Main, 2 LTP
    uint8_t FAACMPEG4;          // flag: MPEG-4 (else MPEG-2)
    uint8_t reserved61[3];
    uint8_t FAACMono;           // flag
    uint8_t reserved65[3];
    uint32_t APE_Level;         // 0 Fast .. 3 Extra High
    uint8_t APE_Mono;           // flag
    uint8_t reserved73[3];
    uint8_t UseDRM;             // flag
    uint8_t WMABitrate;         // index into the WMA bitrate table
    uint8_t reserved78[2];
    char ACMFileExt[6];         // text: extension with its dot, at most 5 characters
    uint8_t ACMWriteWAVEHead;   // flag
    uint8_t ACMWriteTag;        // flag
    uint32_t ACMCodec;          // index of the ACM driver
    uint32_t ACMFormat;         // index of the format within that driver
    uint8_t ACMID1Tag;          // flag
    uint8_t reserved97[3];
    uint8_t EMSCoding;          // flag: FLAC exhaustive model search
    uint8_t BlockSize;          // index into the FLAC block-size table
    uint8_t LPCOrder;           // index into the FLAC LPC-order table
    uint8_t EscapeCoding;       // flag
    uint8_t RPOMin;
    uint8_t RPOMax;
    uint8_t MSC;                // flag
    uint8_t AMSC;               // flag
    uint8_t FLACWriteID1;       // flag
    uint8_t reserved109[3];
    uint32_t ExtEncoder;        // 0 Monkey's Audio, 1 FLAC, 2 AAC, 3 ACM
    uint32_t Codec;             // ACM MP3 codec position (0 with LAME)
    uint16_t Format;            // FormatBox index
    uint8_t UseLame;            // flag
    uint8_t Normalize;          // flag
    uint8_t OnTheFlyEncoding;   // flag
    uint8_t SetMin;             // percent
    uint8_t SetMax;             // percent
    uint8_t Min;                // percent
    uint8_t Max;                // percent
    uint8_t EncoderIndex;       // encoder index table
    uint8_t MP3ID1Tag;          // flag
    uint8_t MP3ID2Tag;          // flag
};

struct SettingsRecord {
    char WorkDir[261];              // text: folder for grabbed files
    uint8_t File_UseTrackName;      // flag
    uint8_t File_UseAlbumName;      // flag
    uint8_t File_UseArtistName;     // flag
    uint8_t File_UseTrackNum;       // flag
    uint8_t Dir_AsAlbumName;        // flag
    uint8_t Dir_AsArtistName;       // flag
    uint8_t UseFormatString;        // flag
    char Format[30];                // text: file-name pattern, at most 29 characters
    uint8_t DeviceName;             // index of the reading drive
    uint8_t Speed;                  // 1..50, 255 = maximum
    uint8_t UseAsCDPlayer;          // flag
    uint8_t EjectACopy;             // flag
    uint8_t NumSecRead;             // sectors per read command
    uint8_t Interface;              // 0 = ASPI (sg), 1 = SPTI (sr)
    uint8_t Volume;                 // 0..255
    uint8_t VolumeOnCD;             // flag
    uint8_t DP;                     // flag: digital playback
    uint8_t LockCD;                 // flag
    uint8_t RCD;                    // flag
    uint8_t CommandType[32];        // read command per drive index
    uint8_t BigEndian[32];          // flag per drive index
    uint8_t ExtractMethod;          // 0..3
    uint8_t Rotate;                 // flag
    uint8_t CDTEXT;                 // flag
    uint8_t ShutComp;               // flag
    uint8_t ShowGrid;               // flag
    uint8_t Priority;               // flag
    uint8_t UseProxy;               // flag
    char Server[25];                // text
    char Proxy[25];                 // text
    char Path[30];                  // text
    char User[25];                  // text
    char Password[20];              // text
    uint8_t ServerListIndex;
    uint8_t reserved506[2];
    int32_t TimeOut;                // milliseconds
    int32_t Port;                   // proxy port
    char LCDDBPath[260];            // text: local CDDB folder
    uint8_t Unix;                   // flag
    uint8_t UseOnlyLocalBase;       // flag
    uint8_t reserved778;
    uint8_t SettingsPage;
    int16_t ColumnWidths[5];        // pixels
    uint8_t ShowWAVE;               // flag
    uint8_t ShowWMA;                // flag
    uint8_t ShowBURN;               // flag
    uint8_t ShowConvert;            // flag
    uint8_t ShowFreeDB;             // flag
    uint8_t ShowPlayer;             // flag
    uint8_t ShowEXT;                // flag
    char ConvertDir[261];           // text
    uint8_t ConvertDirection;
    uint8_t ConvertSaveDir;         // flag
    uint8_t ConvertBitRate;
    uint8_t ConvertDown;            // flag
    uint8_t SizeMode;               // flag
    uint8_t reserved1063;
    uint32_t WindowColor;           // 0x00BBGGRR or system colour 0x800000nn
    uint32_t ControlColor;
    uint32_t PlayBarColor;
    uint8_t MP3AsOGG;               // flag
    char Language[20];              // text
    uint8_t CUE;                    // flag
    uint8_t reserved1098[2];
    ::melvarin::EncoderConfig EncoderConfig;  // encoder options
    uint8_t BurnDevice;
    uint8_t BurnSpeed;              // 255 = maximum, else 32, 16, 8, 4, 1
    uint8_t BurnPrior;              // 0 Normal, 1 IDLE, 2 Max
    uint8_t reserved1235;
    uint16_t BlockCount;            // sectors per write command
    uint8_t Ask;                    // flag
    uint8_t OPC;                    // flag
    uint8_t reserved1240[4];
    uint8_t PlaySound;              // flag
    uint8_t SaveLastProject;        // flag
    uint8_t WriteToWavFile;         // flag
    char FileName[260];             // text: WAVE file played at the end
    uint8_t EjectAfterBurn;         // flag
    uint8_t WriteCue;               // flag
    uint8_t NSDisc;                 // flag
    uint8_t reserved1510[2];
    uint8_t EditTag;                // flag
    uint8_t reserved1513[3];
};

#pragma pack(pop)

static_assert(sizeof(EncoderConfig) == 132);
static_assert(sizeof(SettingsRecord) == 1516);
static_assert(std::is_trivially_copyable_v<SettingsRecord> && std::is_standard_layout_v<SettingsRecord>);

#define MELVARIN_AT(T, f, o) static_assert(offsetof(T, f) == (o), #f)
MELVARIN_AT(EncoderConfig, LameBitrate, 0);
MELVARIN_AT(EncoderConfig, MaxBR, 4);
MELVARIN_AT(EncoderConfig, LameMode, 8);
MELVARIN_AT(EncoderConfig, VBRMethod, 12);
MELVARIN_AT(EncoderConfig, VBRQ, 16);
MELVARIN_AT(EncoderConfig, VBR, 20);
MELVARIN_AT(EncoderConfig, LameQuality, 22);
MELVARIN_AT(EncoderConfig, OggMinBR, 24);
MELVARIN_AT(EncoderConfig, OggMaxBR, 28);
MELVARIN_AT(EncoderConfig, OggNomBR, 32);
MELVARIN_AT(EncoderConfig, OggQualityLevel, 36);
MELVARIN_AT(EncoderConfig, OggQuality, 40);
MELVARIN_AT(EncoderConfig, OGGID1Tag, 41);
MELVARIN_AT(EncoderConfig, FAACBitrate, 44);
MELVARIN_AT(EncoderConfig, FAACUseTns, 48);
MELVARIN_AT(EncoderConfig, FAACAllowMS, 52);
MELVARIN_AT(EncoderConfig, FAACObjectType, 56);
MELVARIN_AT(EncoderConfig, FAACMPEG4, 60);
MELVARIN_AT(EncoderConfig, FAACMono, 64);
MELVARIN_AT(EncoderConfig, APE_Level, 68);
MELVARIN_AT(EncoderConfig, APE_Mono, 72);
MELVARIN_AT(EncoderConfig, UseDRM, 76);
MELVARIN_AT(EncoderConfig, WMABitrate, 77);
MELVARIN_AT(EncoderConfig, ACMFileExt, 80);
MELVARIN_AT(EncoderConfig, ACMWriteWAVEHead, 86);
MELVARIN_AT(EncoderConfig, ACMWriteTag, 87);
MELVARIN_AT(EncoderConfig, ACMCodec, 88);
MELVARIN_AT(EncoderConfig, ACMFormat, 92);
MELVARIN_AT(EncoderConfig, ACMID1Tag, 96);
MELVARIN_AT(EncoderConfig, EMSCoding, 100);
MELVARIN_AT(EncoderConfig, BlockSize, 101);
MELVARIN_AT(EncoderConfig, LPCOrder, 102);
MELVARIN_AT(EncoderConfig, EscapeCoding, 103);
MELVARIN_AT(EncoderConfig, RPOMin, 104);
MELVARIN_AT(EncoderConfig, RPOMax, 105);
MELVARIN_AT(EncoderConfig, MSC, 106);
MELVARIN_AT(EncoderConfig, AMSC, 107);
MELVARIN_AT(EncoderConfig, FLACWriteID1, 108);
MELVARIN_AT(EncoderConfig, ExtEncoder, 112);
MELVARIN_AT(EncoderConfig, Codec, 116);
MELVARIN_AT(EncoderConfig, Format, 120);
MELVARIN_AT(EncoderConfig, UseLame, 122);
MELVARIN_AT(EncoderConfig, Normalize, 123);
MELVARIN_AT(EncoderConfig, OnTheFlyEncoding, 124);
MELVARIN_AT(EncoderConfig, SetMin, 125);
MELVARIN_AT(EncoderConfig, SetMax, 126);
MELVARIN_AT(EncoderConfig, Min, 127);
MELVARIN_AT(EncoderConfig, Max, 128);
MELVARIN_AT(EncoderConfig, EncoderIndex, 129);
MELVARIN_AT(EncoderConfig, MP3ID1Tag, 130);
MELVARIN_AT(EncoderConfig, MP3ID2Tag, 131);

MELVARIN_AT(SettingsRecord, WorkDir, 0);
MELVARIN_AT(SettingsRecord, File_UseTrackName, 261);
MELVARIN_AT(SettingsRecord, File_UseAlbumName, 262);
MELVARIN_AT(SettingsRecord, File_UseArtistName, 263);
MELVARIN_AT(SettingsRecord, File_UseTrackNum, 264);
MELVARIN_AT(SettingsRecord, Dir_AsAlbumName, 265);
MELVARIN_AT(SettingsRecord, Dir_AsArtistName, 266);
MELVARIN_AT(SettingsRecord, UseFormatString, 267);
MELVARIN_AT(SettingsRecord, Format, 268);
MELVARIN_AT(SettingsRecord, DeviceName, 298);
MELVARIN_AT(SettingsRecord, Speed, 299);
MELVARIN_AT(SettingsRecord, UseAsCDPlayer, 300);
MELVARIN_AT(SettingsRecord, EjectACopy, 301);
MELVARIN_AT(SettingsRecord, NumSecRead, 302);
MELVARIN_AT(SettingsRecord, Interface, 303);
MELVARIN_AT(SettingsRecord, Volume, 304);
MELVARIN_AT(SettingsRecord, VolumeOnCD, 305);
MELVARIN_AT(SettingsRecord, DP, 306);
MELVARIN_AT(SettingsRecord, LockCD, 307);
MELVARIN_AT(SettingsRecord, RCD, 308);
MELVARIN_AT(SettingsRecord, CommandType, 309);
MELVARIN_AT(SettingsRecord, BigEndian, 341);
MELVARIN_AT(SettingsRecord, ExtractMethod, 373);
MELVARIN_AT(SettingsRecord, Rotate, 374);
MELVARIN_AT(SettingsRecord, CDTEXT, 375);
MELVARIN_AT(SettingsRecord, ShutComp, 376);
MELVARIN_AT(SettingsRecord, ShowGrid, 377);
MELVARIN_AT(SettingsRecord, Priority, 378);
MELVARIN_AT(SettingsRecord, UseProxy, 379);
MELVARIN_AT(SettingsRecord, Server, 380);
MELVARIN_AT(SettingsRecord, Proxy, 405);
MELVARIN_AT(SettingsRecord, Path, 430);
MELVARIN_AT(SettingsRecord, User, 460);
MELVARIN_AT(SettingsRecord, Password, 485);
MELVARIN_AT(SettingsRecord, ServerListIndex, 505);
MELVARIN_AT(SettingsRecord, TimeOut, 508);
MELVARIN_AT(SettingsRecord, Port, 512);
MELVARIN_AT(SettingsRecord, LCDDBPath, 516);
MELVARIN_AT(SettingsRecord, Unix, 776);
MELVARIN_AT(SettingsRecord, UseOnlyLocalBase, 777);
MELVARIN_AT(SettingsRecord, SettingsPage, 779);
MELVARIN_AT(SettingsRecord, ColumnWidths, 780);
MELVARIN_AT(SettingsRecord, ShowWAVE, 790);
MELVARIN_AT(SettingsRecord, ShowWMA, 791);
MELVARIN_AT(SettingsRecord, ShowBURN, 792);
MELVARIN_AT(SettingsRecord, ShowConvert, 793);
MELVARIN_AT(SettingsRecord, ShowFreeDB, 794);
MELVARIN_AT(SettingsRecord, ShowPlayer, 795);
MELVARIN_AT(SettingsRecord, ShowEXT, 796);
MELVARIN_AT(SettingsRecord, ConvertDir, 797);
MELVARIN_AT(SettingsRecord, ConvertDirection, 1058);
MELVARIN_AT(SettingsRecord, ConvertSaveDir, 1059);
MELVARIN_AT(SettingsRecord, ConvertBitRate, 1060);
MELVARIN_AT(SettingsRecord, ConvertDown, 1061);
MELVARIN_AT(SettingsRecord, SizeMode, 1062);
MELVARIN_AT(SettingsRecord, WindowColor, 1064);
MELVARIN_AT(SettingsRecord, ControlColor, 1068);
MELVARIN_AT(SettingsRecord, PlayBarColor, 1072);
MELVARIN_AT(SettingsRecord, MP3AsOGG, 1076);
MELVARIN_AT(SettingsRecord, Language, 1077);
MELVARIN_AT(SettingsRecord, CUE, 1097);
MELVARIN_AT(SettingsRecord, EncoderConfig, 1100);
MELVARIN_AT(SettingsRecord, BurnDevice, 1232);
MELVARIN_AT(SettingsRecord, BurnSpeed, 1233);
MELVARIN_AT(SettingsRecord, BurnPrior, 1234);
MELVARIN_AT(SettingsRecord, BlockCount, 1236);
MELVARIN_AT(SettingsRecord, Ask, 1238);
MELVARIN_AT(SettingsRecord, OPC, 1239);
MELVARIN_AT(SettingsRecord, PlaySound, 1244);
MELVARIN_AT(SettingsRecord, SaveLastProject, 1245);
MELVARIN_AT(SettingsRecord, WriteToWavFile, 1246);
MELVARIN_AT(SettingsRecord, FileName, 1247);
MELVARIN_AT(SettingsRecord, EjectAfterBurn, 1507);
MELVARIN_AT(SettingsRecord, WriteCue, 1508);
MELVARIN_AT(SettingsRecord, NSDisc, 1509);
MELVARIN_AT(SettingsRecord, EditTag, 1512);
#undef MELVARIN_AT

// A text field of a stored record as UTF-8.
template <std::size_t N>
std::string getText(const char (&field)[N]) {
    return Cp1251::readField(field, N);
}

// Stores UTF-8 text into a field as cp1251, cut on a character boundary so the
// terminating zero fits; the rest of the field is zeroed.
template <std::size_t N>
void setText(char (&field)[N], std::string_view utf8) {
    Cp1251::writeField(field, N, utf8);
}

// Colours written when a loaded record has a zero window or control colour, and
// the defaults of a fresh record.
inline constexpr uint32_t kDefaultWindowColor = 0x00E3DFE0;
inline constexpr uint32_t kDefaultControlColor = 0x00EAEAEA;
inline constexpr uint32_t kDefaultPlayBarColor = 0x00D1EFFE;

// The record a first start uses: every byte zero except the documented
// defaults. `workDir` and `lcddbPath` fill WorkDir and LCDDBPath (folders with a
// trailing "/").
SettingsRecord defaultSettings(const std::string& workDir, const std::string& lcddbPath);

// The same with the user's music folder and the program home's "LocalCDDB/"
// (ProgramHome must be set).
SettingsRecord defaultSettings();

}  // namespace melvarin
