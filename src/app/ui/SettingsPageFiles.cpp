#include "app/ui/SettingsPageFiles.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>

#include "app/Messages.h"
#include "disc/OutputNaming.h"
#include "platform/Cp1251.h"
#include "platform/ProgramHome.h"

namespace melvarin {

namespace {

// Refuses the characters a file name cannot hold, typed or pasted.
class PatternValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        const std::string text = input.toStdString();
        for (std::size_t pos = 0; pos < text.size();)
            if (!FormatKeyAllowed(Cp1251::nextCodePoint(text, pos))) return Invalid;
        return Acceptable;
    }
};

}  // namespace

SettingsPageFiles::SettingsPageFiles(UserPrompt& prompt, QWidget* parent)
    : SettingsPage(caption("TreeView1", TextRole::Node, 1), parent), prompt_(prompt) {
    auto* dirGroup = group("WorkDirGroup");
    auto* dirRow = new QHBoxLayout(dirGroup);
    workDir_ = lineEdit("WorkDir", dirGroup);
    auto* browse = new QToolButton(dirGroup);
    browse->setObjectName(QStringLiteral("SpeedButton3"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(caption("SpeedButton3", TextRole::Hint));
    dirRow->addWidget(label("WorkDirLabel", caption("WorkDirLabel"), dirGroup));
    dirRow->addWidget(workDir_, 1);
    dirRow->addWidget(browse);

    auto* names = group("FileNameGroup");
    auto* grid = new QGridLayout(names);
    trackNum_ = checkBox("File_UseTrackNum", caption("File_UseTrackNum"), names);
    artistName_ = checkBox("File_UseArtistName", caption("File_UseArtistName"), names);
    albumName_ = checkBox("File_UseAlbumName", caption("File_UseAlbumName"), names);
    trackName_ = checkBox("File_UseTrackName", caption("File_UseTrackName"), names);
    dirArtist_ = checkBox("Dir_AsArtistName", caption("Dir_AsArtistName"), names);
    dirAlbum_ = checkBox("Dir_AsAlbumName", caption("Dir_AsAlbumName"), names);
    grid->addWidget(trackNum_, 0, 0);
    grid->addWidget(artistName_, 1, 0);
    grid->addWidget(albumName_, 2, 0);
    grid->addWidget(trackName_, 3, 0);
    grid->addWidget(dirArtist_, 0, 1);
    grid->addWidget(dirAlbum_, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* pattern = group("FormatGroup");
    auto* pl = new QGridLayout(pattern);
    useFormat_ = checkBox("UseFormatString", caption("UseFormatString"), pattern);
    format_ = lineEdit("FormatEdit", pattern);
    format_->setMaxLength(29);
    format_->setValidator(new PatternValidator(format_));
    QStringList help;
    for (int n = 28; n <= 31; ++n) help << qs(Message(n));
    format_->setToolTip(help.join(QLatin1Char('\n')));
    testLabel_ = label("TestLabel", QString(), pattern);
    testLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pl->addWidget(useFormat_, 0, 0, 1, 2);
    pl->addWidget(format_, 1, 0, 1, 2);
    pl->addWidget(label("FormatExampleCaption", caption("FormatExampleCaption"), pattern), 2, 0);
    pl->addWidget(testLabel_, 2, 1);
    pl->setColumnStretch(1, 1);

    connect(useFormat_, &QCheckBox::toggled, this, [this] { updateEnabled(); });
    connect(format_, &QLineEdit::textEdited, this, [this] { patternEdited(); });
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, qs(Message(32)), workDir_->text());
        if (!dir.isEmpty()) workDir_->setText(qs(withTrailingSlash(ss(dir))));
    });
}

void SettingsPageFiles::updateEnabled() {
    const bool pattern = useFormat_->isChecked();
    for (QCheckBox* b : {trackNum_, artistName_, albumName_, trackName_, dirArtist_}) b->setEnabled(!pattern);
    dirAlbum_->setEnabled(dirArtist_->isEnabled());
    format_->setEnabled(pattern);
}

void SettingsPageFiles::setPreviewDisc(const DiscRecord* disc, const TDiscTags* tags) {
    disc_ = disc;
    tags_ = tags;
    patternEdited();
}

void SettingsPageFiles::patternEdited() {
    const QString text = format_->text();
    const QString reduced = qs(ReduceDoublePercent(ss(text)));
    if (reduced != text) {
        const int cursor = format_->cursorPosition() - int(text.size() - reduced.size());
        format_->setText(reduced);
        format_->setCursorPosition(std::max(0, cursor));
    }
    if (const auto preview = PatternPreview(ss(reduced), disc_, tags_)) testLabel_->setText(qs(*preview));
}

void SettingsPageFiles::load(const SettingsRecord& s) {
    previousWorkDir_ = getText(s.WorkDir);
    workDir_->setText(qs(previousWorkDir_));
    trackName_->setChecked(s.File_UseTrackName);
    albumName_->setChecked(s.File_UseAlbumName);
    artistName_->setChecked(s.File_UseArtistName);
    trackNum_->setChecked(s.File_UseTrackNum);
    dirAlbum_->setChecked(s.Dir_AsAlbumName);
    dirArtist_->setChecked(s.Dir_AsArtistName);
    useFormat_->setChecked(s.UseFormatString);
    format_->setText(qs(getText(s.Format)));
    updateEnabled();
    patternEdited();
}

bool SettingsPageFiles::validate() {
    if (!useFormat_->isChecked() || PatternAcceptable(ss(format_->text()))) return true;
    prompt_.message(Message(33), Icon::Information);
    format_->setFocus();
    return false;
}

void SettingsPageFiles::store(SettingsRecord& s) {
    const std::string dir = resolveWorkDir(ss(workDir_->text()), previousWorkDir_,
                                           ProgramHome::musicDir(), prompt_);
    setText(s.WorkDir, dir);
    workDir_->setText(qs(dir));

    s.File_UseTrackName = flag(trackName_);
    s.File_UseAlbumName = flag(albumName_);
    s.File_UseArtistName = flag(artistName_);
    s.File_UseTrackNum = flag(trackNum_);
    if (!s.File_UseTrackName && !s.File_UseAlbumName && !s.File_UseArtistName && !s.File_UseTrackNum)
        s.File_UseTrackName = 1;
    s.Dir_AsAlbumName = flag(dirAlbum_);
    s.Dir_AsArtistName = flag(dirArtist_);
    s.UseFormatString = flag(useFormat_);
    setText(s.Format, ss(format_->text()));
}

}  // namespace melvarin
