#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cddb/CCDDB.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    std::vector<melvarin::CCDDBSite> sites;
    melvarin::CCDDB::ParseSitesReply(reply, sites, 20);
    return 0;
}
