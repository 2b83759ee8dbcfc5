#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/SettingsRecord.h"
#include "cli/CliCommand.h"
#include "cli/CliDisc.h"
#include "cli/DriveCliSupport.h"
#include "cli/JobSignals.h"
#include "cli/TerminalProgress.h"
#include "disc/CommandSetRereader.h"
#include "disc/GrabHooks.h"
#include "disc/TGrabber.h"
#include "encoders/TEncManager.h"

namespace melvarin {

// The encoder index of a --format word (wav mp3 ogg flac ape aac wma acm);
// nothing for an unknown word.
std::optional<int> FormatIndex(const std::string& format);

// The --format word of encoder index `index` (empty for an unknown index).
std::string FormatName(int index);
// The --format words whose encoder this build has, in the order of the
// encoder table ("wav mp3 ...").
std::string BuiltFormats();

// Callbacks of a grab run from the terminal: a signal caught by the living
// JobSignals asks to stop (the grab then asks whether to cancel), finished
// files are printed as "wrote PATH" on `out`
// ("replaced PATH" for one that replaced a file already there). Unless `quiet`, progress goes to
// `progress` when given, else to `err` as one line per state change. The
// callbacks touch nothing but the streams, `progress` and atomic flags, so the
// grab may call them from any one thread at a time.
GrabCallbacks TerminalGrabCallbacks(std::ostream& out, std::ostream& err, bool quiet,
                                    TerminalProgress* progress = nullptr);

// What the grab commands share, in the order they use it: Parse the options
// every grab takes (--format, --out) with the command's own, the command
// applies its own options to Settings(), Start loads the disc and sets up the
// grabber, the command runs its job on Grabber(), Finish saves the disc and
// gives the exit status. As in the main window, the eject and the power-off a
// grab asks for wait until the disc is saved.
class CliGrabRun : private GrabSystem {
public:
    CliGrabRun(CliContext& ctx, std::string command);

    // Parses `args` against --format, --out and the command's `valueOptions` and
    // `flags` (no positional arguments), loads the home's settings and applies
    // --format and --out (WorkDir). kCliDone when the command may go on, else
    // the exit status, the reason on the error stream.
    int Parse(const std::vector<std::string>& args, std::set<std::string> valueOptions,
              const std::set<std::string>& flags);

    // Writes "melvarin-cli COMMAND: `why`" on the error stream; returns kCliUsage.
    int Usage(const std::string& why);

    // Checks that the chosen format is built in, loads the disc in the drive,
    // creates WorkDir and sets up the grabber (tags, re-reads, temporary folder,
    // terminal callbacks, eject). False with the reason on the error stream.
    bool Start();

    // Ends the run with the job's result: saves the disc record with its grabbed
    // flags and the tags as the main window does, ejects the disc and powers the
    // machine off when the grab asked for it, then gives kCliDone when `done`,
    // else kCliFailed with "cancelled" or "failed" on the error stream. A job
    // ended by a signal (see JobSignals) gives 128 + the signal and never powers
    // the machine off.
    int Finish(bool done);

    const CliArgs& Options() const { return *options_; }
    SettingsRecord& Settings() { return home_.settings; }
    int EncoderIndex() const { return encoderIndex_; }
    // Valid after Start.
    const DiscRecord& Disc() const { return loaded_.disc; }
    TGrabber& Grabber() { return *grabber_; }

private:
    // GrabSystem for the grabber: the real priority; the power-off is only noted.
    bool RaisePriority() override { return system_.RaisePriority(); }
    void RestorePriority() override { system_.RestorePriority(); }
    void PowerOff() override { powerOff_ = true; }
    // Names every file the job may write for the progress line.
    void DescribeFiles();

    CliContext& ctx_;
    std::string command_;
    CliDrive home_;
    std::optional<CliArgs> options_;
    std::string format_;
    int encoderIndex_ = 0;
    CliDisc loaded_;
    std::unique_ptr<CommandSetRereader> rereader_;
    std::unique_ptr<TEncManager> encoders_;
    SystemActions system_;
    std::atomic<bool> eject_{false};
    std::atomic<bool> powerOff_{false};
    std::unique_ptr<JobSignals> signals_;
    std::unique_ptr<TerminalProgress> progress_;
    std::unique_ptr<ProgressPrompt> prompt_;
    // Borrows everything above; declared last so that it goes first.
    std::unique_ptr<TGrabber> grabber_;
};

}  // namespace melvarin
