#include "cddb/ui/TChoseForm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/WindowTexts.h"
#include "app/ui/CaptionApplier.h"
#include "app/ui/DialogButtons.h"

namespace melvarin {
namespace {

QString russian(const char* control, TextRole role) {
    return QString::fromStdString(WindowTexts::russian("TChoseForm", control, role));
}

}  // namespace

TChoseForm::TChoseForm(QWidget* parent, const QString& label, const QStringList& items, bool editable,
                       const QString& initialText)
    : QDialog(parent) {
    setObjectName("TChoseForm");
    setWindowTitle(russian("TChoseForm", TextRole::Title));

    label_ = new QLabel(label, this);
    label_->setObjectName("Label1");
    box_ = new QComboBox(this);
    box_->setObjectName("ComboBox1");
    box_->setEditable(editable);
    box_->addItems(items);
    box_->setMinimumWidth(360);
    if (editable) box_->setEditText(initialText);
    else if (!items.isEmpty()) box_->setCurrentIndex(0);

    const DialogButtons buttons(this, "OkButton", russian("SpeedButton1", TextRole::Text));
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(box_);
    layout->addLayout(buttons.row);
    CaptionApplier::applyProgramLanguage(this, 9);
}

int TChoseForm::chosenIndex() const {
    if (!box_->isEditable()) return box_->currentIndex();
    return box_->findText(box_->currentText());
}

QString TChoseForm::chosenText() const { return box_->currentText(); }

}  // namespace melvarin
