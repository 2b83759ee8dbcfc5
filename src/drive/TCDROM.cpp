#include "drive/TCDROM.h"

#include <algorithm>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "drive/LinuxDeviceLayer.h"
#include "drive/MmcReplies.h"

namespace melvarin {

TCDROM::TCDROM(std::unique_ptr<DeviceLayer> layer, UserPrompt* prompt)
    : layer_(layer ? std::move(layer) : makeSystemDeviceLayer()), prompt_(prompt), sgIo_(*layer_), generic_(*layer_) {}

TCDROM::~TCDROM() {
    Drives.clear();
    if (Interface == kTransportSgIo) {
        PauseAudio();
        LockDoor(false);
        CloseDrive();
    } else {
        PauseAudio();
        LockDoor(false);
    }
    sgIo_.CloseDevice();
    generic_.UnloadAspi();
}

void TCDROM::Detect() {
    IsNT = layer_->passThroughAvailable();
    AspiReady = generic_.LoadAspi();
    if (!AspiReady && !IsNT) {
        if (prompt_) prompt_->message(Message(92), Icon::Error);
        startupFailed_ = true;
        return;
    }
    if (AspiReady && generic_.ScanBus() == 0) {
        if (IsNT) {
            AspiReady = false;
            if (prompt_) prompt_->message(Message(93), Icon::Warning);
        } else {
            if (prompt_) prompt_->message(Message(94), Icon::Error);
            generic_.UnloadAspi();
            AspiReady = false;
            startupFailed_ = true;
        }
    }
}

bool TCDROM::InitInterface(int requested) {
    Interface = kTransportGeneric;
    startupFailed_ = false;
    Detect();
    if (startupFailed_) return true;
    if (!AspiReady)
        Interface = kTransportSgIo;
    else if (!IsNT)
        Interface = kTransportGeneric;
    else
        Interface = requested == kTransportSgIo ? kTransportSgIo : kTransportGeneric;
    Enumerate();
    return true;
}

void TCDROM::Enumerate() {
    Drives.clear();
    DriveDevices.clear();
    const bool sgIo = Interface == kTransportSgIo;
    if (sgIo) sgIo_.CloseDevice();
    for (int n = 0; n <= 511; ++n) {
        bool opened;
        std::string device;
        if (sgIo) {
            sgIo_.CloseDevice();
            opened = sgIo_.OpenDevice(n, 0);
            if (opened) {
                sgIo_.SetAudioVolume(255);
                device = sgIo_.OpenPath();
            }
        } else {
            opened = generic_.OpenDevice(n, 0);
            if (opened) device = generic_.PathOf(n);
        }
        if (!opened) {
            if (n > 30) break;
            continue;
        }
        std::array<std::uint8_t, kInquiryLength> reply{};
        Current().Inquiry(reply);
        Drives.push_back(mmc::inquiryName(reply));
        DriveDevices.push_back(device);
    }
    if (sgIo) sgIo_.CloseDevice();
}

bool TCDROM::SwitchInterface(int& transport) {
    int effective;
    if (!AspiReady)
        effective = kTransportSgIo;
    else if (!IsNT)
        effective = kTransportGeneric;
    else
        effective = transport == kTransportSgIo ? kTransportSgIo : kTransportGeneric;
    transport = effective;
    if (effective == Interface) return false;
    Interface = effective;
    return true;
}

bool TCDROM::TransportAvailable(int transport) const {
    if (transport == kTransportSgIo) return IsNT;
    return AspiReady;
}

CommandSet& TCDROM::Current() {
    if (Interface == kTransportSgIo) return sgIo_;
    return generic_;
}

bool TCDROM::OpenDrive(int drive, int readType) { return Current().OpenDevice(drive, readType); }

void TCDROM::CloseDrive() {
    if (Interface == kTransportSgIo) sgIo_.CloseDevice();
}

void TCDROM::SetReadCommand(int type) { Current().SetReadType(type); }

void SwapSampleBytes(std::span<std::uint8_t> buffer) {
    for (std::size_t i = 0; i + 1 < buffer.size(); i += 2) std::swap(buffer[i], buffer[i + 1]);
}

int TCDROM::ReadSectors(std::uint32_t lba, std::uint16_t count, std::span<std::uint8_t> buffer, bool swap) {
    CommandSet& set = Current();
    if (!set.Succeeded(set.ReadSectors(lba, count, buffer))) return 0;
    if (swap) SwapSampleBytes(buffer.first(std::min<std::size_t>(buffer.size(), std::size_t{count} * kSectorBytes)));
    return 1;
}

bool TCDROM::ReadTOC(std::span<std::uint8_t, kTocLength> buffer) {
    CommandSet& set = Current();
    return set.Succeeded(set.ReadTOC(buffer));
}

bool TCDROM::ReadCDText(std::span<std::uint8_t> buffer, std::uint32_t& length) {
    CommandSet& set = Current();
    return set.Succeeded(set.ReadCDText(buffer, length));
}

std::array<std::uint8_t, kInquiryLength> TCDROM::Inquiry() {
    std::array<std::uint8_t, kInquiryLength> reply{};
    Current().Inquiry(reply);
    return reply;
}

std::uint8_t TCDROM::ReadCapabilities(std::array<std::uint8_t, kCapabilitiesLength>& record) {
    return Current().ReadCapabilities(record);
}

bool TCDROM::IsUnitReady() {
    const std::uint8_t status = Current().TestUnitReady();
    if (Interface == kTransportSgIo) return status == 0;
    return status != SgGenericCommandSet::kFailed;
}

bool TCDROM::CheckMedia() {
    CommandSet& set = Current();
    return !set.Succeeded(set.TestUnitReady());
}

int TCDROM::GetMechanismStatus() { return Current().GetMechanismStatus(); }

std::uint8_t TCDROM::LoadEject(bool eject) { return Current().LoadEject(eject); }

std::uint8_t TCDROM::LockDoor(bool lock) { return Current().LockDoor(lock); }

bool TCDROM::RezeroUnit() {
    CommandSet& set = Current();
    return set.Succeeded(set.RezeroUnit());
}

std::uint8_t TCDROM::SetReadSpeed(std::uint8_t factor) { return Current().SetReadSpeed(factor); }

bool TCDROM::SetCaching(bool readCacheDisable, bool writeCacheEnable) {
    CommandSet& set = Current();
    return set.Succeeded(set.SetCaching(readCacheDisable, writeCacheEnable));
}

std::uint8_t TCDROM::SetAudioVolume(std::uint8_t volume) { return Current().SetAudioVolume(volume); }

std::uint8_t TCDROM::Seek(std::uint32_t lba) { return Current().Seek(lba); }

std::uint8_t TCDROM::PlayAudioMSF(std::uint8_t startM, std::uint8_t startS, std::uint8_t startF, std::uint8_t endM,
                                  std::uint8_t endS, std::uint8_t endF) {
    return Current().PlayAudioMSF(startM, startS, startF, endM, endS, endF);
}

std::uint8_t TCDROM::PlayAudio(std::uint32_t start, std::uint32_t end) {
    auto b = [](std::uint32_t v, int shift) { return static_cast<std::uint8_t>(v >> shift); };
    return PlayAudioMSF(b(start, 0), b(start, 8), b(start, 16), b(end, 0), b(end, 8), b(end, 16));
}

std::uint8_t TCDROM::PauseAudio() { return Current().PauseAudio(); }

std::uint8_t TCDROM::ReadPosition(std::array<std::uint8_t, 4>& address, std::uint8_t& audioStatus) {
    return Current().ReadPosition(address, audioStatus);
}

Msf FramesToMSF(std::uint32_t frames) { return {MinutesOf(frames), SecondsOf(frames), FramesOf(frames)}; }
std::uint32_t MinutesOf(std::uint32_t frames) { return frames / 4500; }
std::uint32_t SecondsOf(std::uint32_t frames) { return (frames / 75) % 60; }
std::uint32_t FramesOf(std::uint32_t frames) { return frames % 75; }

}  // namespace melvarin
