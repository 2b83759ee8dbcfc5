#pragma once
#include <string_view>

namespace melvarin {

// Returns the bytes of the file data/embed/<name> compiled into the program,
// or an empty view when there is no such file. The bytes live for the whole run.
std::string_view embedded(std::string_view name);

}  // namespace melvarin
