#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace melvarin {

// The ID3v1 genre list (0-79) with the Winamp extension (80-147), as this program
// has always spelled it (81 "Folk/Rock", 136 "Christian Gangs",
// 140 "Contemporary Ch?", 141 "Cristian Rock"); tags written with these names
// must keep matching them.
constexpr std::size_t kGenreCount = 148;

// Name of genre `index`; empty when index >= kGenreCount.
std::string_view GenreName(std::size_t index);

// Position of the exact (case-sensitive) name in the table; 0 when the name is
// empty or not in the table.
int GenreIndex(std::string_view name);

}  // namespace melvarin
