#pragma once
#include <QString>

#include <string>
#include <vector>

class QObject;
class QWidget;

namespace melvarin {

class TLanguage;

// What a caption entry sets on the control it names.
enum class CaptionRole {
    Title,   // window title
    Text,    // caption of a label, button, check box, group box, menu or menu item
    Hint,    // tool tip
    Column,  // header of list column `index`
    Node,    // text of page-tree node `index` (in tree order)
    Item,    // text of item `index` of a combo box
};

// One caption of a window: entry number in the window's section, the control's
// objectName, what is set, the column/node/item index, the built-in Russian text.
struct Caption {
    int entry = 0;
    std::string objectName;
    CaptionRole role = CaptionRole::Text;
    int index = 0;
    std::string russian;
};

// Sets window captions by objectName. Entries are applied in the order given,
// which is increasing entry order, so a language file is read in one pass.
class CaptionApplier {
public:
    // The captions of a window section, in entry order.
    static std::vector<Caption> captions(int section);

    // Sets the built-in Russian texts of `section` on `window` and its children.
    static void applyBuiltIn(QWidget* window, int section);

    // Sets the texts of `section` of the current language: FindSection, then
    // GetEntry for each caption in entry order. A missing section or entry gives
    // the empty text.
    static void apply(QWidget* window, int section, TLanguage& language);

    // Sets one text; false when `window` has no such control.
    static bool set(QWidget* window, const Caption& caption, const QString& text);
};

}  // namespace melvarin
