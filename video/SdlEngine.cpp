#include "video/SdlEngine.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/MessageBox.h"
#include "ppu/Ppu.h"
#include "video/NameTableLayout.h"
#include "video/PatternRow.h"
#include "video/PixelRows.h"

namespace {
constexpr int kWindowWidth = 512;
constexpr int kWindowHeight = 480;
constexpr int kFullScreenSize = 256;
constexpr int kPictureWidth = 256;
constexpr int kPictureHeight = 240;

SDL_Surface* Create8BitSurface(Uint32 flags, int w, int h) {
  return SDL_CreateRGBSurface(flags, w, h, 8, 0, 0, 0, 0);
}

// A surface's pixels, locked for as long as this lives when SDL asks for it.
// The address and pitch are read once: every pixel store could otherwise
// change them, as far as the compiler knows.
class CPixels {
 public:
  explicit CPixels(SDL_Surface* pSurface)
      : m_pSurface(pSurface), m_bLocked(SDL_MUSTLOCK(pSurface)) {
    if (m_bLocked) SDL_LockSurface(m_pSurface);
    m_pBase = static_cast<BYTE*>(m_pSurface->pixels);
    m_nPitch = m_pSurface->pitch;
  }
  ~CPixels() {
    if (m_bLocked) SDL_UnlockSurface(m_pSurface);
  }
  CPixels(const CPixels&) = delete;
  CPixels& operator=(const CPixels&) = delete;
  BYTE* Row(int y) const { return m_pBase + y * m_nPitch; }

 private:
  SDL_Surface* m_pSurface;
  bool m_bLocked;
  BYTE* m_pBase = nullptr;
  int m_nPitch = 0;
};
}  // namespace

CSdlEngine::CSdlEngine(CPpu* pPpu, const SPlatform& platform)
    : CGraphicEngine(pPpu), m_platform(platform) {}

CSdlEngine::~CSdlEngine() {
  FreeSurfaces();
  // The machine replaces engines without Shutdown (engine change, ROM
  // load); the window of a running engine must not stay behind, frozen.
  if (m_pScreen) SDL_Quit();
}

void CSdlEngine::FreeSurfaces() {
  // The screen belongs to SDL; these are ours.
  for (SDL_Surface** pp : {&m_pNameTableCache, &m_pPatternCache, &m_pSpriteLayer,
                           &m_pBgPaletteView, &m_pSpritePaletteView}) {
    if (*pp) SDL_FreeSurface(*pp);
    *pp = nullptr;
  }
}

void CSdlEngine::Init() {
  SDL_Init(SDL_INIT_VIDEO);
  for (int i = 0; i < 64; ++i) {
    m_masterColors[i].r = m_pPpu->m_RgbPalette[i][0];
    m_masterColors[i].g = m_pPpu->m_RgbPalette[i][1];
    m_masterColors[i].b = m_pPpu->m_RgbPalette[i][2];
  }

  m_pScreen = SDL_SetVideoMode(kWindowWidth, kWindowHeight, 8, SDL_DOUBLEBUF);
  if (!m_pScreen) {
    if (m_platform.pMessageBox) m_platform.pMessageBox->Show("Unable to initialize video");
  } else {
    SetScreenPalette();
    SDL_WM_SetCaption("Tolvar", "Tolvar");
  }
  // SDL's dummy driver (the runner, tests) shows nothing: presenting to it
  // would only convert the window to 32 bits for no one, at several times
  // the cost of drawing the frame.
  char driver[32] = {};
  m_bPresent = !(SDL_VideoDriverName(driver, sizeof(driver)) && std::strcmp(driver, "dummy") == 0);
  // A new screen holds whatever its memory held: black is shown until the
  // first frame, also when that never comes (stopped, or a message box up).
  if (m_pScreen) {
    SDL_FillRect(m_pScreen, nullptr, SDL_MapRGB(m_pScreen->format, 0, 0, 0));
    if (m_bPresent) SDL_Flip(m_pScreen);
  }

  // A reset comes without a Shutdown: the previous surfaces go.
  FreeSurfaces();
  m_pSpriteLayer = Create8BitSurface(SDL_HWSURFACE | SDL_SRCCOLORKEY, 256, 240);
  m_pPatternCache = Create8BitSurface(SDL_HWSURFACE | SDL_SRCCOLORKEY, 256, 128);
  m_pNameTableCache = Create8BitSurface(SDL_HWSURFACE | SDL_SRCCOLORKEY, 512, 480);
  m_pBgPaletteView = Create8BitSurface(SDL_HWSURFACE, 256, 16);
  m_pSpritePaletteView = Create8BitSurface(SDL_HWSURFACE, 256, 16);
  // Blits out of the pattern cache copy every pixel, 0 included.
  if (m_pPatternCache) SDL_SetColorKey(m_pPatternCache, 0, 0);

  std::memcpy(m_bgInstalled, m_bgColors, sizeof(m_bgInstalled));
  std::memcpy(m_spriteInstalled, m_spriteColors, sizeof(m_spriteInstalled));
  m_bBgColorsDue = true;
  m_bSpriteColorsDue = true;
  m_nOutsideValue = -1;
  m_nSpriteRects = kWholeSpriteLayer;

  // The new cache is blank: every cell is drawn from picture memory before
  // the first row is copied.
  m_nCacheBgTable = (m_pPpu->m_Control & 0x10) ? 1 : 0;
  std::fill(std::begin(m_bTileStale), std::end(m_bTileStale), true);
  m_bAnyTileStale = true;
  std::fill(std::begin(m_bPatternStale), std::end(m_bPatternStale), true);
  m_bAnyPatternStale = true;
}

