#include "app/ui/SettingsPageFiles.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>

#include "app/Messages.h"
#include "platform/ProgramHome.h"

namespace melvarin {

namespace {

// Refuses the characters a file name cannot hold, typed or pasted.
class PatternValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return hasForbiddenPatternChar(input.toStdString()) ? Invalid : Acceptable;
    }
};

}  // namespace

SettingsPageFiles::SettingsPageFiles(UserPrompt& prompt, QWidget* parent)
    : SettingsPage(QStringLiteral("Файлы"), parent), prompt_(prompt) {
    auto* dirGroup = group("WorkDirGroup", QStringLiteral("Папка для файлов"));
    auto* dirRow = new QHBoxLayout(dirGroup);
    workDir_ = lineEdit("WorkDir", dirGroup);
    auto* browse = new QToolButton(dirGroup);
    browse->setObjectName(QStringLiteral("SpeedButton3"));
    browse->setText(QStringLiteral("..."));
    dirRow->addWidget(workDir_);
    dirRow->addWidget(browse);

    auto* names = group("FileNameGroup", QStringLiteral("Имена файлов"));
    auto* grid = new QGridLayout(names);
    trackNum_ = checkBox("File_UseTrackNum", QStringLiteral("Номер трека"), names);
    artistName_ = checkBox("File_UseArtistName", QStringLiteral("Исполнитель"), names);
    albumName_ = checkBox("File_UseAlbumName", QStringLiteral("Название альбома"), names);
    trackName_ = checkBox("File_UseTrackName", QStringLiteral("Название трека"), names);
    dirArtist_ = checkBox("Dir_AsArtistName", QStringLiteral("Папка для каждого исполнителя"), names);
    dirAlbum_ = checkBox("Dir_AsAlbumName", QStringLiteral("Папка для каждого альбома"), names);
    grid->addWidget(trackNum_, 0, 0);
    grid->addWidget(artistName_, 1, 0);
    grid->addWidget(albumName_, 2, 0);
    grid->addWidget(trackName_, 3, 0);
    grid->addWidget(dirArtist_, 0, 1);
    grid->addWidget(dirAlbum_, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* pattern = group("FormatGroup", QStringLiteral("Формат имени"));
    auto* pl = new QVBoxLayout(pattern);
    useFormat_ = checkBox("UseFormatString", QStringLiteral("Использовать строку формата"), pattern);
    format_ = lineEdit("FormatEdit", pattern);
    format_->setMaxLength(29);
    format_->setValidator(new PatternValidator(format_));
    QStringList help;
    for (int n = 28; n <= 31; ++n) help << qs(Message(n));
    format_->setToolTip(help.join(QLatin1Char('\n')));
    testLabel_ = label("TestLabel", QString(), pattern);
    testLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pl->addWidget(useFormat_);
    pl->addWidget(format_);
    pl->addWidget(testLabel_);

    connect(useFormat_, &QCheckBox::toggled, this, [this] { updateEnabled(); });
    connect(format_, &QLineEdit::textEdited, this, [this] { patternEdited(); });
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString title = qs(Message(32));
        const QString dir = QFileDialog::getExistingDirectory(this, title, workDir_->text());
        if (!dir.isEmpty()) workDir_->setText(qs(withTrailingSlash(ss(dir))));
    });
}

void SettingsPageFiles::updateEnabled() {
    const bool pattern = useFormat_->isChecked();
    for (QCheckBox* b : {trackNum_, artistName_, albumName_, trackName_, dirArtist_}) b->setEnabled(!pattern);
    dirAlbum_->setEnabled(dirArtist_->isEnabled());
    format_->setEnabled(pattern);
}

void SettingsPageFiles::patternEdited() {
    const QString text = format_->text();
    const QString reduced = qs(reducePercents(ss(text)));
    if (reduced != text) {
        const int cursor = format_->cursorPosition() - int(text.size() - reduced.size());
        format_->setText(reduced);
        format_->setCursorPosition(std::max(0, cursor));
    }
    std::optional<std::string> name;
    const std::string pattern = ss(reduced);
    if (preview_ && patternPreviewShown(pattern)) name = preview_(pattern);
    testLabel_->setText(name ? qs(*name + ".mp3") : QString());
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
    if (!useFormat_->isChecked() || isValidPattern(ss(format_->text()))) return true;
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
