#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "app/SettingsRecord.h"
#include "disc/GrabHooks.h"

namespace melvarin {

// The encoder index of a --format word (wav mp3 ogg flac ape aac wma acm);
// nothing for an unknown word.
std::optional<int> FormatIndex(const std::string& format);

// The --format word of encoder index `index` (empty for an unknown index).
std::string FormatName(int index);

// Whether the encoder of `index` is built into this program; when not, says so
// on `err` after `command`.
bool FormatAvailable(SettingsRecord& settings, int index, const std::string& format, const std::string& command,
                     std::ostream& err);

// Callbacks of a grab run from the terminal: Ctrl+C asks to stop (the grab then
// asks whether to cancel), finished files are printed as "wrote PATH" on
// `out`, progress lines go to `err` unless `quiet`. Installs the SIGINT handler.
GrabCallbacks TerminalGrabCallbacks(std::ostream& out, std::ostream& err, bool quiet);

}  // namespace melvarin
