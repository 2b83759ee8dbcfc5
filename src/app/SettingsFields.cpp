#include "app/SettingsFields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>

#include "platform/Cp1251.h"
#include "platform/FileUtil.h"

namespace melvarin {
namespace {

using Kind = SettingsFieldKind;
constexpr std::size_t kEncoderBase = offsetof(SettingsRecord, EncoderConfig);
constexpr std::string_view kEncoderPrefix = "EncoderConfig.";

template <typename Member>
SettingsField describe(std::string_view name, std::size_t offset, Kind kind, std::optional<int64_t> min = {},
                       std::optional<int64_t> max = {}, std::vector<int64_t> also = {}) {
    using Element = std::remove_all_extents_t<Member>;
    SettingsField f{name, offset, kind, sizeof(Element), std::max<std::size_t>(1, std::extent_v<Member>),
                    std::is_signed_v<Element>, 0, 0, std::move(also)};
    if (std::is_same_v<Element, char>) {
        f.width = sizeof(Member);
        f.count = 1;
        f.isSigned = false;
        return f;
    }
    f.min = min.value_or(static_cast<int64_t>(std::numeric_limits<Element>::min()));
    f.max = max.value_or(static_cast<int64_t>(std::numeric_limits<Element>::max()));
    if (kind == Kind::Flag) {
        f.min = 0;
        f.max = 1;
    }
    return f;
}

// Values the encoders cannot honour are refused here rather than silently
// rounded: LAME takes only the MPEG-1 Layer III bitrates, given as their index
// in its bitrate table (1..14) or as kbit/s (the encoder reads 16 and up as
// kbit/s and would round any other number to a neighbour).
const std::vector<int64_t> kLameKbps = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

#define REC(name, ...) describe<decltype(SettingsRecord::name)>(#name, offsetof(SettingsRecord, name), __VA_ARGS__)
#define ENC(name, ...)                                                                       \
    describe<decltype(EncoderConfig::name)>(#name, kEncoderBase + offsetof(EncoderConfig, name), \
                                            __VA_ARGS__)

std::vector<SettingsField> buildTable() {
    const auto F = Kind::Flag;
    const auto N = Kind::Number;
    std::vector<SettingsField> t = {
        REC(WorkDir, Kind::Folder),
        REC(File_UseTrackName, F),
        REC(File_UseAlbumName, F),
        REC(File_UseArtistName, F),
        REC(File_UseTrackNum, F),
        REC(Dir_AsAlbumName, F),
        REC(Dir_AsArtistName, F),
        REC(UseFormatString, F),
        REC(Format, Kind::Text),
        REC(DeviceName, N),
        REC(Speed, N, 1, 50, {255}),
        REC(UseAsCDPlayer, F),
        REC(EjectACopy, F),
        REC(NumSecRead, N, 1),
        REC(Interface, N, 0, 1),
        REC(Volume, N),
        REC(VolumeOnCD, F),
        REC(DP, F),
        REC(LockCD, F),
        REC(RCD, F),
        REC(CommandType, N, 0, 9),
        REC(BigEndian, F),
        REC(ExtractMethod, N, 0, 3),
        REC(Rotate, F),
        REC(CDTEXT, F),
        REC(ShutComp, F),
        REC(ShowGrid, F),
        REC(Priority, F),
        REC(UseProxy, F),
        REC(Server, Kind::Text),
        REC(Proxy, Kind::Text),
        REC(Path, Kind::Text),
        REC(User, Kind::Text),
        REC(Password, Kind::Text),
        REC(ServerListIndex, N),
        REC(TimeOut, N, 0),
        REC(Port, N, 1, 65535),
        REC(LCDDBPath, Kind::Folder),
        REC(Unix, F),
        REC(UseOnlyLocalBase, F),
        REC(SettingsPage, N, 0, 11),
        REC(ColumnWidths, N, 0),
        REC(ShowWAVE, F),
        REC(ShowWMA, F),
        REC(ShowBURN, F),
        REC(ShowConvert, F),
        REC(ShowFreeDB, F),
        REC(ShowPlayer, F),
        REC(ShowEXT, F),
        REC(ConvertDir, Kind::Folder),
        REC(ConvertDirection, N),
        REC(ConvertSaveDir, F),
        REC(ConvertBitRate, N, 0, 10),
        REC(ConvertDown, F),
        REC(SizeMode, F),
        REC(WindowColor, Kind::Colour),
        REC(ControlColor, Kind::Colour),
        REC(PlayBarColor, Kind::Colour),
        REC(MP3AsOGG, F),
        REC(Language, Kind::Text),
        REC(CUE, F),
        ENC(LameBitrate, N, 1, 14, kLameKbps),
        ENC(MaxBR, N, 0, 14, kLameKbps),
        ENC(LameMode, N, 0, 3),
        ENC(VBRMethod, N, -1, 3, {255}),
        ENC(VBRQ, N, 0, 9),
        ENC(VBR, F),
        ENC(LameQuality, N, -1, 2, {1000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}),
        ENC(OggMinBR, N, 0, 10),
        ENC(OggMaxBR, N, 0, 10),
        ENC(OggNomBR, N, 0, 10),
        ENC(OggQualityLevel, N, -100, 999),
        ENC(OggQuality, F),
        ENC(OGGID1Tag, F),
        ENC(FAACBitrate, N, 0, 9),
        ENC(FAACUseTns, F),
        ENC(FAACAllowMS, F),
        ENC(FAACObjectType, N, 0, 2),
        ENC(FAACMPEG4, F),
        ENC(FAACMono, F),
        ENC(APE_Level, N, 0, 3),
        ENC(APE_Mono, F),
        ENC(UseDRM, F),
        ENC(WMABitrate, N, 0, 8),
        ENC(ACMFileExt, Kind::Text),
        ENC(ACMWriteWAVEHead, F),
        ENC(ACMWriteTag, F),
        ENC(ACMCodec, N),
        ENC(ACMFormat, N),
        ENC(ACMID1Tag, F),
        ENC(EMSCoding, F),
        ENC(BlockSize, N, 0, 10),
        ENC(LPCOrder, N, 0, 6),
        ENC(EscapeCoding, F),
        ENC(RPOMin, N, 0, 15),
        ENC(RPOMax, N, 0, 15),
        ENC(MSC, F),
        ENC(AMSC, F),
        ENC(FLACWriteID1, F),
        ENC(ExtEncoder, N, 0, 3),
        ENC(Codec, N),
        ENC(Format, N),
        ENC(UseLame, F),
        ENC(Normalize, F),
        ENC(OnTheFlyEncoding, F),
        ENC(SetMin, N, 0, 100),
        ENC(SetMax, N, 0, 100),
        ENC(Min, N, 0, 100),
        ENC(Max, N, 0, 100),
        ENC(EncoderIndex, N, 0, 7),
        ENC(MP3ID1Tag, F),
        ENC(MP3ID2Tag, F),
        REC(BurnDevice, N),
        REC(BurnSpeed, N, 0, 0, {1, 4, 8, 16, 32, 255}),
        REC(BurnPrior, N, 0, 2),
        REC(BlockCount, N, 1, 999),
        REC(Ask, F),
        REC(OPC, F),
        REC(PlaySound, F),
        REC(SaveLastProject, F),
        REC(WriteToWavFile, F),
        REC(FileName, Kind::File),
        REC(EjectAfterBurn, F),
        REC(WriteCue, F),
        REC(NSDisc, F),
        REC(EditTag, F),
    };
    // The encoder's Format shares its name with the file-name pattern.
    for (auto& f : t)
        if (f.name == "Format" && f.offset >= kEncoderBase) f.name = "EncoderConfig.Format";
    return t;
}

#undef REC
#undef ENC

const unsigned char* at(const SettingsRecord& r, std::size_t offset) {
    return reinterpret_cast<const unsigned char*>(&r) + offset;
}
unsigned char* at(SettingsRecord& r, std::size_t offset) { return reinterpret_cast<unsigned char*>(&r) + offset; }

int64_t loadElement(const SettingsRecord& r, const SettingsField& f, std::size_t i) {
    const unsigned char* p = at(r, f.offset + i * f.width);
    uint64_t v = 0;
    for (std::size_t b = 0; b < f.width; ++b) v |= uint64_t(p[b]) << (8 * b);
    if (f.isSigned && f.width < 8 && ((v >> (8 * f.width - 1)) & 1)) v |= ~uint64_t(0) << (8 * f.width);
    return static_cast<int64_t>(v);
}

void storeElement(SettingsRecord& r, const SettingsField& f, std::size_t i, int64_t value) {
    unsigned char* p = at(r, f.offset + i * f.width);
    const auto v = static_cast<uint64_t>(value);
    for (std::size_t b = 0; b < f.width; ++b) p[b] = static_cast<unsigned char>(v >> (8 * b));
}

std::string formatElement(const SettingsRecord& r, const SettingsField& f, std::size_t i) {
    const int64_t v = loadElement(r, f, i);
    switch (f.kind) {
        case Kind::Flag:
            return v != 0 ? "1" : "0";
        case Kind::Colour: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "0x%08llX", static_cast<unsigned long long>(v));
            return buf;
        }
        default:
            return std::to_string(v);
    }
}

