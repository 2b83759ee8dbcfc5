#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

class TLanguage;

// What a window text labels.
enum class TextRole {
    Title,   // the window's title; `control` is the window's own objectName
    Text,    // text of a button, label, check box, group box, menu or menu item (QAction)
    Hint,    // tool tip; for panels and format labels also the text they build on
    Column,  // header of column `index` of a list or tree view
    Item,    // item `index` of a combo box or list
    Node,    // node `index` of a tree, counted in display order (pre-order)
    String,  // a text the window uses itself; `control` names it
};

// One entry of a window section of the language file.
struct WindowText {
    int entry;             // entry number within the section (2, 3, ...)
    const char* window;    // objectName of the top-level window ("TMainForm")
    const char* control;   // objectName of the control, or the text's name for String
    TextRole role;
    int index;             // column, item or node index; 0 for other roles
    const char* russian;   // the built-in Russian text, UTF-8
};

// A language-file section ("#01" ...) with its entries in the order the window
// reads them. `builtIn` tells whether the built-in Russian file carries it.
struct WindowSection {
    int number;
    const char* title;
    std::span<const WindowText> texts;
    bool builtIn;
};

// The one table of window texts. Every window sets its captions from it: with
// Russian the built-in texts (russian), otherwise the texts read(language, n)
// gives, applied by objectName and role. The objectNames here are the names the
// windows give their controls.
class WindowTexts {
public:
    // Sections 1 to 11 in increasing order.
    static std::span<const WindowSection> sections();

    // The section numbered `number`; nullptr when there is none.
    static const WindowSection* section(int number);

    // The entry labelling (`window`, `control`, `role`, `index`); nullptr when none.
    static const WindowText* find(std::string_view window, std::string_view control, TextRole role,
                                  int index = 0);

    // The built-in Russian text of that entry; empty when there is none.
    static std::string russian(std::string_view window, std::string_view control, TextRole role,
                               int index = 0);

    // Reads section `number` from the current language in one forward pass
    // (FindSection, then GetEntry in increasing order): one text per entry of
    // section(number)->texts, in the same order. A text the file lacks is empty;
    // when the section itself is missing every text is empty.
    static std::vector<std::string> read(TLanguage& language, int number);
};

}  // namespace melvarin
