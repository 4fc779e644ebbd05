#include "app/TolvarView.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cstring>

#include "app/MainFrame.h"
#include "app/ResourceIds.h"
#include "core/Nes.h"
#include "dialogs/OpenRomDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/RomInfoDlg.h"
#include "input/InputDlg.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/SoftDirectDraw.h"
#include "video/GraphicEngine.h"
#include "video/VideoDlg.h"

namespace {
constexpr int kSdlIdlePumpMs = 100;
const char* const kRecentFileNames[] = {"File1", "File2", "File3"};
constexpr int kRecentFileCommands[] = {ID_FILE_RECENT1, ID_FILE_RECENT2, ID_FILE_RECENT3};

struct SEngineItem {
  int nCommand;
  const char* pszName;
};
constexpr SEngineItem kEngineItems[] = {
    {ID_RENDER_SDL, "SDL"}, {ID_RENDER_DIRECTX, "DirectX"}, {ID_RENDER_NULL, "NULL"}};

// The commands the view answers.
constexpr int kViewCommands[] = {
    ID_FILE_OPEN,       ID_FILE_RECENT1,    ID_FILE_RECENT2,     ID_FILE_RECENT3,
    ID_EMULATION_START, ID_EMULATION_STOP,  ID_EMULATION_PAUSE,  ID_EMULATION_RESET,
    ID_FILE_SAVE,       ID_FILE_ROM_INFO,   ID_SETTINGS_VIDEO,   ID_SETTINGS_INPUTS,
    ID_SETTINGS_OPTIONS, ID_CPU_ASM,        ID_CPU_C,            ID_RENDER_SDL,
    ID_RENDER_DIRECTX,  ID_RENDER_NULL,     ID_DEBUG_CPU,        ID_DEBUG_PPU};
}  // namespace

CTolvarView::CTolvarView(CMainFrame* pFrame, const SShellServices& services)
    : QWidget(pFrame),
      m_pFrame(pFrame),
      m_services(services),
      m_sdlPump(services.pKeyboard, [this] { OnSdlWindowClose(); }, &m_qtPump),
      m_pDirectDraw(std::make_unique<CSoftDirectDrawFactory>(*this)) {
  // An SDL window can be open while no loop runs (Video Settings, an engine
  // chosen while paused): its events are read here then.
  connect(&m_sdlIdlePump, &QTimer::timeout, this, [this] {
    if (!IsEmulating()) m_sdlPump.PumpSdlEvents();
  });
  m_sdlIdlePump.start(kSdlIdlePumpMs);
  setAttribute(Qt::WA_OpaquePaintEvent);
  SPlatform platform;
  platform.pSettings = services.pSettings;
  platform.pMessageBox = services.pMessageBox;
  platform.pKeyboard = services.pKeyboard;
  platform.pTicks = services.pTicks;
  platform.pEventPump = &m_sdlPump;
  platform.pStatusText = pFrame;
  platform.pDirectDraw = m_pDirectDraw.get();
  platform.bPaceFrames = services.bPaceFrames;
  m_pNes = new CNes(platform);
}

CTolvarView::~CTolvarView() { delete m_pNes; }

bool CTolvarView::HasHandler(int nCommand) const {
  for (int n : kViewCommands)
    if (n == nCommand) return true;
  return false;
}

