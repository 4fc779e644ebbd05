#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/DirectDraw.h"
#include "platform/Platform.h"
#include "video/FramePacer.h"
#include "video/GraphicEngine.h"
#include "video/ScreenCapture.h"

// Draws the background through DirectDraw into the main window or onto the
// whole display. Tiles are drawn in final colours into a name-table cache when
// the game writes them; each visible line copies one row of that cache into the
// 256 x 240 picture, which is presented once per frame. No sprites.
class CDirectXEngine : public CGraphicEngine, public IScreenCapture {
 public:
  CDirectXEngine(CPpu* pPpu, const SPlatform& platform);
  ~CDirectXEngine() override;

  void Init() override;
  void Shutdown() override;
  void DrawScanline(BYTE line) override;
  void DrawPalettes() override { DrawPaletteSwatches(); }
  void DrawPatternTables() override { DrawPaletteSwatches(); }
  void ToggleFullScreen() override;
  void UpdateNameTable(WORD addr) override;
  // This engine takes up no pattern change; a bank switch costs nothing.
  void UpdatePatterns(WORD /*first*/, int /*nCount*/) override {}
  void EndFrame() override;
  void ClearScreen(BYTE r, BYTE g, BYTE b) override;

  // The last presented picture; still there after Shutdown.
  bool CapturePicture(SImage& image) override;

 private:
  bool SetCooperativeLevel(bool bFullScreen);
  void CreateSurfaces();
  void ReleaseSurfaces();
  void ResetDesc();
  IDirectDrawSurface* CreateOffscreen(int nWidth, int nHeight, const char* pFailureText);
  void DrawTile(WORD addr, WORD base);
  // Copies 256 pixels of name-table cache row sy from column sx to NES
  // screen line `line`; past the cache's right edge the row goes on from its
  // left edge if bWrap, and is cut off if not. False if nothing was copied.
  bool CopyCacheRow(int line, int sx, int sy, bool bWrap);
  // Brings the NES screen's rows from nFirst to nEnd up to what they should
  // hold (see m_rowDue).
  void CatchUpRows(int nFirst, int nEnd);
  // Presents the picture's rows that the display does not show yet.
  void PresentChangedRows(SPoint at);
  void ForgetRows();
  void DrawPaletteSwatches();
  void FillSquare(int x, int y, DWORD color);
  DWORD MasterColor(BYTE index) const;
  void Message(const char* pText);
  bool ReadShownPicture(std::vector<DWORD>& pixels);

  IDirectDraw* m_pDirectDraw = nullptr;
  SSurfaceDesc m_desc;
  IDirectDrawSurface* m_pPrimary = nullptr;
  IDirectDrawSurface* m_pBackBuffer = nullptr;
  IDirectDrawSurface* m_pNesScreen = nullptr;
  IDirectDrawSurface* m_pNameTableCache = nullptr;
  IDirectDrawSurface* m_pBackgroundCache = nullptr;

  SPlatform m_platform;
  CFramePacer m_pacer;
  // The surfaces were made for full screen (the PPU's flag may change before
  // they are released).
  bool m_bSurfacesFullScreen = false;
  // A frame has been presented through the current surfaces.
  bool m_bShown = false;
  // The last presented picture, saved when its surfaces are released.
  std::vector<DWORD> m_lastShown;
  // What each row of the NES screen is still to receive before it is drawn
  // on in part or shown: ClearScreen's colour, or (windowed at 256 x 240,
  // where EndFrame exchanges the NES screen and the back buffer instead of
  // copying one to the other) the back buffer's row.
  enum class ERowDue : BYTE { Nothing, Fill, CopyOfBackBuffer };
  ERowDue m_rowDue[240] = {};
  DWORD m_dwFillColor = 0;
  bool m_bSwapScreens = false;

  // What a row of 256 pixels holds: two rows with the same key hold the same
  // pixels, unless the key is kUnknownRow. A row of one colour has that
  // colour in its key; any other row copied from the name-table cache has
  // the stamp of its source row and the column it starts at.
  using RowKey = std::uint64_t;
  static constexpr RowKey kUnknownRow = 0;
  static constexpr RowKey kOneColorRow = RowKey{1} << 63;
  static constexpr DWORD kMixed = 0xFFFFFFFF;  // no pixel has this value
  using RowKeys = std::array<RowKey, 240>;
  RowKey CacheRowKey(int sy, int sx) const;
  RowKey DueKey(int y) const;
  void SetBlockNeighbours(int y, int block);

  // For each row of the name-table cache: a stamp, new whenever the row
  // changes and never given twice, and the colour of each of its 64 blocks
  // of 8 pixels, or kMixed.
  std::array<std::uint64_t, 480> m_cacheStamps{};
  std::array<std::array<DWORD, 64>, 480> m_blockColors{};
  // Bit b: block b is of one colour, that of block b + 1 (block 0 after 63).
  std::array<std::uint64_t, 480> m_sameAsNext{};
  std::uint64_t m_nNextStamp = 1;
  // The rows of the NES screen and of the back buffer (which change places
  // when they swap), and the picture's rows on the display at m_shownAt.
  RowKeys m_screenKeys{}, m_backKeys{}, m_shownKeys{};
  SPoint m_shownAt;
};
