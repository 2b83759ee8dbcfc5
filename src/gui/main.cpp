// The melvarin program entry: program home, single instance, the main window.
#include <QApplication>
#include <QTimer>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>

#include "app/InstanceLock.h"
#include "app/ProgramFolders.h"
#include "app/ui/TMainForm.h"
#include "app/ui/TerminationSignals.h"
#include "platform/PartialFile.h"
#include "platform/ProgramHome.h"

namespace {

// Shows `text` in an error box (printed as well: with no screen, as on the
// offscreen platform, nobody would see the box and it would never close).
void reportError(const QString& text) {
    std::fprintf(stderr, "melvarin: %s\n", text.toLocal8Bit().constData());
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    QMessageBox::critical(nullptr, QStringLiteral("Melvarin v3.5"), text);
}

// Exceptions escaping an event handler end up here instead of ending the program
// without a word.
class MelvarinApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            reportError(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            reportError(QStringLiteral("United error"));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace melvarin;
    const std::time_t started = std::time(nullptr);
    ProgramHome::set(ProgramHome::resolve());

    // Another melvarin runs: leave at once, showing nothing.
    InstanceLock lock;
    if (!lock.held() && lock.error().empty()) return 0;
    if (!lock.held())
        std::fprintf(stderr, "melvarin: running without the single-instance lock: %s\n", lock.error().c_str());

    MelvarinApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Melvarin"));
    QApplication::setDesktopFileName(QStringLiteral("melvarin"));
    try {
        std::string error;
        if (!ProgramFolders::create(error)) {
            reportError(QStringLiteral("Cannot prepare the program folder %1: %2")
                            .arg(QString::fromStdString(ProgramHome::get()), QString::fromStdString(error)));
            return 1;
        }
        // Temporary files of runs that ended without tidying up.
        PartialFile::RemoveOlderThan(ProgramHome::tempFilesDir(), started);
        TerminationSignals terminate;
        auto window = std::make_unique<TMainForm>();
        // No way to reach a drive: the start-up messages said so and the program ends.
        if (window->StartupFailed()) return 1;
        // SIGTERM and SIGINT close the window like its close button does.
        QObject::connect(&terminate, &TerminationSignals::requested, window.get(), &QWidget::close);
        // A request that came while the window was being built closes it as soon
        // as the event loop runs.
        if (terminate.pending()) QTimer::singleShot(0, window.get(), &QWidget::close);
        window->show();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        window->move(screen.center() - window->frameGeometry().center() + window->frameGeometry().topLeft());
        const int status = QApplication::exec();
        window.reset();  // shutdown: settings saved, temporary folder removed
        return status;
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportError(QStringLiteral("United error"));
    }
    return 1;
}
