#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;
class QString;

namespace melvarin {

// The Ok/Cancel row at the foot of a dialog, both buttons at the right: "Ok"
// named `okName`, and Cancel named "SpeedButton1" with `cancelText`, which
// rejects the dialog. The buttons belong to `dialog`; the caller connects Ok
// and adds `row` to its layout (which then owns it).
struct DialogButtons {
    DialogButtons(QDialog* dialog, const char* okName, const QString& cancelText);

    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* row;
};

}  // namespace melvarin