void CSdlEngine::SetScreenPalette() {
  // The screen holds exactly the master colours (repeated to fill its 256
  // entries), so every colour the 16-colour surfaces or the backdrop use
  // maps onto an identical screen colour.
  SDL_Color colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = m_masterColors[i & 63];
  SDL_SetColors(m_pScreen, colors, 0, 256);
  m_bBgColorsDue = true;
  m_bSpriteColorsDue = true;
  m_bMapsStale = true;
}

BYTE CSdlEngine::ScreenEntry(const SDL_Color& color) const {
  // The entry SDL's blitter would choose: the first exact one, else the
  // first nearest.
  const SDL_Palette* pScreen = m_pScreen ? m_pScreen->format->palette : nullptr;
  if (!pScreen) return 0;
  BYTE entry = 0;
  int nBest = INT_MAX;
  for (int k = 0; k < pScreen->ncolors && nBest != 0; ++k) {
    const SDL_Color& c = pScreen->colors[k];
    const int dr = c.r - color.r, dg = c.g - color.g, db = c.b - color.b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < nBest) {
      nBest = d;
      entry = static_cast<BYTE>(k);
    }
  }
  return entry;
}

void CSdlEngine::InstallColors(SDL_Color* pInstalled, const SDL_Color* pColors, BYTE* pMap) {
  if (m_bMapsStale) {
    m_bMapsStale = false;
    for (int i = 0; i < 16; ++i) {
      m_bgMap[i] = ScreenEntry(m_bgInstalled[i]);
      m_spriteMap[i] = ScreenEntry(m_spriteInstalled[i]);
    }
  }
  for (int i = 0; i < 16; ++i) {
    const SDL_Color& c = pColors[i];
    if (c.r == pInstalled[i].r && c.g == pInstalled[i].g && c.b == pInstalled[i].b) continue;
    pInstalled[i] = c;
    pMap[i] = ScreenEntry(c);
  }
}

void CSdlEngine::ApplyBgColors() {
  m_bBgColorsDue = false;
  InstallColors(m_bgInstalled, m_bgColors, m_bgMap);
}

void CSdlEngine::ApplySpriteColors() {
  m_bSpriteColorsDue = false;
  InstallColors(m_spriteInstalled, m_spriteColors, m_spriteMap);
}

inline bool CSdlEngine::ClipRects(const SDL_Surface* pSrc, const SDL_Surface* pDst, SRect& r) {
  if (!pSrc || !pDst) return false;
  // Keep the source rectangle inside the source...
  if (r.sx < 0) { r.w += r.sx; r.dx -= r.sx; r.sx = 0; }
  if (r.sy < 0) { r.h += r.sy; r.dy -= r.sy; r.sy = 0; }
  r.w = std::min(r.w, pSrc->w - r.sx);
  r.h = std::min(r.h, pSrc->h - r.sy);
  // ...and the destination inside the destination.
  if (r.dx < 0) { r.w += r.dx; r.sx -= r.dx; r.dx = 0; }
  if (r.dy < 0) { r.h += r.dy; r.sy -= r.dy; r.dy = 0; }
  r.w = std::min(r.w, pDst->w - r.dx);
  r.h = std::min(r.h, pDst->h - r.dy);
  return r.w > 0 && r.h > 0;
}

