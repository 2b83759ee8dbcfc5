#pragma once
#include <QString>

class QWidget;

namespace melvarin {

class TLanguage;
struct WindowText;

// Sets a window's captions by objectName from the window texts table
// (app/WindowTexts.h): titles, texts, hints, list columns, combo box items and
// page-tree nodes. Only the entries whose window is `window`'s objectName are
// set; String entries are left to the window, which reads them itself.
class CaptionApplier {
public:
    // Sets the built-in Russian texts of section `section`.
    static void applyBuiltIn(QWidget* window, int section);

    // Sets the texts of section `section` of the current language, read in one
    // forward pass. A missing section or entry gives the empty text.
    static void apply(QWidget* window, int section, TLanguage& language);

    // What every window other than the main window does as it opens: sets the
    // texts of section `section` from the program-wide language
    // (ProgramWindowTexts); with Russian it leaves the built-in captions.
    static void applyProgramLanguage(QWidget* window, int section);

    // Sets one text; false when `window` has no such control or the control
    // cannot take that role.
    static bool set(QWidget* window, const WindowText& entry, const QString& text);
};

}  // namespace melvarin
