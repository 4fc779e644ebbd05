#include "support/RomRunner.h"

#include <cstdio>

#include "core/Memory.h"
#include "core/Nes.h"
#include "core/Rom.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/Platform.h"
#include "platform/SettingsTable.h"

struct CRomRunner::SParts {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CManualTicks ticks;
  CScriptedEventPump pump;
  CRecordingStatusText statusText;
  CRom rom;
  std::unique_ptr<CNes> pNes;
  bool bLoaded = false;
};

CRomRunner::CRomRunner() : m_p(std::make_unique<SParts>()) {
  WriteFirstRunSettings(m_p->settings);
  m_p->settings.WriteString("Settings", "GraphicEngine", "NULL");
  SPlatform platform;
  platform.pSettings = &m_p->settings;
  platform.pMessageBox = &m_p->messages;
  platform.pKeyboard = &m_p->keyboard;
  platform.pTicks = &m_p->ticks;
  platform.pEventPump = &m_p->pump;
  platform.pStatusText = &m_p->statusText;
  m_p->pNes = std::make_unique<CNes>(platform);
}

// The console goes first: it points into the doubles.
CRomRunner::~CRomRunner() { m_p->pNes.reset(); }

bool CRomRunner::Load(const std::string& strFileName) { return LoadPath(TestRomPath(strFileName)); }

bool CRomRunner::LoadPath(const std::string& strPath) {
  m_p->bLoaded = m_p->rom.Load(strPath) && m_p->pNes->LoadRom(&m_p->rom);
  return m_p->bLoaded;
}

SRomRunResult CRomRunner::Run(const SRomRunOptions& options) {
  SRomRunResult result;
  result.bLoaded = m_p->bLoaded;
  if (!m_p->bLoaded) return result;

  CNes& nes = *m_p->pNes;
  auto applyKeys = [this, &options](int nFrame) {
    for (const SKeyEvent& key : options.keys) {
      if (key.nFrame != nFrame) continue;
      if (key.bDown)
        m_p->keyboard.Press(key.nKeyCode);
      else
        m_p->keyboard.Release(key.nKeyCode);
    }
  };
  applyKeys(0);
  m_p->pump.m_nPumps = 0;
  m_p->pump.m_onPump = [&](int nPumps) {
    applyKeys(nPumps);
    const bool bDone = options.bStopWhenDone && Peek(0x6001) == 0xDE && Peek(0x6002) == 0xB0 &&
                       Peek(0x6003) == 0x61 && Peek(0x6000) != 0x80;
    if (bDone || nPumps >= options.nMaxFrames) nes.Stop();
  };
  nes.Run();
  m_p->pump.m_onPump = nullptr;

  result.nFrames = m_p->pump.m_nPumps;
  result.bBadOpcode = nes.StoppedOnBadOpcode();
  result.bSignature = Peek(0x6001) == 0xDE && Peek(0x6002) == 0xB0 && Peek(0x6003) == 0x61;
  result.status = Peek(0x6000);
  result.strText = PeekText(0x6004);
  result.messages = m_p->messages.Messages();
  return result;
}

CNes& CRomRunner::Nes() { return *m_p->pNes; }
CMessageRecorder& CRomRunner::Messages() { return m_p->messages; }
CKeyStateKeyboard& CRomRunner::Keyboard() { return m_p->keyboard; }
CMemorySettingsStore& CRomRunner::Settings() { return m_p->settings; }

BYTE CRomRunner::Peek(WORD addr) {
  CMemory* pMemory = m_p->pNes->Memory();
  return pMemory ? pMemory->PeekByte(addr) : 0;
}

std::string CRomRunner::PeekText(WORD addr) {
  std::string text;
  for (int i = 0; i < 256; ++i) {
    const BYTE c = Peek(static_cast<WORD>(addr + i));
    if (c == 0) break;
    text.push_back(static_cast<char>(c));
  }
  return text;
}

std::string SRomRunResult::Describe() const {
  if (!bLoaded) return "the program could not be loaded";
  char head[96];
  std::snprintf(head, sizeof(head), "status $%02X after %d frame(s)%s%s: ", status, nFrames,
                bSignature ? "" : ", no signature", bBadOpcode ? ", stopped on a bad opcode" : "");
  std::string line = head;
  line += strText.empty() ? "(no text)" : strText;
  if (status == 0x80 && !bBadOpcode) line += " (still running)";
  return line;
}

std::string TestRomPath(const std::string& strFileName) {
  return std::string(TOLVAR_ROM_DIR) + "/" + strFileName;
}

SRomRunResult RunTestRom(const std::string& strFileName, const SRomRunOptions& options) {
  CRomRunner runner;
  if (!runner.Load(strFileName)) {
    SRomRunResult result;
    return result;
  }
  return runner.Run(options);
}
