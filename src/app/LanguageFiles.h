#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

class TLanguage;

// The language files of the program home's "lang/" folder and the start-up
// steps around them.
class LanguageFiles {
public:
    // One entry of the Lang menu: the language name of a file's ";LANG:" line
    // and the file's index in TLanguage::Files().
    struct MenuItem {
        std::string name;
        int index = 0;
    };

    // Creates `langDir` when missing and writes the built-in Russian file to
    // langDir + "russian.lng" byte for byte when no file of that name is there.
    // An existing file is never rewritten (the user may have edited it).
    // True when the file exists afterwards.
    static bool installBuiltIn(const std::string& langDir);

    // Copies every language file shipped with the program (english.lng) into
    // `langDir` when no file of its name is there yet; never overwrites. The
    // shipped files are looked for in the executable's folder, its
    // "../share/melvarin/" and the source tree's "data/" folder. Returns how many
    // files were copied.
    static int installShipped(const std::string& langDir);

    // The file list for TLanguage::SetFiles: entry 0 is the Russian file (the
    // file named "russian.lng" in any letter case, preferring langDir's own, else
    // langDir + "russian.lng" even when missing), then every other file whose
    // name ends in ".lng", found in `langDir` and, recursively, in its sub-folders
    // whose names also end in ".lng", in name order.
    static std::vector<std::string> list(const std::string& langDir);

    // The Lang menu items: every file that TLanguage::ListLanguages names,
    // except file 0 (the Russian file, which the menu's fixed "Russian" item
    // stands for), in file order.
    static std::vector<MenuItem> menuItems(const TLanguage& language);

    // All start-up steps: installBuiltIn, installShipped, list, SetFiles.
    // Returns the Lang menu items.
    static std::vector<MenuItem> prepare(TLanguage& language, const std::string& langDir);

    // Makes the language named `name` (the settings field Language) current:
    // the menu item of that name when there is one and "Russian" is not the
    // name, else file 0. Returns the index of the file tried; the language's
    // Current() tells whether it could be opened.
    static int choose(TLanguage& language, const std::vector<MenuItem>& items, std::string_view name);
};

}  // namespace melvarin
