#include "drive/VirtualCueSheet.h"

#include "platform/Cp1251.h"

#include <cctype>

namespace melvarin {

std::int64_t VirtualCueSheet::Track::index01() const {
    for (const Index& i : indexes)
        if (i.number == 1) return i.frame;
    return indexes.empty() ? 0 : indexes.front().frame;
}

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Splits one line into words; a word in double quotes may hold blanks. An
// unterminated quote runs to the end of the line.
std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') word += line[i++];
            if (i < line.size()) ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

// A decimal number of at most `maxDigits` digits, nothing else.
std::optional<int> parseNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// "mm:ss:ff" with ss < 60 and ff < 75; minutes up to kMaxMinutes.
std::optional<std::int64_t> parseMsf(std::string_view s) {
    const std::size_t c1 = s.find(':');
    if (c1 == std::string_view::npos) return std::nullopt;
    const std::size_t c2 = s.find(':', c1 + 1);
    if (c2 == std::string_view::npos) return std::nullopt;
    const auto m = parseNumber(s.substr(0, c1), 3);
    const auto sec = parseNumber(s.substr(c1 + 1, c2 - c1 - 1), 2);
    const auto f = parseNumber(s.substr(c2 + 1), 2);
    if (!m || !sec || !f || *m > VirtualCueSheet::kMaxMinutes || *sec >= 60 || *f >= 75)
        return std::nullopt;
    return std::int64_t(*m) * 4500 + std::int64_t(*sec) * 75 + *f;
}

}  // namespace

// Reads a sheet line by line; fail() keeps the first reason.
class VirtualCueReader {
public:
    std::optional<VirtualCueSheet> read(std::string_view text, std::string* error) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        if (!Cp1251::isValidUtf8(text)) return fail(error, "the sheet is not UTF-8 text");
        std::size_t pos = 0;
        while (pos <= text.size() && !failed_) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++lineNo_;
            handleLine(line);
            pos = end + 1;
        }
        if (!failed_) finish();
        if (failed_) {
            if (error) *error = reason_;
            return std::nullopt;
        }
        return std::move(sheet_);
    }

