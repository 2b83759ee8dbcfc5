#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

class TLanguage;

// The numbered messages every part of the program shows (message n = entry n of
// section "R" of the current language file).

// Installs the program-wide language table (nullptr uninstalls). The caller
// keeps ownership and must uninstall before destroying it; once this returns,
// no other thread is still reading the previous table.
void SetProgramLanguage(TLanguage* language);

// UTF-8 text of message n, looked up at the moment of the call in the
// program-wide language. When no table is installed, no language is current, or
// the current file lacks the message, the built-in Russian text is returned; an
// unknown number gives the empty text. Safe to call from any thread.
std::string Message(int n);

// Message(n) with its first "%s" replaced by `arg`. No other character of the
// text is interpreted, so a language file cannot inject formatting.
std::string Message(int n, std::string_view arg);
// The same with its first two "%s" replaced by `first` and `second`, in order;
// a "%s" inside an argument stays as it is.
std::string Message(int n, std::string_view first, std::string_view second);

// The built-in Russian text of message n; empty for an unknown number.
std::string BuiltInMessage(int n);

// Entry n of the message section of the current language itself, without the
// built-in fallback: empty when no table is installed, no language is current
// or the file lacks the entry. For texts a language file may leave out, where
// the caller has its own replacement.
std::string LanguageMessage(int n);

// The texts of window section `number` in the program-wide language, read as
// WindowTexts::read reads them, for a window other than the main window as it
// opens; nothing while windows keep their built-in Russian captions (no table
// is installed, no language is current, or the Russian file, index 0, is).
std::optional<std::vector<std::string>> ProgramWindowTexts(int number);

}  // namespace melvarin
