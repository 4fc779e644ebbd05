#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/ShellServices.h"
#include "core/Rom.h"
#include "platform/PresentationTarget.h"
#include "platform/QtEventPump.h"
#include "platform/SdlEventPump.h"

class CMainFrame;
class CNes;
class CSoftDirectDrawFactory;

// The view: owns the console and the image record, answers almost every
// menu command, and is the client area the DirectX engine presents into.
// While a game runs, the console's loop is the event pump, so commands
// arrive from inside Run, between two frames.
class CTolvarView : public QWidget, public ICommandTarget, public IPresentationTarget {
 public:
  CTolvarView(CMainFrame* pFrame, const SShellServices& services);
  ~CTolvarView() override;

  bool OnCommand(int nCommand) override;
  bool HasHandler(int nCommand) const override;

  // Reads the image at strPath, hands it to the machine, records it among
  // the recent files when asked, and runs it; returns when it stops.
  void OpenRom(const std::string& strPath, bool bAddToMru);

  CNes* Nes() const { return m_pNes; }
  bool IsRomLoaded() const { return m_bRomLoaded; }
  // True while the emulation loop runs (possibly nested).
  bool IsEmulating() const { return m_nRunDepth > 0; }
  // Stops the loop; the main window closes when the outermost loop returns.
  void CloseWhenStopped();

  // IPresentationTarget: the display, and this view's place on it.
  int DisplayWidth() const override;
  int DisplayHeight() const override;
  SPoint ClientToScreen(SPoint client) const override;
  void Present(const DWORD* pPixels, int nPitch, const SRect& rcChanged,
               bool bFullScreen) override;

 protected:
  void paintEvent(QPaintEvent* pEvent) override;

 private:
  void OnFileOpen();
  void OnRecentFile(int nCommand);
  void OnEngineChoice(int nCommand);
  void OnCpuChoice(int nCommand);
  void OnDebugPpu();
  void RefreshRecentFiles();
  void ClearPicture();
  void Run();
  void OnSdlWindowClose();
  void Message(const std::string& strText);

  CMainFrame* m_pFrame;
  SShellServices m_services;
  CQtEventPump m_qtPump;
  CSdlEventPump m_sdlPump;
  QTimer m_sdlIdlePump;
  std::unique_ptr<CSoftDirectDrawFactory> m_pDirectDraw;
  CNes* m_pNes = nullptr;
  bool m_bRomLoaded = false;
  CRom m_rom;
  int m_nRunDepth = 0;
  bool m_bCloseRequested = false;
  // What the DirectX engine last presented under this view.
  QImage m_picture;
};