void CSdlEngine::BlitToScreen(SDL_Surface* pSrc, int sx, int sy, int w, int h, int dx, int dy,
                              const BYTE* pMap) {
  // What SDL's blit of our 8-bit surfaces onto the 8-bit screen does, in
  // rows of our own: each pixel through the colour map, the colour key's
  // pixels left out.
  SRect r = {sx, sy, w, h, dx, dy};
  if (!ClipRects(pSrc, m_pScreen, r)) return;
  if (r.dx + r.w > kPictureWidth || r.dy + r.h > kPictureHeight) m_nOutsideValue = -1;
  const int nKey = (pSrc->flags & SDL_SRCCOLORKEY) ? static_cast<int>(pSrc->format->colorkey) : -1;
  const CPixels from(pSrc), to(m_pScreen);
  for (int row = 0; row < r.h; ++row)
    MapPixelRow(from.Row(r.sy + row) + r.sx, to.Row(r.dy + row) + r.dx, r.w, pMap, nKey);
}

void CSdlEngine::FillRect(SDL_Surface* pSurface, int x, int y, int w, int h, BYTE value) {
  // SDL fills 8-bit surfaces a byte at a time, which costs more than the
  // rest of a frame; a row is one memset.
  const CPixels pixels(pSurface);
  x = std::max(x, 0);
  y = std::max(y, 0);
  w = std::min(w, pSurface->w - x);
  h = std::min(h, pSurface->h - y);
  if (w <= 0) return;
  for (int row = y; row < y + h; ++row)
    std::memset(pixels.Row(row) + x, value, static_cast<std::size_t>(w));
}

CSdlEngine::SRect CSdlEngine::CopyPixels(SDL_Surface* pSrc, int sx, int sy, int w, int h,
                                         SDL_Surface* pDst, int dx, int dy) {
  // Between our own 8-bit surfaces pixel values are copied as they are. An
  // SDL blit would match colours instead, and the colour key SDL marks in a
  // palette makes otherwise equal palettes differ.
  SRect r = {sx, sy, w, h, dx, dy};
  if (!ClipRects(pSrc, pDst, r)) return SRect{};
  const CPixels from(pSrc), to(pDst);
  for (int row = 0; row < r.h; ++row) {
    const BYTE* pFrom = from.Row(r.sy + row) + r.sx;
    BYTE* pTo = to.Row(r.dy + row) + r.dx;
    if (r.w == 8) {
      // A tile's row, the common case: one load and one store.
      std::uint64_t v;
      std::memcpy(&v, pFrom, 8);
      std::memcpy(pTo, &v, 8);
    } else {
      std::memmove(pTo, pFrom, static_cast<std::size_t>(r.w));
    }
  }
  return r;
}

void CSdlEngine::Shutdown() {
  SDL_Quit();
  // SDL freed the screen; our surfaces stay until the next Init replaces them.
  m_pScreen = nullptr;
}

void CSdlEngine::UpdatePattern(WORD addr) { UpdatePatterns(addr, 1); }

void CSdlEngine::UpdatePatterns(WORD first, int nCount) {
  if (!m_pPatternCache || nCount <= 0) return;
  const int nFirstTile = (first & 0x1FFF) >> 4;
  const int nLastTile = std::min(0x1FFF, first + nCount - 1) >> 4;
  for (int t = nFirstTile; t <= nLastTile; ++t) {
    m_bPatternStale[t] = true;
    // The name-table cache holds copies of the background's tiles; a
    // sprite tile's change leaves it as it is.
    if ((t >> 8) == m_nCacheBgTable) {
      m_bTileStale[t & 0xFF] = true;
      m_bAnyTileStale = true;
    }
  }
  m_bAnyPatternStale = true;
}

