// Local CDDB at scale: a store of 200 000 entries spread over the categories.
// Reports the lookup time per disc (target: median under 5 ms) and the time to
// build the start-up artist list. The store is generated once into
// $TMPDIR/melvarin-bench-localcddb and reused by later runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cddb/TLocalCDDB.h"
#include "platform/FileUtil.h"

using namespace melvarin;

namespace {

constexpr std::uint32_t kEntries = 200000;

std::uint32_t idOf(std::uint32_t i) { return (i * 2654435761u) ^ 0x5bd1e995u; }

std::string storePath() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/melvarin-bench-localcddb/";
}

const TLocalCDDB& store() {
    static TLocalCDDB db;
    static bool ready = false;
    if (ready) return db;
    const std::string base = storePath();
    const bool exists = FileUtil::isRegularFile(base + "complete");
    db.SetBasePath(base, base);
    if (!exists) {
        std::map<std::string, std::string> files;
        for (std::uint32_t i = 0; i < kEntries; ++i) {
            XmcdRecord d;
            d.discId = idOf(i);
            d.genre = TLocalCDDB::kCategories[i % 11].folder;
            d.artist = "Artist " + std::to_string(i % 5000);
            d.album = "Album " + std::to_string(i);
            d.year = "1990";
            for (std::uint32_t t = 0; t < 12; ++t) {
                d.frameOffsets.push_back(150 + t * 20000);
                d.titles.push_back("Title " + std::to_string(t));
            }
            d.discLengthSeconds = 3300;
            files[db.FilePath(d.genre, d.discId)] += Xmcd::render(d);
        }
        for (const auto& [path, text] : files) FileUtil::writeAtomically(path, text);
        FileUtil::writeAtomically(base + "complete", "");
    }
    ready = true;
    return db;
}

void BM_LookupById(benchmark::State& state) {
    const TLocalCDDB& db = store();
    std::mt19937 rng(7);
    for (auto _ : state) {
        XmcdRecord d;
        const bool found = db.Lookup(idOf(rng() % kEntries), d);
        benchmark::DoNotOptimize(found);
        if (!found) state.SkipWithError("entry not found");
    }
}
BENCHMARK(BM_LookupById)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ArtistList(benchmark::State& state) {
    const TLocalCDDB& db = store();
    for (auto _ : state) {
        std::vector<std::string> artists;
        db.FillArtistList(artists);
        if (artists.size() != 5000) state.SkipWithError("wrong artist count");
    }
}
BENCHMARK(BM_ArtistList)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
