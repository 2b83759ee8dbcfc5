#include "drive/ui/TCDInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/WindowTexts.h"
#include "app/ui/CaptionApplier.h"

namespace melvarin {

TCDInfo::TCDInfo(const std::vector<std::string>& lines, const QString& caption, std::uint32_t controlColor,
                 QWidget* parent)
    : QDialog(parent) {
    setObjectName("TCDInfo");
    setWindowTitle(caption);
    setModal(true);
    infoBox_ = new QPlainTextEdit(this);
    infoBox_->setObjectName("InfoBox");
    infoBox_->setReadOnly(true);
    const QColor color(controlColor & 0xFF, (controlColor >> 8) & 0xFF, (controlColor >> 16) & 0xFF);
    QPalette palette = infoBox_->palette();
    palette.setColor(QPalette::Base, color);
    infoBox_->setPalette(palette);
    QStringList text;
    for (const auto& line : lines) text << QString::fromStdString(line);
    infoBox_->setPlainText(text.join('\n'));
    infoBox_->setTabStopDistance(infoBox_->fontMetrics().horizontalAdvance(QString(28, 'x')));

    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("SpeedButton1");
    ok->setDefault(true);
    auto* copy = new QPushButton(QString::fromStdString(WindowTexts::russian("TCDInfo", "SpeedButton4", TextRole::Text)), this);
    copy->setObjectName("SpeedButton4");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(copy, &QPushButton::clicked, this, &TCDInfo::SpeedButton4Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(infoBox_);
    layout->addLayout(buttons);
    resize(460, 440);
    CaptionApplier::applyProgramLanguage(this, 1);
}

void TCDInfo::SpeedButton4Click() {
    infoBox_->selectAll();
    infoBox_->copy();
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(infoBox_->toPlainText());
}

}  // namespace melvarin