SDL_Surface* CSdlEngine::PatternCache() {
  if (!m_bAnyPatternStale || !m_pPatternCache) return m_pPatternCache;
  const CPixels pixels(m_pPatternCache);
  for (int t = 0; t < 512; ++t) {
    if (!m_bPatternStale[t]) continue;
    m_bPatternStale[t] = false;
    const BYTE* pPlanes = m_pPpu->m_Vram + t * 16;
    const int x = t & 0xF8;
    const int y = (t & 7) * 8 + (t >= 256 ? 64 : 0);
    for (int r = 0; r < 8; ++r) {
      const std::uint64_t row = PatternRow(pPlanes[r], pPlanes[r + 8]);
      std::memcpy(pixels.Row(y + r) + x, &row, 8);
    }
  }
  m_bAnyPatternStale = false;
  return m_pPatternCache;
}

bool CSdlEngine::CacheIsStale() const {
  return m_bAnyTileStale || ((m_pPpu->m_Control & 0x10) ? 1 : 0) != m_nCacheBgTable;
}

void CSdlEngine::RefreshStaleCells() {
  const int table = (m_pPpu->m_Control & 0x10) ? 1 : 0;
  const bool bAll = table != m_nCacheBgTable;
  m_nCacheBgTable = table;
  for (WORD base : {WORD(0x2000), WORD(0x2400)})
    for (WORD addr = base; addr < base + 0x3C0; ++addr)
      if (bAll || m_bTileStale[m_pPpu->m_Vram[addr]]) DrawNameTableCell(addr);
  std::fill(std::begin(m_bTileStale), std::end(m_bTileStale), false);
  m_bAnyTileStale = false;
}

void CSdlEngine::UpdateNameTable(WORD addr) {
  if (IsAttributeByte(addr)) {
    ForEachTileUnderAttribute(addr, [this](WORD tile) { UpdateNameTable(tile); });
    return;
  }
  if (addr < 0x2000 || addr >= 0x2800) return;
  DrawNameTableCell(addr);
}

void CSdlEngine::DrawNameTableCell(WORD addr) {
  const WORD table = addr < 0x2400 ? 0x2000 : 0x2400;
  const int o = addr - table;
  const BYTE tile = m_pPpu->m_Vram[addr];
  const int sx = tile & 0xF8;
  // Always from the table the whole cache is drawn from: a cell written
  // while the game has the other table selected would otherwise keep that
  // table's tile after the game switches back, which no refresh sees.
  const int sy = (tile & 7) * 8 + m_nCacheBgTable * 64;
  const int x = (o & 0x1F) * 8;
  const int y = (o >> 5) * 8;
  const BYTE select = static_cast<BYTE>(TilePaletteSelect(*m_pPpu, table, x, y) << 2);
  const int dx = x + (table == 0x2400 ? 256 : 0);

  CopyPixels(PatternCache(), sx, sy, 8, 8, m_pNameTableCache, dx, y);
  if (!m_pNameTableCache || select == 0) return;
  const CPixels pixels(m_pNameTableCache);
  for (int r = 0; r < 8; ++r) {
    BYTE* row = pixels.Row(y + r) + dx;
    for (int c = 0; c < 8; ++c) row[c] |= row[c] ? select : 0;
  }
}

void CSdlEngine::SetColorKeyZero(SDL_Surface* pSurface) {
  // Games write entry 0 every frame; the key, once set, stays the same.
  if (!(pSurface->flags & SDL_SRCCOLORKEY) || pSurface->format->colorkey != 0)
    SDL_SetColorKey(pSurface, SDL_SRCCOLORKEY, 0);
}

void CSdlEngine::UpdateBgPalette(BYTE index) {
  const BYTE* rgb = m_pPpu->m_RgbPalette[m_pPpu->m_BgPalette[index] & 0x3F];
  m_bgColors[index] = {rgb[0], rgb[1], rgb[2], m_bgColors[index].unused};
  // The colour itself shows from the next EndFrame, like every other entry.
  if (index == 0 && m_pNameTableCache) SetColorKeyZero(m_pNameTableCache);
}

void CSdlEngine::UpdateSpritePalette(BYTE index) {
  const BYTE* rgb = m_pPpu->m_RgbPalette[m_pPpu->m_SpritePalette[index] & 0x3F];
  m_spriteColors[index] = {rgb[0], rgb[1], rgb[2], m_spriteColors[index].unused};
  if (index == 0 && m_pSpriteLayer) SetColorKeyZero(m_pSpriteLayer);
}

