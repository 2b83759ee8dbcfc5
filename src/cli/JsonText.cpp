#include "cli/JsonText.h"

#include <cstdio>

#include "platform/Cp1251.h"

namespace melvarin {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = Cp1251::nextCodePoint(text, pos);
        if (cp >= 0x80) {
            // An invalid byte decodes as U+FFFD and advances one byte only.
            if (cp == 0xFFFD && pos - start == 1)
                out += '?';
            else
                out.append(text.substr(start, pos - start));
            continue;
        }
        switch (cp) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (cp < 0x20 || cp == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
                    out += buf;
                } else {
                    out += static_cast<char>(cp);
                }
        }
    }
    return out + "\"";
}

}  // namespace melvarin
