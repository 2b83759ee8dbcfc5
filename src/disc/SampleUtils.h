#pragma once
#include <cstddef>
#include <cstdint>

namespace melvarin {

class SectorRereader;

// Routines over blocks of 16-bit little-endian stereo PCM and of raw 2352-byte
// CD sectors. All work in place and allocate nothing.

// Exchanges the two bytes of every 16-bit word; an odd last byte stays.
void SwapBytes(std::uint8_t* buffer, std::size_t bytes);

// Raises `peak` to the largest absolute sample of the block (-32768 counts as
// 32767, the largest the peak can hold).
void FindPeak(const std::uint8_t* samples, std::size_t bytes, std::int16_t& peak);

// The gain that brings a track of `peak` to `min` percent of full scale when it
// is quieter than `setMin` percent, or to `max` percent when it is louder than
// `setMax` percent; 1.0 otherwise, and for a peak of 0 or 1 (silence).
double NormalisationGain(std::int16_t peak, int setMin, int setMax, int min, int max);

// Multiplies every sample by `gain` (rounded half up, then toward zero), clipped
// to the 16-bit range. Does nothing for a gain of exactly 1 or 0.
void ApplyGain(std::uint8_t* samples, std::size_t bytes, double gain);

// Mixes `sampleCount` interleaved 16-bit samples to mono in place (L/2 + R/2);
// returns the number of mono samples (sampleCount / 2).
std::size_t StereoToMono(std::int16_t* samples, std::size_t sampleCount);

// 1 when sector B's start mirrors sector A's end (at most 75 of 2352 bytes
// differ, digital silence among others) even after both were read again slowly
// (speed 4, left at 4) through `drive`; else 0. Without a drive a mirroring
// pair counts as suspicious. Re-entered from the re-read, the pair is judged
// without reading again.
int CheckSectorPair(std::uint8_t* sectorA, std::uint8_t* sectorB, std::int32_t lbaA, SectorRereader* drive);

// CheckSectorPair over each neighbouring pair of `count` sectors starting at
// `lba`; the number of suspicious pairs (at most 255).
std::uint8_t CorrectBlock(std::uint8_t* block, int count, SectorRereader* drive, std::int32_t lba);

// Reads again each sector but the last of which more than half the bytes are
// zero (seek, then one sector at its place, speed unchanged). Returns count - 1
// (0 for an empty block).
int RereadSilentSectors(std::uint8_t* block, int count, std::int32_t lba, SectorRereader* drive);

}  // namespace melvarin
