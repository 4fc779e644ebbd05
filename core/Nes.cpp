#include "core/Nes.h"

#include <algorithm>
#include <string>

#include "core/Apu.h"
#include "core/FpsText.h"
#include "core/Mapper.h"
#include "core/Mapper0.h"
#include "core/Mapper1.h"
#include "core/Mapper2.h"
#include "core/Mapper3.h"
#include "core/Mapper4.h"
#include "core/Memory.h"
#include "core/Ram.h"
#include "core/Rom.h"
#include "cpu/Cpu.h"
#include "input/Input.h"
#include "platform/Host.h"
#include "platform/KeyboardDevice.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "ppu/Ppu.h"
#include "video/EngineFactory.h"
#include "video/NullEngine.h"

namespace {
constexpr int kCyclesPerScanline = 114;
constexpr int kLastVisibleLine = 239;
constexpr int kVBlankStartLine = 243;
constexpr int kVBlankEndLine = 262;
}  // namespace

CNes::CNes(const SPlatform& platform) : m_platform(platform) {
  m_pApu = new CApu();
  m_pInput = new CInput(platform.pKeyboard, platform.pSettings, platform.pMessageBox);
  m_pRam = new CRam();
  m_pPpu = new CPpu();
  m_pMapper = new CMapper();
  m_pMemory = new CMemory();
  m_pCpu = new CCpu();
  m_pEngine = new CNullEngine();
  m_strState = ENesState::Stopped;
  m_bShowFps =
      (platform.pSettings && platform.pSettings->GetInt("Settings", "FPS", 0) != 0) ? 1 : 0;
  m_dwLastTicks = platform.pTicks ? platform.pTicks->GetTicks() : 0;
  m_nFrameCount = 0;
}

CNes::~CNes() {
  delete m_pCpu;
  delete m_pMemory;
  delete m_pApu;
  delete m_pInput;
  delete m_pRam;
  delete m_pMapper;
  delete m_pPpu;
  delete m_pEngine;
}

CGraphicEngine* CNes::CreateEngine(bool bGivePpuToNull) {
  const std::string name =
      m_platform.pSettings ? m_platform.pSettings->GetString("Settings", "GraphicEngine", "SDL")
                           : std::string("SDL");
  CGraphicEngine* pEngine = m_engineFactory
                                ? m_engineFactory(name, m_pPpu, bGivePpuToNull)
                                : CreateGraphicEngine(name, m_pPpu, m_platform, bGivePpuToNull);
  // Debug > Ppu's check mark is stored in DebugPpu; every engine starts in
  // step with it.
  pEngine->SetDebugView(m_platform.pSettings &&
                        m_platform.pSettings->GetInt("Settings", "DebugPpu", 0) != 0);
  return pEngine;
}

bool CNes::LoadRom(CRom* pRom) {
  delete m_pMapper;
  m_pMapper = nullptr;
  delete m_pPpu;
  delete m_pEngine;

  m_pPpu = new CPpu(m_pRam, pRom->m_bVertical, m_platform.pSettings);
  m_pPpu->m_bPatternRom = pRom->m_nChrSize > 0 ? 1 : 0;
  m_pEngine = CreateEngine(false);
  m_pPpu->SetEngine(m_pEngine);

  CMapper* pMapper = nullptr;
  switch (pRom->m_nMapper) {
    case 0:
    case 64:
      pMapper = new CMapper0(pRom, m_pPpu, m_platform.pMessageBox);
      break;
    case 1:
      pMapper = new CMapper1(pRom, m_pPpu);
      break;
    case 2:
      pMapper = new CMapper2(pRom, m_pPpu);
      break;
    case 3:
    case 67:
      pMapper = new CMapper3(pRom, m_pPpu);
      break;
    case 4:
      pMapper = new CMapper4(pRom, m_pPpu);
      break;
    default:
      if (m_platform.pMessageBox)
        m_platform.pMessageBox->Show(
            "This mapper is currently unsupported.\nYou won't be able to play this game.");
      // The old bus and CPU still point at the destroyed mapper and PPU:
      // replace them with empty ones so nothing can reach freed memory, and
      // end a running loop (this may come from its own event pump) so that
      // no instruction runs without a cartridge.
      delete m_pCpu;
      delete m_pMemory;
      m_pMemory = new CMemory();
      m_pCpu = new CCpu();
      m_strState = ENesState::Stopped;
      return false;
  }
  m_pMapper = pMapper;
  delete m_pCpu;
  delete m_pMemory;
  m_pMemory = new CMemory(m_pMapper, m_pRam, m_pPpu, m_pInput, m_pApu);
  m_pCpu = new CCpu(m_pMemory, m_platform.pMessageBox);
  return true;
}

