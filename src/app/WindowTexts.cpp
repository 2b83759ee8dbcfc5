#include "app/WindowTexts.h"

#include "app/TLanguage.h"

namespace melvarin {

const WindowSection* WindowTexts::section(int number) {
    for (const WindowSection& s : sections())
        if (s.number == number) return &s;
    return nullptr;
}

const WindowText* WindowTexts::find(std::string_view window, std::string_view control, TextRole role,
                                    int index) {
    for (const WindowSection& s : sections())
        for (const WindowText& t : s.texts)
            if (t.role == role && t.index == index && window == t.window && control == t.control)
                return &t;
    return nullptr;
}

std::string WindowTexts::russian(std::string_view window, std::string_view control, TextRole role,
                                 int index) {
    const WindowText* t = find(window, control, role, index);
    return t ? std::string(t->russian) : std::string();
}

std::vector<std::string> WindowTexts::read(TLanguage& language, int number) {
    const WindowSection* s = section(number);
    if (!s) return {};
    std::vector<std::string> texts(s->texts.size());
    if (!language.FindSection(number)) return texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = language.GetEntry(s->texts[i].entry);
    return texts;
}

}  // namespace melvarin
