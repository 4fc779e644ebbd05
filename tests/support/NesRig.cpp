#include "support/NesRig.h"

#include "platform/Platform.h"
#include "platform/SettingsTable.h"

SNesRig::SNesRig() {
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", "NULL");
  SPlatform platform;
  platform.pSettings = &settings;
  platform.pMessageBox = &messages;
  platform.pKeyboard = &keyboard;
  platform.pTicks = &ticks;
  platform.pEventPump = &pump;
  platform.pStatusText = &status;
  nes = std::make_unique<CNes>(platform);
  nes->SetEngineFactory([this](const std::string& name, CPpu* pPpu, bool) {
    auto* engine = new CRecordingEngine(pPpu);
    engines.push_back(engine);
    engineNames.push_back(name);
    return engine;
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

std::vector<BYTE> MakeProgram(const std::vector<BYTE>& code, WORD nmi, WORD reset, WORD brk,
                              int mapper,
                              const std::vector<std::pair<WORD, std::vector<BYTE>>>& extra) {
  std::vector<BYTE> file = {'N', 'E', 'S', 0x1A, 2, 1, static_cast<BYTE>((mapper & 0x0F) << 4),
                            static_cast<BYTE>(mapper & 0xF0), 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<BYTE> prg(32768, 0xEA);
  std::copy(code.begin(), code.end(), prg.begin());
  for (const auto& [addr, bytes] : extra)
    std::copy(bytes.begin(), bytes.end(), prg.begin() + (addr - 0x8000));
  auto put = [&](int offset, WORD v) {
    prg[offset] = static_cast<BYTE>(v & 0xFF);
    prg[offset + 1] = static_cast<BYTE>(v >> 8);
  };
  put(0x7FFA, nmi);
  put(0x7FFC, reset);
  put(0x7FFE, brk);
  file.insert(file.end(), prg.begin(), prg.end());
  file.insert(file.end(), 8192, 0);
  return file;
}
