#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/ProgramFolders.h"
#include "platform/ProgramHome.h"

namespace melvarin::test {

void UseTestHome(const TempDir& home, const TempDir& drive) {
    ::setenv("MELVARIN_VIRTUAL_DRIVES", drive.path().c_str(), 1);
    ProgramHome::set(home.path());
    std::string error;
    ASSERT_TRUE(ProgramFolders::create(error)) << error;
}

}  // namespace melvarin::test
