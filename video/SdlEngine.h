#pragma once

#include <SDL.h>

#include <vector>

#include "platform/Platform.h"
#include "video/FramePacer.h"
#include "video/GraphicEngine.h"
#include "video/ScreenCapture.h"

// The default engine: SDL's own 512 x 480 window at 8 bits per pixel. The
// picture memory lives in 8-bit caches that every write updates; each
// visible line is one row copied out of the name-table cache, and the
// sprites are drawn once per frame. The right and lower parts of the window
// show the palettes, pattern tables and name tables when the debug view is on.
class CSdlEngine : public CGraphicEngine, public IScreenCapture {
 public:
  CSdlEngine(CPpu* pPpu, const SPlatform& platform);
  ~CSdlEngine() override;

  void Init() override;
  void Shutdown() override;
  void DrawScanline(BYTE line) override;
  void DrawPalettes() override;
  void DrawPatternTables() override;
  void DrawSprites(BYTE front) override;
  void ToggleFullScreen() override;
  void ToggleDebugView() override;
  void UpdatePattern(WORD addr) override;
  void UpdatePatterns(WORD first, int nCount) override;
  void UpdateNameTable(WORD addr) override;
  void UpdateBgPalette(BYTE index) override;
  void UpdateSpritePalette(BYTE index) override;
  void EndFrame() override;
  void ClearScreen(BYTE r, BYTE g, BYTE b) override;

  // The picture and the window as last presented by EndFrame.
  bool CapturePicture(SImage& image) override;
  bool CaptureWindow(SImage& image) override;

  SDL_Surface* Screen() const { return m_pScreen; }
  // Draws each sprite by blitting the whole sprite layer to the screen, the
  // slow way that defines the picture; tests compare the fast way with it.
  void SetWholeLayerBlits(bool bWhole) { m_bWholeLayerBlits = bWhole; }
  // Tests pace with a clock of their own.
  void SetFramePacer(const CFramePacer& pacer) { m_pacer = pacer; }

 private:
  // A copy from (sx, sy) to (dx, dy), w x h, after clipping to both surfaces.
  struct SRect {
    int sx = 0, sy = 0, w = 0, h = 0, dx = 0, dy = 0;
  };

  void FreeSurfaces();
  void SetScreenPalette();
  static void FillRect(SDL_Surface* pSurface, int x, int y, int w, int h, BYTE value);
  static bool ClipRects(const SDL_Surface* pSrc, const SDL_Surface* pDst, SRect& r);
  // A blit of one of our surfaces onto the screen, clipped to both, with
  // the screen entries pMap gives the surface's 16 colours.
  void BlitToScreen(SDL_Surface* pSrc, int sx, int sy, int w, int h, int dx, int dy,
                    const BYTE* pMap);
  SRect CopyPixels(SDL_Surface* pSrc, int sx, int sy, int w, int h, SDL_Surface* pDst, int dx,
                   int dy);
  static void SetColorKeyZero(SDL_Surface* pSurface);
  BYTE ScreenEntry(const SDL_Color& color) const;
  // Takes up the colours that changed, and their screen entries.
  void InstallColors(SDL_Color* pInstalled, const SDL_Color* pColors, BYTE* pMap);
  void ApplyBgColors();
  void ApplySpriteColors();
  // One 8 x 8 sprite cell into the sprite layer, flipped, with the palette
  // bits on its coloured pixels; bOver writes only those, over what the
  // layer holds. Returns the rectangle of the layer it covers (the left and
  // upper part of the cell when it runs off the layer).
  SRect DrawSpriteCell(BYTE tile, int nTableY, bool bH, bool bV, BYTE bits, int x, int y,
                       bool bOver);
  void DrawNameTableCell(WORD addr);
  // Pattern changes are decoded into the pattern cache when the cache is
  // next read, so a program that switches banks many times a line pays for
  // one decoding, not one per switch.
  SDL_Surface* PatternCache();
  // Pattern writes and background-table switches leave cells of the
  // name-table cache showing old tiles; they are redrawn before the cache
  // is next copied.
  bool CacheIsStale() const;
  void RefreshStaleCells();
  void Snapshot();
  static bool ImageFromPixels(const std::vector<BYTE>& pixels, int nPitch, const SDL_Color* pColors,
                              int w, int h, SImage& image);

  SPlatform m_platform;
  CFramePacer m_pacer;

  SDL_Surface* m_pScreen = nullptr;
  SDL_Surface* m_pNameTableCache = nullptr;
  SDL_Surface* m_pPatternCache = nullptr;
  SDL_Surface* m_pSpriteLayer = nullptr;
  SDL_Surface* m_pBgPaletteView = nullptr;
  SDL_Surface* m_pSpritePaletteView = nullptr;
  SDL_Color m_masterColors[64] = {};
  SDL_Color m_bgColors[16] = {};
  SDL_Color m_spriteColors[16] = {};

  // The colours the background and the sprite surfaces show now, and the
  // screen entries they go to. As with SDL's blitter, which works out how a
  // surface's colours map onto the screen at its first blit after its
  // palette or colour key was set, new colours are taken up at the first
  // blit to the screen after EndFrame (or Init, or a write of entry 0), not
  // at the moment of the palette write.
  SDL_Color m_bgInstalled[16] = {};
  SDL_Color m_spriteInstalled[16] = {};
  BYTE m_bgMap[16] = {};
  BYTE m_spriteMap[16] = {};
  bool m_bMapsStale = true;  // the screen's palette changed since they were made
  bool m_bBgColorsDue = true;
  bool m_bSpriteColorsDue = true;

  // Tiles of both pattern tables changed since the pattern cache last took
  // them in.
  bool m_bPatternStale[512] = {};
  bool m_bAnyPatternStale = false;

  // The pattern table (0 or 1) the name-table cache was drawn from, and the
  // tiles of it that changed since.
  int m_nCacheBgTable = 0;
  bool m_bTileStale[256] = {};
  bool m_bAnyTileStale = false;

  // The cells the sprite layer holds since its last clearing, or the whole
  // layer to clear (a new layer).
  static constexpr int kWholeSpriteLayer = -1;
  SRect m_spriteRects[128] = {};
  int m_nSpriteRects = kWholeSpriteLayer;

  // The one colour the screen holds outside the 256 x 240 picture, -1 when
  // not known to be one.
  int m_nOutsideValue = -1;

  bool m_bWholeLayerBlits = false;
  bool m_bPresent = true;

  // The screen as EndFrame presented it, for screenshots.
  std::vector<BYTE> m_snapshot;
  int m_nSnapshotWidth = 0;
  int m_nSnapshotHeight = 0;
  int m_nSnapshotPitch = 0;
  int m_nSnapshotOutside = -1;  // as m_nOutsideValue, for the snapshot
  SDL_Color m_snapshotColors[256] = {};
};
