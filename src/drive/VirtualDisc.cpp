#include "drive/VirtualDisc.h"

#include "drive/CdTextBuilder.h"
#include "platform/FileUtil.h"

#include <algorithm>
#include <cstring>

namespace melvarin {

namespace {

constexpr std::size_t kMaxSheetBytes = 1 << 20;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

CdTextBuilder::Charset charsetOf(VirtualCueSheet::TextEncoding e) {
    switch (e) {
    case VirtualCueSheet::TextEncoding::Ascii: return CdTextBuilder::Charset::Ascii;
    case VirtualCueSheet::TextEncoding::Cp1251: return CdTextBuilder::Charset::Cp1251;
    case VirtualCueSheet::TextEncoding::Latin1: break;
    }
    return CdTextBuilder::Charset::Latin1;
}

}  // namespace

std::unique_ptr<VirtualDisc> VirtualDisc::load(const std::string& sheetPath, std::string* error) {
    const auto text = FileUtil::readAll(sheetPath, kMaxSheetBytes);
    if (!text) {
        if (error) *error = "cannot read " + sheetPath + " (missing, unreadable or larger than 1 MB)";
        return nullptr;
    }
    std::string why;
    const auto sheet = VirtualCueSheet::parse(*text, &why);
    if (!sheet) {
        if (error) *error = sheetPath + ": " + why;
        return nullptr;
    }
    return fromSheet(*sheet, folderOf(sheetPath), error);
}

std::unique_ptr<VirtualDisc> VirtualDisc::fromSheet(const VirtualCueSheet& sheet, const std::string& folder,
                                                    std::string* error) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<VirtualDisc> {
        if (error) *error = why;
        return nullptr;
    };
    auto disc = std::unique_ptr<VirtualDisc>(new VirtualDisc);
    disc->rewritable_ = sheet.rewritable();
    for (const auto& f : sheet.files()) {
        const std::string path = f.name.front() == '/' ? f.name : folder + f.name;
        std::string why;
        auto file = VirtualImageFile::open(path, f.type == VirtualCueSheet::FileType::Wave, &why);
        if (!file) return fail(why);
        disc->files_.push_back(std::move(*file));
        disc->filePaths_.push_back(path);
    }

    const auto& cueTracks = sheet.tracks();
    std::int64_t cursor = 0;
    for (std::size_t i = 0; i < cueTracks.size(); ++i) {
        const auto& ct = cueTracks[i];
        const std::string name = "track " + std::to_string(ct.number);
        const std::int64_t fileSectors = disc->files_[ct.file].sectors();
        const bool firstInFile = i == 0 || cueTracks[i - 1].file != ct.file;
        const bool lastInFile = i + 1 == cueTracks.size() || cueTracks[i + 1].file != ct.file;
        const std::int64_t dataStart = firstInFile ? 0 : ct.firstIndex();
        const std::int64_t dataEnd = lastInFile ? fileSectors : cueTracks[i + 1].firstIndex();
        if (ct.indexes.back().frame >= fileSectors) return fail(name + ": an index lies past the end of its file");
        if (dataEnd <= ct.index01()) return fail(name + " has no sectors after INDEX 01");

        if (i > 0 && ct.session != cueTracks[i - 1].session) {
            disc->firstSessionLeadOut_ = cursor;
            const std::int64_t lead = ct.pregap + (ct.index01() - dataStart);
            if (lead > kSessionGap) return fail(name + ": the pre-gap of session 2 is too long");
            cursor += kSessionGap - lead;
        }
        Track t;
        t.number = ct.number;
        t.mode = ct.mode;
        t.control = ct.control;
        t.session = ct.session;
        t.pregapStart = cursor;
        if (ct.pregap > 0) {
            disc->extents_.push_back({cursor, ct.pregap, -1, 0});
            cursor += ct.pregap;
        }
        disc->extents_.push_back({cursor, dataEnd - dataStart, int(ct.file), dataStart});
        t.start = cursor + (ct.index01() - dataStart);
        cursor += dataEnd - dataStart;
        t.end = cursor;
        disc->tracks_.push_back(t);
    }

    // Track 1 INDEX 01 is LBA 0; what lies before it is hidden in the lead-in's pre-gap.
    const std::int64_t shift = -disc->tracks_.front().start;
    for (auto& e : disc->extents_) e.lba += shift;
    for (auto& t : disc->tracks_) {
        t.pregapStart = std::max<std::int64_t>(0, t.pregapStart + shift);
        t.start += shift;
        t.end += shift;
    }
    disc->leadOut_ = cursor + shift;
    disc->firstSessionLeadOut_ =
        disc->sessionCount() > 1 ? disc->firstSessionLeadOut_ + shift : disc->leadOut_;
    if (disc->leadOut_ > kMaxLeadOut) return fail("the disc is longer than 99:59:74");

    CdTextBuilder::Texts album{sheet.title(), sheet.performer()};
    std::vector<CdTextBuilder::Texts> texts;
    for (const auto& ct : cueTracks) texts.push_back({ct.title, ct.performer});
    disc->cdText_ = CdTextBuilder::build(album, texts, cueTracks.front().number, charsetOf(sheet.textEncoding()));
    return disc;
}

const VirtualDisc::Track* VirtualDisc::trackAt(std::int64_t lba) const {
    for (const Track& t : tracks_)
        if (lba >= t.pregapStart && lba < t.end) return &t;
    return nullptr;
}

VirtualDisc::ReadStatus VirtualDisc::readSectors(std::int64_t lba, std::int64_t count, std::uint8_t* out,
                                                 std::int64_t* delivered) const {
    if (lba < 0 || lba >= leadOut_ || count <= 0) return ReadStatus::OutOfRange;
    auto it = std::upper_bound(extents_.begin(), extents_.end(), lba,
                               [](std::int64_t v, const Extent& e) { return v < e.lba; });
    if (it == extents_.begin()) return ReadStatus::OutOfRange;
    const Extent& e = *--it;
    if (lba >= e.lba + e.length) return ReadStatus::OutOfRange;
    const std::int64_t n = std::min(count, e.lba + e.length - lba);
    if (e.file < 0) {
        std::memset(out, 0, std::size_t(n) * VirtualImageFile::kSectorBytes);
    } else if (!files_[std::size_t(e.file)].readSectors(e.fileSector + (lba - e.lba), n, out)) {
        return ReadStatus::ReadError;
    }
    if (delivered) *delivered = n;
    return ReadStatus::Ok;
}

}  // namespace melvarin