void CSdlEngine::DrawScanline(BYTE line) {
  CPpu& ppu = *m_pPpu;
  // Either layer shown makes the picture processor fetch, which copies the
  // horizontal scroll into the address.
  if (ppu.m_Mask & 0x18) {
    ppu.m_VramAddr = static_cast<WORD>((ppu.m_VramAddr & 0xFFE0) | (ppu.m_TempAddr & 0x001F));
    ppu.m_VramAddr = static_cast<WORD>((ppu.m_VramAddr & 0x7BFF) | (ppu.m_TempAddr & 0x0400));
  }
  if (!(ppu.m_Mask & 0x08)) return;
  if (CacheIsStale()) RefreshStaleCells();

  if (line == ppu.m_SpriteRam[0] + 6) ppu.m_Status |= 0x40;

  // Rows go on past row 29 at the top of the table below, through the
  // mirroring. A scroll of 240-255 starts in the attribute rows, shown as
  // backdrop, and wraps to row 0 of the same table.
  int nTable = ppu.m_Control & 3;
  const int nTop = ((ppu.m_VramAddr >> 5) & 0x1F) * 8 + ppu.m_nFineY;
  int sy = nTop + line;
  if (nTop < 240 && sy >= 240) {
    sy -= 240;
    nTable ^= 2;
  } else if (nTop >= 240) {
    if (sy < 256) return;
    sy -= 256;
  }
  const bool bRight = PhysicalNameTable(ppu, nTable) == 0x2400;
  const int sx = (ppu.m_VramAddr & 0x1F) * 8 + ppu.m_nFineX + (bRight ? 256 : 0);

  if (m_bBgColorsDue) ApplyBgColors();
  if (sx > 256) {
    // The row runs off the right edge of the cache and goes on at its left.
    BlitToScreen(m_pNameTableCache, sx, sy, 512 - sx, 1, 0, line, m_bgMap);
    BlitToScreen(m_pNameTableCache, 0, sy, 256 - (512 - sx), 1, 512 - sx, line, m_bgMap);
    return;
  }
  BlitToScreen(m_pNameTableCache, sx, sy, 256, 1, 0, line, m_bgMap);
}

void CSdlEngine::DrawSprites(BYTE front) {
  if (!m_pSpriteLayer) return;
  const CPpu& ppu = *m_pPpu;
  // The layer is blank but for the cells the last call drew.
  if (m_nSpriteRects == kWholeSpriteLayer) {
    FillRect(m_pSpriteLayer, 0, 0, m_pSpriteLayer->w, m_pSpriteLayer->h, 0);
  } else {
    for (int i = 0; i < m_nSpriteRects; ++i) {
      const SRect& r = m_spriteRects[i];
      FillRect(m_pSpriteLayer, r.dx, r.dy, r.w, r.h, 0);
    }
  }
  m_nSpriteRects = 0;

  // With its colour key set, the layer adds each sprite's own rectangle to
  // the screen, which leaves the screen as a blit of the whole layer after
  // every sprite would. Without one the layer is opaque, and its last whole
  // blit covers all the earlier ones. A keyed layer is blitted at the end,
  // each cell once: its sprites go in over each other, coloured pixels only,
  // so it then holds what each pixel showed last.
  const bool bKeyed = (m_pSpriteLayer->flags & SDL_SRCCOLORKEY) != 0;
  const bool bOnce = bKeyed && m_pSpriteLayer->format->colorkey == 0 && !m_bWholeLayerBlits;
  bool bAnyDrawn = false;
  auto blitLayer = [this](int x, int y, int w, int h) {
    if (m_bSpriteColorsDue) ApplySpriteColors();
    BlitToScreen(m_pSpriteLayer, x, y, w, h, x, y, m_spriteMap);
  };

  for (int i = 63; i >= 0; --i) {
    const BYTE* sprite = &ppu.m_SpriteRam[i * 4];
    const BYTE attr = sprite[2];
    if (((attr >> 5) & 1) == front) continue;
    const int x = sprite[3];
    const int y = sprite[0] + 1;
    const BYTE tile = sprite[1];
    const BYTE bits = static_cast<BYTE>((attr & 3) << 2);

    // Tall sprites take an even/odd tile pair from the table that bit 0 of
    // the tile number names; a vertical flip also swaps the two halves.
    const bool bV = (attr & 0x80) != 0;
    const bool bH = (attr & 0x40) != 0;
    SRect written[2];
    if (ppu.m_Control & 0x20) {
      const int table = (tile & 1) ? 64 : 0;
      const BYTE upper = tile & 0xFE;
      const BYTE lower = tile | 1;
      written[0] = DrawSpriteCell(bV ? lower : upper, table, bH, bV, bits, x, y, bOnce);
      written[1] = DrawSpriteCell(bV ? upper : lower, table, bH, bV, bits, x, y + 8, bOnce);
    } else {
      written[0] =
          DrawSpriteCell(tile, (ppu.m_Control & 0x08) ? 64 : 0, bH, bV, bits, x, y, bOnce);
    }
    bAnyDrawn = true;

    int left = 256, top = 240, right = 0, bottom = 0;
    for (const SRect& r : written) {
      if (r.w <= 0) continue;
      m_spriteRects[m_nSpriteRects++] = r;
      left = std::min(left, r.dx);
      top = std::min(top, r.dy);
      right = std::max(right, r.dx + r.w);
      bottom = std::max(bottom, r.dy + r.h);
    }

    if (m_bWholeLayerBlits)
      blitLayer(0, 0, 256, 240);
    else if (bKeyed && !bOnce && right > left)
      blitLayer(left, top, right - left, bottom - top);
  }
  for (int i = 0; bOnce && i < m_nSpriteRects; ++i) {
    const SRect& r = m_spriteRects[i];
    auto same = [&r](const SRect& o) { return o.dx == r.dx && o.dy == r.dy && o.w == r.w && o.h == r.h; };
    if (std::none_of(m_spriteRects, m_spriteRects + i, same)) blitLayer(r.dx, r.dy, r.w, r.h);
  }
  if (bAnyDrawn && !bKeyed && !m_bWholeLayerBlits) blitLayer(0, 0, 256, 240);
}

