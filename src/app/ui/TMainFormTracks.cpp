// The track list of the main window: rows, check boxes, title edits and the
// size estimate.
#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>

#include "app/Messages.h"
#include "cddb/TDiscTags.h"
#include "app/SizeEstimate.h"
#include "app/ui/TMainForm.h"

namespace melvarin {
namespace {

QString twoDigits(uint32_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Length as minutes ":" seconds ":" frames, each two digits.
QString lengthText(uint32_t frames) {
    return twoDigits(frames / 4500) + ":" + twoDigits(frames / 75 % 60) + ":" + twoDigits(frames % 75);
}

QIcon rowImage(int image) {
    static const char* names[] = {"track-audio", "track-grabbed", "track-data"};
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(names[image - 1])));
}

}  // namespace

void TMainForm::showTracks(const std::vector<TrackRow>& rows) {
    rows_ = rows;
    const QSignalBlocker block(list_);
    list_->setRowCount(0);
    list_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TrackRow& row = rows[r];
        auto* title = new QTableWidgetItem;
        if (!row.audio) {
            title->setText(QStringLiteral("Data track"));
            title->setIcon(rowImage(3));
            title->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            list_->setItem(r, 0, title);
            for (int c = 1; c < 5; ++c) list_->setItem(r, c, new QTableWidgetItem);
            continue;
        }
        title->setText(QString::fromStdString(row.title));
        title->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                        Qt::ItemIsEditable);
        title->setCheckState(row.grabbed ? Qt::Unchecked : Qt::Checked);
        title->setIcon(rowImage(row.grabbed ? 2 : 1));
        list_->setItem(r, 0, title);
        list_->setItem(r, 1, new QTableWidgetItem(lengthText(row.frames)));
        list_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(SizeEstimate::sizeText(row.bytes))));
        list_->setItem(r, 3, new QTableWidgetItem);
        list_->setItem(r, 4, new QTableWidgetItem(QString::fromStdString(Message(row.grabbed ? 4 : 3))));
        for (int c = 1; c < 5; ++c) list_->item(r, c)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    UpdateSizeEstimate();
}

void TMainForm::markRowGrabbed(int row) {
    if (row < 0 || row >= list_->rowCount()) return;
    if (row < static_cast<int>(rows_.size())) rows_[row].grabbed = true;
    if (QTableWidgetItem* item = list_->item(row, 0)) {
        const QSignalBlocker block(list_);
        item->setIcon(rowImage(2));
        item->setCheckState(Qt::Unchecked);
    }
}

double TMainForm::currentRatio() const {
    // Only the LAME encoder exists; ACM MP3 codecs would use their format's rate.
    const EncoderConfig& e = settings_.EncoderConfig;
    return SizeEstimate::ratio(SizeEstimate::LameChoice{e.LameBitrate, e.MaxBR, e.VBR != 0, e.LameMode});
}

void TMainForm::UpdateSizeEstimate() {
    const double r = currentRatio();
    uint64_t total = 0;
    const QSignalBlocker block(list_);
    for (int i = 0; i < static_cast<int>(rows_.size()) && i < list_->rowCount(); ++i) {
        if (!rows_[i].audio) continue;
        total += rows_[i].bytes;
        if (auto* item = list_->item(i, 3))
            item->setText(QString::fromStdString(SizeEstimate::encodedText(rows_[i].bytes, r)));
    }
    sizePanel_->setText(QString::fromStdString(
        SizeEstimate::panelText(sizePanelHint_.toStdString(), total, r, settings_.SizeMode != 0)));
    sizeBox_->setIcon(QIcon(settings_.SizeMode ? ":/icons/size-encoded.svg" : ":/icons/size-wave.svg"));
}

void TMainForm::toggleSizeMode() {
    settings_.SizeMode = settings_.SizeMode ? 0 : 1;
    UpdateSizeEstimate();
}

void TMainForm::checkAllRows(bool checked) {
    for (int r = 0; r < list_->rowCount(); ++r) {
        QTableWidgetItem* item = list_->item(r, 0);
        if (item && (item->flags() & Qt::ItemIsUserCheckable))
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void TMainForm::changeTitleCase(int mode) {
    const CaseCommand command = mode == 1   ? CaseCommand::AllLower
                                : mode == 2 ? CaseCommand::AllUpper
                                            : CaseCommand::CapitaliseWords;
    // The disc record and the tags: titles, artist and album, as the edit
    // handlers would store them.
    if (DiscLoaded) discTags_->ApplyCase(command, disc_);
    for (int r = 0; r < list_->rowCount(); ++r) {
        QTableWidgetItem* item = list_->item(r, 0);
        // itemChanged stores the new title into the row.
        if (item && (item->flags() & Qt::ItemIsEditable))
            item->setText(QString::fromStdString(ApplyCaseCommand(command, item->text().toStdString())));
    }
    const QSignalBlocker a(groupEdit_), b(albumEdit_);
    groupEdit_->setEditText(QString::fromStdString(ApplyCaseCommand(command, groupEdit_->currentText().toStdString())));
    albumEdit_->setText(QString::fromStdString(ApplyCaseCommand(command, albumEdit_->text().toStdString())));
}

void TMainForm::editSelectedTitle() {
    QTableWidgetItem* item = list_->currentItem() ? list_->item(list_->currentRow(), 0) : nullptr;
    if (item && (item->flags() & Qt::ItemIsEditable)) list_->editItem(item);
}

void TMainForm::showRowPopup(const QPoint& pos) {
    if (PlayState == Grabbing || list_->currentRow() < 0) return;
    QTableWidgetItem* item = list_->item(list_->currentRow(), 0);
    if (!item) return;
    findChild<QAction*>("PMTrackName")->setText(item->text());
    popup_->popup(list_->viewport()->mapToGlobal(pos));
}

}  // namespace melvarin
