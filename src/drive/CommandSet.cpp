#include "drive/CommandSet.h"

#include <algorithm>

#include "drive/MmcReplies.h"

namespace melvarin {

std::uint8_t CommandSet::Send(const MmcCommand& command, std::span<std::uint8_t> data) {
    if (command.length == 0 || data.size() < command.dataLength) return RefusedStatus();
    return SendCommand(command.bytes(), command.dataLength, data, command.direction);
}

std::uint8_t CommandSet::TestUnitReady() { return Send(mmc::testUnitReady()); }

std::uint8_t CommandSet::RezeroUnit() { return Send(mmc::rezeroUnit()); }

std::uint8_t CommandSet::Inquiry(std::span<std::uint8_t, kInquiryLength> reply) {
    return Send(mmc::inquiry(), reply);
}

std::uint8_t CommandSet::LoadEject(bool eject) { return Send(mmc::startStopUnit(eject)); }

std::uint8_t CommandSet::LockDoor(bool lock) { return Send(mmc::preventAllowMediumRemoval(lock, LockByte())); }

std::uint8_t CommandSet::Seek(std::uint32_t lba) { return Send(mmc::seek10(lba)); }

std::uint8_t CommandSet::ReadPosition(std::array<std::uint8_t, 4>& address, std::uint8_t& audioStatus) {
    std::array<std::uint8_t, kSubChannelLength> reply{};
    const std::uint8_t status = Send(mmc::readSubChannel(), reply);
    if (const auto parsed = mmc::parseSubChannel(reply)) {
        address = parsed->address;
        audioStatus = parsed->audioStatus;
    }
    return status;
}

std::uint8_t CommandSet::ReadTOC(std::span<std::uint8_t, kTocLength> reply) { return Send(mmc::readToc(), reply); }

std::uint8_t CommandSet::ReadCDText(std::span<std::uint8_t> buffer, std::uint32_t& length) {
    const auto size = static_cast<std::uint16_t>(std::min<std::size_t>(buffer.size(), 0xFFFF));
    std::fill(buffer.begin(), buffer.end(), 0);
    const std::uint8_t status = Send(mmc::readCdText(size), buffer);
    length = mmc::cdTextLength(buffer.first(size));
    return status;
}

std::uint8_t CommandSet::PlayAudioMSF(std::uint8_t startM, std::uint8_t startS, std::uint8_t startF,
                                      std::uint8_t endM, std::uint8_t endS, std::uint8_t endF) {
    return Send(mmc::playAudioMsf(startM, startS, startF, endM, endS, endF));
}

std::uint8_t CommandSet::PauseAudio() { return Send(mmc::stopPlayScan()); }

std::uint8_t CommandSet::SetAudioVolume(std::uint8_t volume) {
    auto list = mmc::audioControlList(volume);
    return Send(mmc::modeSelectAudioControl(), list);
}

std::uint8_t CommandSet::SetCaching(bool readCacheDisable, bool writeCacheEnable) {
    auto list = mmc::cachingList(readCacheDisable, writeCacheEnable);
    return Send(mmc::modeSelectCaching(), list);
}

std::uint8_t CommandSet::ReadCapabilities(std::array<std::uint8_t, kCapabilitiesLength>& record) {
    std::array<std::uint8_t, 28> reply{};
    const std::uint8_t status = Send(mmc::modeSenseCapabilities(CapabilitiesLength()), reply);
    std::copy_n(reply.begin(), kCapabilitiesLength, record.begin());
    return status;
}

std::uint8_t CommandSet::SetReadSpeed(std::uint8_t factor) {
    const MmcCommand command = mmc::setCdSpeed(factor);
    std::uint8_t status = Send(command);
    if (!Succeeded(status)) status = Send(command);
    return status;
}

int CommandSet::GetMechanismStatus() {
    std::array<std::uint8_t, kMechanismStatusLength> reply{};
    if (!Succeeded(Send(mmc::mechanismStatus(), reply))) return 0;
    return mmc::mechanismState(reply);
}

std::uint8_t CommandSet::ReadSectors(std::uint32_t lba, std::uint16_t count, std::span<std::uint8_t> buffer) {
    return Send(mmc::readSectors(readType_, lba, count), buffer);
}

}  // namespace melvarin