CSdlEngine::SRect CSdlEngine::DrawSpriteCell(BYTE tile, int nTableY, bool bH, bool bV, BYTE bits,
                                             int x, int y, bool bOver) {
  SRect r = {0, 0, 8, 8, x, y};
  if (!ClipRects(PatternCache(), m_pSpriteLayer, r)) return SRect{};
  const CPixels pattern(m_pPatternCache), layer(m_pSpriteLayer);
  const int sx = tile & 0xF8;
  const int sy = (tile & 7) * 8 + nTableY;
  for (int row = 0; row < r.h; ++row) {
    const BYTE* from = pattern.Row(sy + (bV ? 7 - row : row)) + sx;
    BYTE* to = layer.Row(r.dy + row) + r.dx;
    for (int c = 0; c < r.w; ++c) {
      const BYTE v = from[bH ? 7 - c : c];
      if (v)
        to[c] = static_cast<BYTE>(v | bits);
      else if (!bOver)
        to[c] = 0;
    }
  }
  return r;
}

void CSdlEngine::EndFrame() {
  // Every surface takes up its family's colours again at its next blit.
  m_bBgColorsDue = true;
  m_bSpriteColorsDue = true;
  if (m_bDebugView) {
    DrawPalettes();
    DrawPatternTables();
    if (CacheIsStale()) RefreshStaleCells();
    if (m_bBgColorsDue) ApplyBgColors();
    BlitToScreen(m_pNameTableCache, 0, 0, 512, 240, 0, 240, m_bgMap);
    // The views took up the colours of this moment; the picture takes them
    // up at its own next blit all the same, as it does without the views.
    m_bBgColorsDue = true;
    m_bSpriteColorsDue = true;
  }
  if (!m_pScreen) return;
  Snapshot();
  if (m_bPresent) SDL_Flip(m_pScreen);
  if (m_platform.bPaceFrames) m_pacer.FramePresented();
}

void CSdlEngine::DrawPalettes() {
  for (SDL_Surface* p : {m_pBgPaletteView, m_pSpritePaletteView}) {
    if (!p) continue;
    const CPixels pixels(p);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 256; ++x) pixels.Row(y)[x] = static_cast<BYTE>(x / 16);
  }
  if (m_bBgColorsDue) ApplyBgColors();
  if (m_bSpriteColorsDue) ApplySpriteColors();
  BlitToScreen(m_pBgPaletteView, 0, 0, 256, 16, 256, 0, m_bgMap);
  BlitToScreen(m_pSpritePaletteView, 0, 0, 256, 16, 256, 16, m_spriteMap);
}