private:
    std::optional<VirtualCueSheet> fail(std::string* error, const std::string& why) {
        if (error) *error = why;
        return std::nullopt;
    }

    void problem(const std::string& why) {
        if (failed_) return;
        failed_ = true;
        reason_ = "line " + std::to_string(lineNo_) + ": " + why;
    }

    VirtualCueSheet::Track* current() { return sheet_.tracks_.empty() ? nullptr : &sheet_.tracks_.back(); }

    void handleLine(std::string_view line) {
        const std::vector<std::string> w = splitWords(line);
        if (w.empty()) return;
        const std::string cmd = upper(w[0]);
        if (cmd == "FILE") return fileCommand(w);
        if (cmd == "TRACK") return trackCommand(w);
        if (cmd == "INDEX") return indexCommand(w);
        if (cmd == "PREGAP") return pregapCommand(w);
        if (cmd == "POSTGAP") return problem("POSTGAP is not supported");
        if (cmd == "FLAGS") return flagsCommand(w);
        if (cmd == "TITLE" || cmd == "PERFORMER") return textCommand(cmd, w);
        if (cmd == "REM") return remCommand(w);
        // CATALOG, ISRC, SONGWRITER, CDTEXTFILE and others do not change the disc.
    }

    void fileCommand(const std::vector<std::string>& w) {
        if (w.size() < 3) return problem("FILE needs a name and a type");
        if (w[1].empty()) return problem("FILE with an empty name");
        const std::string type = upper(w[2]);
        VirtualCueSheet::File f;
        f.name = w[1];
        if (type == "BINARY")
            f.type = VirtualCueSheet::FileType::Binary;
        else if (type == "WAVE")
            f.type = VirtualCueSheet::FileType::Wave;
        else
            return problem("file type " + w[2] + " is not supported (BINARY or WAVE)");
        sheet_.files_.push_back(std::move(f));
        tracksInFile_ = 0;
    }

    void trackCommand(const std::vector<std::string>& w) {
        if (sheet_.files_.empty()) return problem("TRACK before any FILE");
        if (w.size() < 3) return problem("TRACK needs a number and a mode");
        const auto n = parseNumber(w[1], 2);
        if (!n || *n < 1) return problem("bad track number " + w[1]);
        if (sheet_.tracks_.size() >= VirtualCueSheet::kMaxTracks) return problem("more than 99 tracks");
        if (auto* prev = current()) {
            closeTrack(*prev);
            if (failed_) return;
            if (*n != prev->number + 1) return problem("track numbers must rise by one");
        }
        VirtualCueSheet::Track t;
        t.number = *n;
        const std::string mode = upper(w[2]);
        if (mode == "AUDIO") {
            t.mode = VirtualCueSheet::TrackMode::Audio;
        } else if (mode == "MODE1/2352") {
            t.mode = VirtualCueSheet::TrackMode::Mode1;
            t.control = 0x4;
        } else if (mode == "MODE2/2352") {
            t.mode = VirtualCueSheet::TrackMode::Mode2;
            t.control = 0x4;
        } else {
            return problem("track mode " + w[2] + " is not supported");
        }
        if (t.mode != VirtualCueSheet::TrackMode::Audio &&
            sheet_.files_.back().type == VirtualCueSheet::FileType::Wave)
            return problem("a data track cannot come from a WAVE file");
        t.file = sheet_.files_.size() - 1;
        if (pendingSession_ > 0) {
            if (pendingSession_ < session_) return problem("sessions must not go back");
            session_ = pendingSession_;
            pendingSession_ = 0;
        }
        t.session = session_;
        ++tracksInFile_;
        sheet_.tracks_.push_back(std::move(t));
    }

    void indexCommand(const std::vector<std::string>& w) {
        auto* t = current();
        if (!t) return problem("INDEX before any TRACK");
        if (w.size() < 3) return problem("INDEX needs a number and a time");
        const auto n = parseNumber(w[1], 2);
        if (!n) return problem("bad index number " + w[1]);
        const auto f = parseMsf(w[2]);
        if (!f) return problem("bad time " + w[2]);
        if (!t->indexes.empty()) {
            const auto& last = t->indexes.back();
            if (*n <= last.number) return problem("index numbers must rise");
            if (*f < last.frame) return problem("index " + w[1] + " lies before the index it follows");
        } else if (*n > 1) {
            return problem("a track's first index must be 00 or 01");
        }
        if (t->file == lastFile_ && *f < lastFrame_)
            return problem("index " + w[1] + " lies before the previous track's indexes");
        t->indexes.push_back({*n, *f});
        if (afterPregap_ && *n == 0) return problem("INDEX 00 together with PREGAP");
    }

    void pregapCommand(const std::vector<std::string>& w) {
        auto* t = current();
        if (!t) return problem("PREGAP before any TRACK");
        if (w.size() < 2) return problem("PREGAP needs a time");
        if (!t->indexes.empty()) return problem("PREGAP after an INDEX");
        const auto f = parseMsf(w[1]);
        if (!f) return problem("bad time " + w[1]);
        t->pregap = *f;
        afterPregap_ = true;
    }

    void flagsCommand(const std::vector<std::string>& w) {
        auto* t = current();
        if (!t) return problem("FLAGS before any TRACK");
        for (std::size_t i = 1; i < w.size(); ++i) {
            const std::string f = upper(w[i]);
            if (f == "DCP")
                t->control |= 0x2;
            else if (f == "PRE")
                t->control |= 0x1;
            else if (f == "4CH")
                t->control |= 0x8;
            else if (f != "SCMS")
                return problem("unknown flag " + w[i]);
        }
    }

    void textCommand(const std::string& cmd, const std::vector<std::string>& w) {
        const std::string value = w.size() >= 2 ? w[1] : std::string();
        if (value.size() > 1000) return problem(cmd + " longer than 1000 bytes");
        auto* t = current();
        std::string& target = t ? (cmd == "TITLE" ? t->title : t->performer)
                                : (cmd == "TITLE" ? sheet_.title_ : sheet_.performer_);
        target = value;
    }

    void remCommand(const std::vector<std::string>& w) {
        if (w.size() < 3) return;
        const std::string key = upper(w[1]);
        if (key == "SESSION") {
            const auto n = parseNumber(w[2], 2);
            if (!n || *n < 1 || *n > 2) return problem("only sessions 01 and 02 are supported");
            if (current() == nullptr && *n != 1) return problem("the first track must be in session 1");
            pendingSession_ = *n;
        } else if (key == "MEDIUM") {
            sheet_.rewritable_ = upper(w[2]) == "CD-RW";
        } else if (key == "CDTEXT_ENCODING") {
            const std::string e = upper(w[2]);
            if (e == "ISO-8859-1" || e == "LATIN1" || e == "ISO8859-1")
                sheet_.encoding_ = VirtualCueSheet::TextEncoding::Latin1;
            else if (e == "ASCII")
                sheet_.encoding_ = VirtualCueSheet::TextEncoding::Ascii;
            else if (e == "CP1251" || e == "WINDOWS-1251")
                sheet_.encoding_ = VirtualCueSheet::TextEncoding::Cp1251;
            else
                return problem("CD-TEXT encoding " + w[2] + " is not supported");
        }
    }

    // Checks a track when the next one starts or the sheet ends.
    void closeTrack(const VirtualCueSheet::Track& t) {
        if (t.indexes.empty() || t.indexes.back().number < 1 ||
            (t.indexes.front().number == 0 && t.indexes.size() < 2))
            return problem("track " + std::to_string(t.number) + " has no INDEX 01");
        lastFile_ = t.file;
        lastFrame_ = t.indexes.back().frame + 1;
        afterPregap_ = false;
    }

    void finish() {
        if (sheet_.tracks_.empty()) return problem("no tracks");
        closeTrack(sheet_.tracks_.back());
        if (pendingSession_ > 0) problem("REM SESSION after the last track");
    }

    VirtualCueSheet sheet_;
    int lineNo_ = 0;
    bool failed_ = false;
    std::string reason_;
    int session_ = 1;
    int pendingSession_ = 0;
    int tracksInFile_ = 0;
    bool afterPregap_ = false;
    std::size_t lastFile_ = std::size_t(-1);
    std::int64_t lastFrame_ = 0;
};

std::optional<VirtualCueSheet> VirtualCueSheet::parse(std::string_view text, std::string* error) {
    VirtualCueReader reader;
    return reader.read(text, error);
}

}  // namespace melvarin