bool parseInteger(std::string_view text, bool hexAllowed, int64_t& out) {
    int base = 10;
    if (hexAllowed && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
        if (!text.empty() && text[0] == '-') return false;
    }
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool parseElement(const SettingsField& f, std::string_view text, int64_t& out, std::string& error) {
    if (f.kind == Kind::Flag) {
        const std::string t = lower(text);
        if (t == "1" || t == "true" || t == "yes" || t == "on") out = 1;
        else if (t == "0" || t == "false" || t == "no" || t == "off") out = 0;
        else {
            error = std::string(f.name) + " takes 0 or 1, not \"" + std::string(text) + "\"";
            return false;
        }
        return true;
    }
    if (!parseInteger(text, f.kind == Kind::Colour, out)) {
        error = std::string(f.name) + " takes " + (f.kind == Kind::Colour ? "a colour (0xXXXXXXXX)" : "a number") +
                ", not \"" + std::string(text) + "\"";
        return false;
    }
    const bool inRange = (out >= f.min && out <= f.max) ||
                         std::find(f.also.begin(), f.also.end(), out) != f.also.end();
    if (!inRange) {
        error = std::string(f.name) + " takes " + std::to_string(f.min) + ".." + std::to_string(f.max);
        for (std::size_t i = 0; i < f.also.size(); ++i)
            error += (i + 1 == f.also.size() ? " or " : ", ") + std::to_string(f.also[i]);
        error += ", not " + std::string(text);
        return false;
    }
    return true;
}

bool parseText(SettingsRecord& r, const SettingsField& f, std::string_view text, std::string& error) {
    std::string value(text);
    if (!Cp1251::isValidUtf8(value)) {
        error = std::string(f.name) + ": the text is not UTF-8";
        return false;
    }
    if ((f.kind == Kind::Folder || f.kind == Kind::File) && !value.empty()) {
        if (value.front() != '/') {
            error = std::string(f.name) + " takes an absolute path (starting with \"/\"), not \"" + value + "\"";
            return false;
        }
        if (f.kind == Kind::Folder) value = FileUtil::withSlash(value);
    }
    const std::string stored = Cp1251::fromUtf8(value);
    if (Cp1251::toUtf8(stored) != value) {
        error = std::string(f.name) + ": \"" + value + "\" has characters that code page 1251 cannot store";
        return false;
    }
    if (stored.size() >= f.size() || stored.find('\0') != std::string::npos) {
        error = std::string(f.name) + " holds at most " + std::to_string(f.size() - 1) + " characters";
        return false;
    }
    Cp1251::writeField(reinterpret_cast<char*>(at(r, f.offset)), f.size(), value);
    return true;
}

}  // namespace

