#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "drive/ReadCommandDetector.h"

class QTreeWidget;

namespace melvarin {

struct SettingsRecord;
class TCDROM;
class UserPrompt;

// The read-command detection window: one row per trial (`ListView`, images:
// success or failure), Ok (`SpeedButton2`) and Cancel (`SpeedButton1`). Ok with a
// row selected writes its sector count into `NumSecRead` and its type into
// `CommandType[drive]` of the caller's settings copy, then closes. Captions:
// section 10 of the current language (entries 2 to 8), built-in with Russian.
class TReadCommandForm : public QDialog {
    Q_OBJECT
public:
    TReadCommandForm(std::vector<ReadTrial> trials, SettingsRecord& settings, int drive, QWidget* parent = nullptr);

    // Asks for a disc (message 72) while `discLoaded` says no, runs the trials on
    // `drive` through `transport` and shows the window. Returns true when Ok
    // changed the settings; false when cancelled at any point. A disc too short
    // for the trials is reported through `prompt`.
    static bool Run(QWidget* parent, TCDROM& cd, UserPrompt& prompt, const std::function<bool()>& discLoaded,
                    int transport, int drive, SettingsRecord& settings);

    void SpeedButton2Click();

private:
    std::vector<ReadTrial> trials_;
    SettingsRecord& settings_;
    int drive_;
    QTreeWidget* list_;
};

}  // namespace melvarin
