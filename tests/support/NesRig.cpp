#include "support/NesRig.h"

#include "platform/Platform.h"
#include "platform/SettingsTable.h"

SNesRig::SNesRig(const char* pszEngine) {
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", pszEngine ? pszEngine : "NULL");
  nes = std::make_unique<CNes>(SPlatform{.pSettings = &settings,
                                         .pMessageBox = &messages,
                                         .pKeyboard = &keyboard,
                                         .pTicks = &ticks,
                                         .pEventPump = &pump,
                                         .pStatusText = &status,
                                         .pDirectDraw = &directDraw,
                                         .bPaceFrames = false});
  if (pszEngine) return;
  nes->SetEngineFactory([this](const std::string& name, CPpu* pPpu, bool) {
    engineNames.push_back(name);
    return engines.emplace_back(new CRecordingEngine(pPpu));
  });
}

bool SNesRig::Load(const std::vector<BYTE>& file) {
  return rom.LoadFromBytes("test.nes", file) && nes->LoadRom(&rom);
}

void SNesRig::RunFrames(int nFrames) {
  auto previous = pump.m_onPump;
  const int start = pump.m_nPumps;
  pump.m_onPump = [this, start, nFrames, previous](int n) {
    if (previous) previous(n);
    if (n - start >= nFrames) nes->Stop();
  };
  nes->Run();
  pump.m_onPump = previous;
}

std::vector<BYTE> MakeProgram(const std::vector<BYTE>& code, int mapper,
                              const std::vector<std::pair<WORD, std::vector<BYTE>>>& extra) {
  std::vector<BYTE> file = {'N', 'E', 'S', 0x1A, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  file[6] = static_cast<BYTE>((mapper & 0x0F) << 4);
  file[7] = static_cast<BYTE>(mapper & 0xF0);
  std::vector<BYTE> prg(32768, 0xEA);
  std::copy(code.begin(), code.end(), prg.begin());
  for (const auto& [addr, bytes] : extra)
    std::copy(bytes.begin(), bytes.end(), prg.begin() + (addr - 0x8000));
  for (int i = 0x7FFA; i < 0x8000; i += 2) prg[i] = 0x00, prg[i + 1] = 0x80;
  file.insert(file.end(), prg.begin(), prg.end());
  file.insert(file.end(), 8192, 0);
  return file;
}
