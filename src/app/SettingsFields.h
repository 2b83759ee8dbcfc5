#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsRecord.h"

namespace melvarin {

// How a settings field is shown and typed in.
enum class SettingsFieldKind {
    Text,    // cp1251 text, shown as UTF-8
    Folder,  // text naming an absolute folder (or empty); stored with a trailing "/"
    File,    // text naming an absolute file (or empty)
    Flag,    // one byte, shown 0 or 1; typed 0/1, true/false, yes/no, on/off
    Number,  // little-endian integer, shown in decimal
    Colour,  // 32-bit colour, shown as 0xXXXXXXXX; typed in hex (0x...) or decimal
};

// One stored field of SettingsRecord, described as data so that a command line,
// a settings editor or a test can walk every field.
struct SettingsField {
    std::string_view name;   // the field's name; encoder options as in EncoderConfig
    std::size_t offset;      // from the start of SettingsRecord
    SettingsFieldKind kind;
    std::size_t width;       // bytes of one element (a text: the whole field)
    std::size_t count;       // elements: 1, or the length of an array field
    bool isSigned;
    int64_t min;             // accepted values of a Number: min..max and `also`
    int64_t max;
    std::vector<int64_t> also;

    std::size_t size() const { return width * count; }
    bool isText() const;
};

// A field, or one element of an array field ("CommandType[3]").
struct SettingsFieldRef {
    const SettingsField* field = nullptr;
    std::optional<std::size_t> index;
};

class SettingsFields {
public:
    // Every field in stored order, the encoder options where they lie (from
    // offset 1100). Reserved bytes are not listed.
    static const std::vector<SettingsField>& all();

    // Finds a field by name. Encoder options are found by their own name or as
    // "EncoderConfig.<name>"; "Format" is the file-name pattern and
    // "EncoderConfig.Format" the encoder's. "Name[i]" names one element of an
    // array field. Nothing (and the reason in `error`) for an unknown name or an
    // index out of range.
    static std::optional<SettingsFieldRef> resolve(std::string_view name, std::string& error);

    // The value as text. Arrays without an index: elements joined by ",".
    // Control characters in texts are shown as "?".
    static std::string format(const SettingsRecord& record, const SettingsFieldRef& ref);

    // Parses `value` and stores it. An array without an index takes exactly
    // `count` values separated by ",". Returns false, changing nothing, with the
    // reason in `error` when the value does not parse, is out of range, is too
    // long for the field or has characters code page 1251 cannot store.
    static bool parse(SettingsRecord& record, const SettingsFieldRef& ref, std::string_view value,
                      std::string& error);
};

}  // namespace melvarin
