#pragma once
#include "support/TempDir.h"

namespace melvarin::test {

// Makes `home` the program home, with its folders, and `drive` the only
// virtual drive (MELVARIN_VIRTUAL_DRIVES). Fails the test when the folders
// cannot be made; call it under ASSERT_NO_FATAL_FAILURE.
void UseTestHome(const TempDir& home, const TempDir& drive);

}  // namespace melvarin::test
