#pragma once
#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;

namespace melvarin {

// The choice window: a label, a list of texts in a drop-down box (editable when
// asked, for typing a new name) and Ok/Cancel. Enter takes the current text,
// Escape cancels. Captions: section 09 of the current language.
class TChoseForm : public QDialog {
    Q_OBJECT
public:
    TChoseForm(QWidget* parent, const QString& label, const QStringList& items, bool editable = false,
               const QString& initialText = {});

    // The chosen row, or -1 when the text typed matches no row.
    int chosenIndex() const;
    QString chosenText() const;

private:
    QLabel* label_;
    QComboBox* box_;
};

}  // namespace melvarin
