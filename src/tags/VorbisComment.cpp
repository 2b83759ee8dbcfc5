#include "tags/VorbisComment.h"

namespace melvarin {

std::vector<VorbisField> VorbisCommentFields(const TIDTag& tag) {
    const std::pair<const char*, const std::string*> order[] = {
        {"COMMENT", &tag.Comment}, {"TRACKNUMBER", &tag.Track}, {"GENRE", &tag.Genre}, {"DATE", &tag.Year},
        {"TITLE", &tag.Title},     {"ARTIST", &tag.Artist},     {"ALBUM", &tag.Album},
    };
    std::vector<VorbisField> fields;
    for (const auto& [name, text] : order)
        if (!text->empty()) fields.emplace_back(name, *text);
    return fields;
}

}  // namespace melvarin