bool SettingsField::isText() const {
    return kind == Kind::Text || kind == Kind::Folder || kind == Kind::File;
}

const std::vector<SettingsField>& SettingsFields::all() {
    static const std::vector<SettingsField> table = buildTable();
    return table;
}

std::optional<SettingsFieldRef> SettingsFields::resolve(std::string_view name, std::string& error) {
    SettingsFieldRef ref;
    std::string_view base = name;
    if (const auto open = name.find('['); open != std::string_view::npos) {
        if (name.back() != ']') {
            error = "bad field name \"" + std::string(name) + "\"";
            return std::nullopt;
        }
        base = name.substr(0, open);
        const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
        std::size_t index = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
            error = "bad index in \"" + std::string(name) + "\"";
            return std::nullopt;
        }
        ref.index = index;
    }
    const auto& t = all();
    auto it = std::find_if(t.begin(), t.end(), [&](const SettingsField& f) { return f.name == base; });
    if (it == t.end() && base.substr(0, kEncoderPrefix.size()) == kEncoderPrefix) {
        const std::string_view inner = base.substr(kEncoderPrefix.size());
        it = std::find_if(t.begin(), t.end(),
                          [&](const SettingsField& f) { return f.offset >= kEncoderBase && f.name == inner; });
    }
    if (it == t.end()) {
        error = "unknown settings field \"" + std::string(base) + "\"";
        return std::nullopt;
    }
    ref.field = &*it;
    if (ref.index && (it->count == 1 || *ref.index >= it->count)) {
        error = it->count == 1 ? std::string(it->name) + " is not a list"
                               : std::string(it->name) + " has entries 0.." + std::to_string(it->count - 1);
        return std::nullopt;
    }
    return ref;
}

std::string SettingsFields::format(const SettingsRecord& r, const SettingsFieldRef& ref) {
    const SettingsField& f = *ref.field;
    if (f.isText()) {
        std::string text = Cp1251::readField(reinterpret_cast<const char*>(at(r, f.offset)), f.size());
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        return text;
    }
    if (ref.index) return formatElement(r, f, *ref.index);
    std::string out;
    for (std::size_t i = 0; i < f.count; ++i) {
        if (i) out += ',';
        out += formatElement(r, f, i);
    }
    return out;
}

bool SettingsFields::parse(SettingsRecord& r, const SettingsFieldRef& ref, std::string_view value,
                           std::string& error) {
    const SettingsField& f = *ref.field;
    if (f.isText()) return parseText(r, f, value, error);
    std::vector<std::string_view> parts;
    if (ref.index || f.count == 1) {
        parts.push_back(value);
    } else {
        for (std::size_t start = 0;;) {
            const std::size_t comma = value.find(',', start);
            parts.push_back(value.substr(start, comma - start));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        if (parts.size() != f.count) {
            error = std::string(f.name) + " takes " + std::to_string(f.count) + " values separated by \",\" (or use " +
                    std::string(f.name) + "[i] for one)";
            return false;
        }
    }
    std::vector<int64_t> values(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!parseElement(f, parts[i], values[i], error)) return false;
    const std::size_t first = ref.index.value_or(0);
    for (std::size_t i = 0; i < values.size(); ++i) storeElement(r, f, first + i, values[i]);
    return true;
}

}  // namespace melvarin
