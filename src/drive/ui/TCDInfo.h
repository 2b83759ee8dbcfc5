#pragma once
#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace melvarin {

// The drive information window: the lines of DriveInfoLines in a read-only text
// box (`InfoBox`), Ok (`SpeedButton1`, also Escape and Enter) and Copy
// (`SpeedButton4`, the whole text to the clipboard). The Copy caption is entry
// 96 of section 01 of the current language.
class TCDInfo : public QDialog {
    Q_OBJECT
public:
    // `controlColor`: the settings field ControlColor (0x00BBGGRR) for the text box.
    TCDInfo(const std::vector<std::string>& lines, const QString& caption, std::uint32_t controlColor,
            QWidget* parent = nullptr);

    void SpeedButton4Click();

private:
    QPlainTextEdit* infoBox_;
};

}  // namespace melvarin