void CNes::Run() {
  // Without a cartridge (never loaded, or refused) there is nothing to run.
  if (!m_pMapper || !m_pMemory->m_pMapper) return;
  m_strState = ENesState::Running;
  m_bBadOpcode = false;
  m_pCpu->Reset();
  if (m_nStartPc >= 0) m_pCpu->m_PC = static_cast<WORD>(m_nStartPc);
  m_pPpu->Reset();
  m_nCycles = 0;
  m_nScanline = 0;
  // The CPU can only be replaced from the event pump (a ROM opened or the
  // engine changed between frames), so it is looked up again only there.
  CCpu* pCpu = m_pCpu;
  while (m_strState == ENesState::Running) {
    const bool bOk = pCpu->ExecuteUntil(m_nCycles, kCyclesPerScanline, m_strState, this);
    CountQuietPeriods();
    if (!bOk) [[unlikely]] {
      m_bBadOpcode = true;
      m_strState = ENesState::Stopped;
    } else if (m_nCycles >= kCyclesPerScanline) {
      EndScanlinePeriod();
      pCpu = m_pCpu;
    }
  }
  m_pEngine->Shutdown();
}

bool CNes::EndPeriod() {
  CountQuietPeriods();
  // The NMI changes the CPU's registers, and the event pump may replace
  // the CPU: that line ends here, after the run has returned.
  if (m_nScanline == kVBlankStartLine) return false;
  EndScanlinePeriod();
  GrantQuietPeriods();
  return true;
}

void CNes::CountQuietPeriods() {
  m_nScanline += m_nQuietGranted - m_nQuietPeriods;
  m_nQuietGranted = m_nQuietPeriods = 0;
}

void CNes::GrantQuietPeriods() {
  // The lines up to the NMI's, and those after it but the last, end with
  // nothing but the count where the engine draws no lines.
  int nLast = kVBlankStartLine - 1;
  if (m_nScanline <= kLastVisibleLine && m_pEngine->DrawsScanlines())
    nLast = m_nScanline - 1;
  else if (m_nScanline > kVBlankStartLine)
    nLast = kVBlankEndLine - 1;
  m_nQuietGranted = m_nQuietPeriods = std::max(0, nLast - m_nScanline + 1);
}

void CNes::EndScanlinePeriod() {
  if (m_nScanline <= kLastVisibleLine) {
    m_pEngine->DrawScanline(static_cast<BYTE>(m_nScanline));
  } else if (m_nScanline == kVBlankStartLine) {
    if (m_pPpu->ReadRegister(0x2000) & 0x80) m_pCpu->Nmi(m_nCycles);
    m_pInput->PollKeyboard(m_Keys);
    if (m_Keys[dik::kEscape]) m_strState = ENesState::Stop;
    if (m_Keys[dik::kF]) m_pEngine->ToggleFullScreen();
    m_pPpu->StartVBlank();
    ++m_nFrameCount;
    if (m_bShowFps) UpdateFps();
    if (m_platform.pEventPump) m_platform.pEventPump->PumpPendingEvents();
  } else if (m_nScanline == kVBlankEndLine) {
    m_pPpu->EndVBlank();
    m_nScanline = 0;
  }
  // Cycles past the period (an NMI's included) are dropped, not carried.
  m_nCycles = 0;
  ++m_nScanline;
}

void CNes::Reset() {
  if (!m_pMemory->m_pMapper) return;  // no cartridge to reset into
  m_pCpu->Reset();
  m_pPpu->Reset();
}

void CNes::ChangeEngine() {
  if (m_strState == ENesState::Stopped) return;
  if (!m_pMemory->m_pMapper) return;  // a refused ROM left nothing to reset
  delete m_pEngine;
  m_pEngine = CreateEngine(true);
  m_pPpu->SetEngine(m_pEngine);
  m_pCpu->Reset();
  m_pPpu->Reset();
}

void CNes::UpdateFps() {
  ITicks* pTicks = m_platform.pTicks;
  if (!pTicks) return;
  const DWORD t = pTicks->GetTicks();
  const DWORD d = t - m_dwLastTicks;
  m_dwLastTicks = pTicks->GetTicks();
  if (m_nFrameCount % 60 != 0) return;
  if (m_platform.pStatusText) m_platform.pStatusText->SetPaneText(1, FpsText(d));
  m_nFrameCount &= 0xFFFF;
}
