#include "app/SettingsRecord.h"

#include <cstring>

#include "platform/ProgramHome.h"

namespace melvarin {

SettingsRecord defaultSettings(const std::string& workDir, const std::string& lcddbPath) {
    SettingsRecord s;
    std::memset(&s, 0, sizeof s);
    setText(s.WorkDir, workDir);
    s.File_UseTrackName = 1;
    s.Dir_AsAlbumName = 1;
    s.Dir_AsArtistName = 1;
    s.Speed = 30;
    s.EjectACopy = 1;
    s.NumSecRead = 26;
    s.Volume = 255;
    s.VolumeOnCD = 1;
    s.DP = 1;
    s.LockCD = 1;
    s.RCD = 1;
    s.Rotate = 1;
    s.CDTEXT = 1;
    s.ShowGrid = 1;
    s.TimeOut = 20000;
    s.Port = 80;
    setText(s.LCDDBPath, lcddbPath);
    const int16_t widths[5] = {144, 90, 80, 80, 150};
    std::memcpy(s.ColumnWidths, widths, sizeof widths);
    s.ShowWAVE = 1;
    s.ShowWMA = 1;
    s.ShowBURN = 1;
    s.ShowConvert = 1;
    s.ShowFreeDB = 1;
    s.ShowPlayer = 1;
    s.WindowColor = kDefaultWindowColor;
    s.ControlColor = kDefaultControlColor;
    s.PlayBarColor = kDefaultPlayBarColor;
    setText(s.Language, "Russian");
    s.CUE = 1;

    EncoderConfig& e = s.EncoderConfig;
    e.LameBitrate = 12;
    e.MaxBR = 14;
    e.LameMode = 1;
    e.VBRMethod = 255;  // the stored default sets only the low byte
    e.UseLame = 1;
    e.EncoderIndex = 1;
    e.WMABitrate = 7;
    e.OnTheFlyEncoding = 1;
    e.SetMin = 90;
    e.SetMax = 98;
    e.Min = 90;
    e.Max = 98;

    s.BlockCount = 25;
    s.Ask = 1;
    s.OPC = 1;
    s.SaveLastProject = 1;
    s.EjectAfterBurn = 1;
    s.WriteCue = 1;
    return s;
}

SettingsRecord defaultSettings() {
    return defaultSettings(ProgramHome::musicDir(), ProgramHome::localCddbDir());
}

}  // namespace melvarin
