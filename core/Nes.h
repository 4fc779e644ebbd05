#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/NesState.h"
#include "cpu/Cpu.h"
#include "platform/Platform.h"
#include "platform/Types.h"

class CApu;
class CGraphicEngine;
class CInput;
class CMapper;
class CMemory;
class CPpu;
class CRam;
class CRom;

// The console: owns every emulated component, rebuilds them for each ROM and
// runs the emulation loop, which is also the user interface's event pump
// while a game runs.
class CNes : private IPeriodEnd {
 public:
  explicit CNes(const SPlatform& platform);
  virtual ~CNes();

  bool LoadRom(CRom* pRom);
  void Run();
  void Pause() { m_strState = ENesState::Paused; }
  void Stop() { m_strState = ENesState::Stopped; }
  void Reset();
  void ChangeEngine();
  void UpdateFps();

  std::string_view State() const { return NesStateText(m_strState); }
  ENesState StateValue() const { return m_strState; }
  // True when the last Run ended on an opcode outside the instruction set.
  bool StoppedOnBadOpcode() const { return m_bBadOpcode; }
  // False after a refused LoadRom until the next successful one.
  bool HasMapper() const { return m_pMapper != nullptr; }

  // Builds engines by "GraphicEngine" name; tests give their own to watch
  // the calls. The factory gets the name, the PPU and whether a NULL engine
  // is given the PPU.
  using EngineFactory = std::function<CGraphicEngine*(const std::string&, CPpu*, bool)>;
  void SetEngineFactory(EngineFactory factory) { m_engineFactory = std::move(factory); }

  // Starts every Run at this address instead of the reset vector (for CPU
  // test programs); a negative value restores the reset vector.
  void SetStartPc(int nPc) { m_nStartPc = nPc; }

  CPpu* Ppu() const { return m_pPpu; }
  CCpu* Cpu() const { return m_pCpu; }
  CMemory* Memory() const { return m_pMemory; }
  CGraphicEngine* Engine() const { return m_pEngine; }
  CInput* Input() const { return m_pInput; }
  CRam* Ram() const { return m_pRam; }
  const SPlatform& Platform() const { return m_platform; }

  BYTE m_bShowFps = 0;
  // Unsigned: it only ever counts up, and only its low 16 bits are shown.
  unsigned m_nFrameCount = 0;
  int m_nScanline = 0;
  int m_nCycles = 0;
  BYTE m_Keys[256] = {};

 private:
  void EndScanlinePeriod();
  // The CPU's run ends the periods that need neither its registers nor the
  // event pump.
  bool EndPeriod() override;
  // Counts the quiet periods the run has ended, and grants those that
  // follow the current line.
  void CountQuietPeriods();
  void GrantQuietPeriods();
  int m_nQuietGranted = 0;
  CGraphicEngine* CreateEngine(bool bGivePpuToNull);

  SPlatform m_platform;
  ENesState m_strState = ENesState::Stopped;
  bool m_bBadOpcode = false;
  CMapper* m_pMapper = nullptr;
  CPpu* m_pPpu = nullptr;
  CGraphicEngine* m_pEngine = nullptr;
  CRam* m_pRam = nullptr;
  CMemory* m_pMemory = nullptr;
  CCpu* m_pCpu = nullptr;
  CInput* m_pInput = nullptr;
  CApu* m_pApu = nullptr;
  DWORD m_dwLastTicks = 0;
  int m_nStartPc = -1;
  EngineFactory m_engineFactory;
};