bool CTolvarView::OnCommand(int nCommand) {
  ISettingsStore* pSettings = m_services.pSettings;
  switch (nCommand) {
    case ID_FILE_OPEN:
      OnFileOpen();
      return true;
    case ID_FILE_RECENT1:
    case ID_FILE_RECENT2:
    case ID_FILE_RECENT3:
      OnRecentFile(nCommand);
      return true;
    case ID_EMULATION_START:
      if (m_bRomLoaded) Run();
      return true;
    case ID_EMULATION_STOP:
      if (m_bRomLoaded) m_pNes->Stop();
      return true;
    case ID_EMULATION_PAUSE:
      if (m_bRomLoaded) m_pNes->Pause();
      return true;
    case ID_EMULATION_RESET:
      if (m_bRomLoaded) m_pNes->Reset();
      return true;
    case ID_FILE_SAVE:
      Message("Save state not implented yet.");
      return true;
    case ID_FILE_ROM_INFO: {
      CRomInfoDlg dlg(this, m_bRomLoaded ? &m_rom : nullptr);
      dlg.exec();
      return true;
    }
    case ID_SETTINGS_VIDEO: {
      CVideoDlg dlg(this, m_pNes->Engine(), pSettings, m_pFrame);
      dlg.exec();
      return true;
    }
    case ID_SETTINGS_INPUTS: {
      CInputDlg dlg(this, m_pNes->Input(), pSettings);
      dlg.exec();
      return true;
    }
    case ID_SETTINGS_OPTIONS: {
      COptionsDlg dlg(this, m_pNes);
      dlg.exec();
      return true;
    }
    case ID_CPU_ASM:
    case ID_CPU_C:
      OnCpuChoice(nCommand);
      return true;
    case ID_RENDER_SDL:
    case ID_RENDER_DIRECTX:
    case ID_RENDER_NULL:
      OnEngineChoice(nCommand);
      return true;
    case ID_DEBUG_CPU:
      Message("This feature is not yet implemented.");
      return true;
    case ID_DEBUG_PPU:
      OnDebugPpu();
      return true;
    default:
      return false;
  }
}

void CTolvarView::Message(const std::string& strText) {
  if (m_services.pMessageBox) m_services.pMessageBox->Show(strText);
}

void CTolvarView::OnFileOpen() {
  // Both hold even if the user cancels.
  m_bRomLoaded = false;
  m_pNes->Stop();
  COpenRomDlg dlg(m_pFrame, m_services.pSettings);
  if (dlg.exec() != QDialog::Accepted) return;
  OpenRom(dlg.Directory() + "/" + dlg.FileName(), true);
}

void CTolvarView::OnRecentFile(int nCommand) {
  // Opened while running, too: the new image replaces the old between two
  // frames and runs in a loop nested in the old one.
  OpenRom(m_pFrame->ItemText(nCommand), false);
}

void CTolvarView::OpenRom(const std::string& strPath, bool bAddToMru) {
  if (!m_rom.Load(strPath)) {
    m_bRomLoaded = false;
    // The image reader says why, so a bad file is not met with silence.
    Message("Unable to load the ROM image \"" + strPath + "\".\n" + m_rom.LoadError());
    return;
  }
  if (!m_pNes->LoadRom(&m_rom)) {
    m_bRomLoaded = false;
    return;
  }
  m_bRomLoaded = true;
  ClearPicture();
  if (bAddToMru && m_services.pSettings) {
    ISettingsStore& settings = *m_services.pSettings;
    settings.WriteString("MRU", "File3", settings.GetString("MRU", "File2", ""));
    settings.WriteString("MRU", "File2", settings.GetString("MRU", "File1", ""));
    settings.WriteString("MRU", "File1", strPath);
    RefreshRecentFiles();
  }
  Run();
}

void CTolvarView::RefreshRecentFiles() {
  for (int i = 0; i < 3; ++i) {
    const std::string text = m_services.pSettings
                                 ? m_services.pSettings->GetString("MRU", kRecentFileNames[i], "")
                                 : std::string();
    m_pFrame->SetItemText(kRecentFileCommands[i], text);
  }
}

void CTolvarView::Run() {
  // A run starts from the keys that are down now: the last run's SDL window
  // went with its keys' releases.
  m_sdlPump.ReleaseKeysOfGoneWindow();
  ++m_nRunDepth;
  m_pNes->Run();
  --m_nRunDepth;
  m_sdlPump.ReleaseKeysOfGoneWindow();
  // Escape and F act only while a loop runs: full screen without one would
  // leave no way out.
  m_pFrame->SetFullScreen(false);
  if (m_nRunDepth == 0) {
    // The DirectX engine's last picture stays until the next one.
    if (m_bCloseRequested) {
      m_bCloseRequested = false;
      m_pFrame->close();
    }
  }
}

void CTolvarView::OnSdlWindowClose() {
  // While a loop runs, the SDL window's close box ends the program as the
  // main window's does; without one it closes that window alone, now.
  if (IsEmulating()) {
    m_pFrame->close();
    return;
  }
  m_pNes->Engine()->Shutdown();
  m_sdlPump.ReleaseKeysOfGoneWindow();
}