void CSdlEngine::DrawPatternTables() {
  if (m_bBgColorsDue) ApplyBgColors();
  BlitToScreen(PatternCache(), 0, 0, 256, 128, 256, 32, m_bgMap);
}

void CSdlEngine::ClearScreen(BYTE /*r*/, BYTE /*g*/, BYTE /*b*/) {
  if (!m_pScreen) return;
  const SDL_Color& c = m_masterColors[m_pPpu->m_BgPalette[0] & 0x3F];
  const BYTE value = static_cast<BYTE>(SDL_MapRGB(m_pScreen->format, c.r, c.g, c.b));
  // Outside the picture only the debug views draw; where it holds this
  // colour already, the picture alone is filled.
  if (m_nOutsideValue == value) {
    FillRect(m_pScreen, 0, 0, kPictureWidth, kPictureHeight, value);
  } else {
    FillRect(m_pScreen, 0, 0, m_pScreen->w, m_pScreen->h, value);
    m_nOutsideValue = value;
  }
}

void CSdlEngine::ToggleFullScreen() {
  m_pScreen = SDL_SetVideoMode(kFullScreenSize, kFullScreenSize, 8,
                               SDL_FULLSCREEN | SDL_DOUBLEBUF | SDL_HWPALETTE);
  m_nOutsideValue = -1;
  if (!m_pScreen) {
    if (m_platform.pMessageBox)
      m_platform.pMessageBox->Show("Unable to initialize video in full screen mode");
    return;
  }
  SetScreenPalette();
}

void CSdlEngine::ToggleDebugView() { m_bDebugView = m_bDebugView ? 0 : 1; }

void CSdlEngine::Snapshot() {
  const bool bSameShape = m_nSnapshotWidth == m_pScreen->w &&
                          m_nSnapshotHeight == m_pScreen->h && m_nSnapshotPitch == m_pScreen->pitch;
  m_nSnapshotWidth = m_pScreen->w;
  m_nSnapshotHeight = m_pScreen->h;
  m_nSnapshotPitch = m_pScreen->pitch;
  const std::size_t nBytes = static_cast<std::size_t>(m_pScreen->pitch) * m_pScreen->h;
  m_snapshot.resize(nBytes);
  const CPixels screen(m_pScreen);
  if (bSameShape && m_nOutsideValue >= 0 && m_nOutsideValue == m_nSnapshotOutside) {
    // Around the picture both hold the same single colour.
    const int w = std::min(kPictureWidth, m_pScreen->w);
    for (int y = 0; y < std::min(kPictureHeight, m_pScreen->h); ++y)
      std::memcpy(&m_snapshot[static_cast<std::size_t>(y) * m_nSnapshotPitch], screen.Row(y),
                  static_cast<std::size_t>(w));
  } else {
    std::memcpy(m_snapshot.data(), screen.Row(0), nBytes);
    m_nSnapshotOutside = m_nOutsideValue;
  }
  const SDL_Palette* pPalette = m_pScreen->format->palette;
  if (pPalette) {
    const int n = std::min(pPalette->ncolors, 256);
    std::memcpy(m_snapshotColors, pPalette->colors, sizeof(SDL_Color) * n);
  }
}

bool CSdlEngine::ImageFromPixels(const std::vector<BYTE>& pixels, int nPitch,
                                 const SDL_Color* pColors, int w, int h, SImage& image) {
  if (pixels.size() < static_cast<std::size_t>(nPitch) * h) return false;
  image = SImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const SDL_Color& c = pColors[pixels[static_cast<std::size_t>(y) * nPitch + x]];
      image.At(x, y) = PackRgb(c.r, c.g, c.b);
    }
  return true;
}

bool CSdlEngine::CapturePicture(SImage& image) {
  if (m_snapshot.empty()) return false;
  return ImageFromPixels(m_snapshot, m_nSnapshotPitch, m_snapshotColors,
                         std::min(kPictureWidth, m_nSnapshotWidth),
                         std::min(kPictureHeight, m_nSnapshotHeight), image);
}

bool CSdlEngine::CaptureWindow(SImage& image) {
  if (m_snapshot.empty()) return false;
  return ImageFromPixels(m_snapshot, m_nSnapshotPitch, m_snapshotColors, m_nSnapshotWidth,
                         m_nSnapshotHeight, image);
}
