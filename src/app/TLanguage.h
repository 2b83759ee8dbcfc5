#pragma once
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace melvarin {

// The language table: the list of language files, the open current file and the
// position of its message section "#R". Lookups read the file from disk at every
// call (nothing is cached, so an edited file takes effect at once) and return
// UTF-8 text; a missing file, section or entry gives the empty text.
//
// Window captions: FindSection(n), then GetEntry for the window's entries in
// increasing order. GetEntry reads forward only and does not stop at the next
// section line, so an entry missing from section n can be answered by a later
// section, and asking for a number lower than one already found in the same pass
// gives the empty text. An entry found nowhere further on gives the empty text
// and leaves the position where it was, so the rest of the pass still reads.
//
// Messages: GetMessage(n) starts from MessagesPos at every call, through a read
// position of its own, so messages can be asked in any order and from any
// thread without disturbing a caption pass under way. Every member is safe to
// call from several threads.
class TLanguage {
public:
    TLanguage();
    ~TLanguage();
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

    // Takes over the list of language file paths; entry 0 is the Russian file.
    // Closes the open file (no language is current afterwards).
    void SetFiles(std::vector<std::string> files);
    std::vector<std::string> Files() const;

    // Index into Files() of the open file; -1 when none.
    int Current() const;
    // File position just after the "#R" line of the current file; -1 when there
    // is no current file or it has no message section.
    long MessagesPos() const;

    // Closes the open file, opens Files()[index] and finds its "#R" line.
    // False when the index is out of range or the file cannot be opened as a
    // regular file; then no language is current. After success the caption
    // position is just after "#R" (or at the end when there is none).
    bool Select(int index);

    // Positions the caption reading just after the line "#" + n (two digits at
    // least), searching from the top of the file. False when no language is
    // current or there is no such section; the position is then at the end, so
    // the window's lookups that follow give empty texts.
    bool FindSection(int n);

    // Reads forward from the caption position to the first entry line numbered n
    // and returns its text; empty when none follows or no language is current.
    std::string GetEntry(int n);

    // Entry n of the message section; empty when no language is current, the
    // file has no "#R" section or the entry is missing.
    std::string GetMessage(int n);

    // For every file i of Files() that can be opened and whose header (the lines
    // before the first "#" line) has a ";LANG:" line, appends name + "#" + i to
    // `list`. Does not change the current language.
    void ListLanguages(std::vector<std::string>& list) const;

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

    static FilePtr openFile(const std::string& path);
    static bool findEntry(std::FILE* file, int n, std::string& text);
    void closeLocked();

    mutable std::mutex mutex_;
    std::vector<std::string> files_;
    int current_ = -1;
    FilePtr handle_;    // caption reading
    FilePtr messages_;  // message reading, positioned at messagesPos_ per lookup
    long messagesPos_ = -1;
};

}  // namespace melvarin