void CTolvarView::CloseWhenStopped() {
  m_bCloseRequested = true;
  m_pNes->Stop();
}

void CTolvarView::OnEngineChoice(int nCommand) {
  for (const SEngineItem& item : kEngineItems)
    if (item.nCommand == nCommand && m_services.pSettings)
      m_services.pSettings->WriteString("Settings", "GraphicEngine", item.pszName);
  if (m_pFrame->IsChecked(nCommand)) return;
  for (const SEngineItem& item : kEngineItems)
    m_pFrame->SetCheck(item.nCommand, item.nCommand == nCommand);
  m_pNes->ChangeEngine();
  // The engine that went may have held the display; the new one takes it
  // again at its next frame if it is to.
  m_pFrame->SetFullScreen(false);
  ClearPicture();
}

void CTolvarView::ClearPicture() {
  // Only the DirectX engine draws here; another one's frames are elsewhere.
  m_picture = QImage();
  update();
}

void CTolvarView::OnCpuChoice(int nCommand) {
  if (m_services.pSettings)
    m_services.pSettings->WriteString("Settings", "CpuEngine", nCommand == ID_CPU_ASM ? "ASM" : "C");
  Message("This feature is not implemented yet.");
}

void CTolvarView::OnDebugPpu() {
  const bool bWasChecked = m_pFrame->IsChecked(ID_DEBUG_PPU);
  m_pFrame->SetCheck(ID_DEBUG_PPU, !bWasChecked);
  if (bWasChecked)
    m_pFrame->ResizeMainWindow(267, 315);
  else
    m_pFrame->ResizeMainWindow(523, 555);
  if (m_services.pSettings) m_services.pSettings->WriteInt("Settings", "DebugPpu", bWasChecked ? 0 : 1);
  m_pNes->Engine()->ToggleDebugView();
}

int CTolvarView::DisplayWidth() const {
  const QScreen* pScreen = QGuiApplication::primaryScreen();
  return pScreen ? pScreen->geometry().width() : 800;
}

int CTolvarView::DisplayHeight() const {
  const QScreen* pScreen = QGuiApplication::primaryScreen();
  return pScreen ? pScreen->geometry().height() : 600;
}

SPoint CTolvarView::ClientToScreen(SPoint client) const {
  const QPoint p = mapToGlobal(QPoint(client.x, client.y));
  return {p.x(), p.y()};
}

void CTolvarView::Present(const DWORD* pPixels, int nPitch, const SRect& rcChanged,
                          bool bFullScreen) {
  m_pFrame->SetFullScreen(bFullScreen && IsEmulating());
  // Keep the part of the display under this view; the pixels are R, G, B
  // and a spare byte, in that order in memory.
  const QRect client(mapToGlobal(QPoint(0, 0)), size());
  const QRect display(0, 0, DisplayWidth(), DisplayHeight());
  const QRect changed =
      QRect(QPoint(rcChanged.left, rcChanged.top), QPoint(rcChanged.right - 1, rcChanged.bottom - 1));
  QRect area = client & display & changed;
  if (m_picture.size() != size()) {
    // A new picture takes all of the display under the view, not only what
    // changed: the engine presents only the rows that did.
    m_picture = QImage(size(), QImage::Format_RGBX8888);
    m_picture.fill(Qt::black);
    area = client & display;
  }
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const DWORD* from = pPixels + static_cast<std::ptrdiff_t>(y) * nPitch + area.left();
    uchar* to = m_picture.scanLine(y - client.top()) + (area.left() - client.left()) * 4;
    std::memcpy(to, from, static_cast<std::size_t>(area.width()) * 4);
  }
  if (!area.isEmpty()) update(area.translated(-client.topLeft()));
}

void CTolvarView::paintEvent(QPaintEvent* /*pEvent*/) {
  QPainter painter(this);
  // A picture of another size is one from before full screen began or ended.
  if (m_picture.isNull() || m_picture.size() != size())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawImage(0, 0, m_picture);
}
