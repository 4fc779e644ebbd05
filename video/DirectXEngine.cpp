#include "video/DirectXEngine.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/MessageBox.h"
#include "platform/PresentationTarget.h"
#include "platform/SettingsStore.h"
#include "ppu/Ppu.h"
#include "video/NameTableLayout.h"

namespace {
constexpr int kScreenWidth = 256;
constexpr int kScreenHeight = 240;
constexpr DWORD kWindowedLevel = DDSCL_NORMAL | DDSCL_ALLOWREBOOT;                          // 0x0A
constexpr DWORD kFullScreenLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;  // 0x13
// Where the picture sits on the display in full screen, and inside the
// window's client area when windowed.
constexpr int kFullScreenX = 100;
constexpr int kFullScreenY = 110;
constexpr int kWindowInset = 3;

// Bit i of a byte moved to bit 2i: two pattern bytes interleaved give each
// pixel's colour number in two neighbouring bits.
constexpr auto kInterleave = [] {
  std::array<unsigned, 256> table{};
  for (unsigned v = 0; v < 256; ++v)
    for (int i = 0; i < 8; ++i) table[v] |= (v >> i & 1) << (2 * i);
  return table;
}();

void Release(IDirectDrawSurface*& pSurface) {
  if (pSurface) pSurface->Release();
  pSurface = nullptr;
}

bool SameSize(IDirectDrawSurface* a, IDirectDrawSurface* b) {
  SSurfacePixels pa, pb;
  if (DdFailed(a->Lock(pa))) return false;
  a->Unlock();
  if (DdFailed(b->Lock(pb))) return false;
  b->Unlock();
  return pa.nWidth == pb.nWidth && pa.nHeight == pb.nHeight;
}

void FillBlack(IDirectDrawSurface* pSurface) {
  if (!pSurface) return;
  SBltFx fx;
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = 0;
  pSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}
}  // namespace

CDirectXEngine::CDirectXEngine(CPpu* pPpu, const SPlatform& platform)
    : CGraphicEngine(pPpu), m_platform(platform) {}

// The machine destroys engines without Shutdown; nothing may be left behind.
CDirectXEngine::~CDirectXEngine() { Shutdown(); }

void CDirectXEngine::Message(const char* pText) {
  if (m_platform.pMessageBox) m_platform.pMessageBox->Show(pText);
}

DWORD CDirectXEngine::MasterColor(BYTE index) const {
  const BYTE* rgb = m_pPpu->m_RgbPalette[index & 0x3F];
  return MakeColorRef(rgb[0], rgb[1], rgb[2]);
}

void CDirectXEngine::Init() {
  // A reset while running comes without Shutdown: start from nothing.
  Shutdown();
  m_pacer.Restart();

  IDirectDrawFactory* pFactory = m_platform.pDirectDraw;
  if (!pFactory || DdFailed(pFactory->DirectDrawCreate(&m_pDirectDraw))) {
    m_pDirectDraw = nullptr;
    Message("Unable to create DirectDraw objects.");
    // Everything after this needs the object; nothing is shown until the next Init.
    return;
  }
  if (m_pPpu->m_bFullScreen) {
    if (!SetCooperativeLevel(true)) {
      m_pPpu->m_bFullScreen = 0;
      Message("Unable to set full screen mode.");
      Init();
      return;
    }
  } else if (!SetCooperativeLevel(false)) {
    Message("Unable to set windowed screen mode.");
  }
  CreateSurfaces();
}

bool CDirectXEngine::SetCooperativeLevel(bool bFullScreen) {
  return DdSucceeded(
      m_pDirectDraw->SetCooperativeLevel(bFullScreen ? kFullScreenLevel : kWindowedLevel));
}

void CDirectXEngine::ResetDesc() {
  m_desc = SSurfaceDesc();
  m_desc.dwSize = sizeof(m_desc);
}

IDirectDrawSurface* CDirectXEngine::CreateOffscreen(int nWidth, int nHeight,
                                                    const char* pFailureText) {
  ResetDesc();
  m_desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
  m_desc.dwWidth = static_cast<DWORD>(nWidth);
  m_desc.dwHeight = static_cast<DWORD>(nHeight);
  IDirectDrawSurface* pSurface = nullptr;
  if (DdFailed(m_pDirectDraw->CreateSurface(&m_desc, &pSurface))) {
    pSurface = nullptr;
    Message(pFailureText);
  }
  return pSurface;
}

void CDirectXEngine::CreateSurfaces() {
  if (!m_pDirectDraw) return;
  m_bSurfacesFullScreen = m_pPpu->m_bFullScreen != 0;
  ResetDesc();
  if (m_bSurfacesFullScreen) {
    m_desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    m_desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    m_desc.dwBackBufferCount = 1;
    if (DdFailed(m_pDirectDraw->CreateSurface(&m_desc, &m_pPrimary))) {
      m_pPrimary = nullptr;
      Message("Unable to create the primary surface.");
    }
    // Without a primary there is no chain to take the back buffer from.
    if (m_pPrimary &&
        DdFailed(m_pPrimary->GetAttachedSurface(DDSCAPS_BACKBUFFER, &m_pBackBuffer))) {
      m_pBackBuffer = nullptr;
      Message("Unable to create the back buffer surface.");
    }
  } else {
    m_desc.dwFlags = DDSD_CAPS;
    m_desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (DdFailed(m_pDirectDraw->CreateSurface(&m_desc, &m_pPrimary))) {
      m_pPrimary = nullptr;
      Message("Unable to create the primary surface.");
    }
    int nWidth = 256, nHeight = 240;
    if (m_platform.pSettings) {
      nWidth = m_platform.pSettings->GetInt("Settings", "ResolutionX", 256);
      nHeight = m_platform.pSettings->GetInt("Settings", "ResolutionY", 240);
    }
    m_pBackBuffer = CreateOffscreen(nWidth, nHeight, "Unable to create the back buffer surface.");
  }
  m_pNesScreen =
      CreateOffscreen(kScreenWidth, kScreenHeight, "Unable to create the NES screen surface.");
  m_pBackgroundCache = CreateOffscreen(kScreenWidth, kScreenHeight,
                                       "Unable to create the background cache surface.");
  m_pNameTableCache = CreateOffscreen(512, 480, "Unable to create the name table cache surface.");

  FillBlack(m_pBackBuffer);
  FillBlack(m_pNesScreen);
  FillBlack(m_pNameTableCache);
  FillBlack(m_pBackgroundCache);
  std::fill(std::begin(m_rowDue), std::end(m_rowDue), ERowDue::Nothing);
  ForgetRows();
  m_bSwapScreens = !m_bSurfacesFullScreen && m_pNesScreen && m_pBackBuffer &&
                   SameSize(m_pNesScreen, m_pBackBuffer);
}

void CDirectXEngine::ForgetRows() {
  // The cache starts black; of the other surfaces nothing is assumed.
  for (auto& stamp : m_cacheStamps) stamp = m_nNextStamp++;
  for (auto& blocks : m_blockColors) blocks.fill(0);
  m_sameAsNext.fill(~std::uint64_t{0});
  m_screenKeys.fill(kUnknownRow);
  m_backKeys.fill(kUnknownRow);
  m_shownKeys.fill(kUnknownRow);
}

void CDirectXEngine::ReleaseSurfaces() {
  ReadShownPicture(m_lastShown);
  m_bShown = false;
  Release(m_pNameTableCache);
  Release(m_pBackgroundCache);
  Release(m_pNesScreen);
  Release(m_pBackBuffer);
  Release(m_pPrimary);
}

void CDirectXEngine::Shutdown() {
  if (!m_pDirectDraw) return;
  ReleaseSurfaces();
  m_pDirectDraw->Release();
  m_pDirectDraw = nullptr;
}

void CDirectXEngine::UpdateNameTable(WORD addr) {
  if (addr < 0x2000 || addr >= 0x2800) return;
  if (IsAttributeByte(addr)) {
    ForEachTileUnderAttribute(addr, [this](WORD tile) { UpdateNameTable(tile); });
    return;
  }
  DrawTile(addr, addr < 0x2400 ? 0x2000 : 0x2400);
}

void CDirectXEngine::DrawTile(WORD addr, WORD base) {
  if (!m_pNameTableCache) return;
  const CPpu& ppu = *m_pPpu;
  const int offset = addr - base;
  const int xInTable = (offset & 0x1F) * 8;
  const int x = xInTable + (base == 0x2400 ? 256 : 0);
  const int y = (offset >> 5) * 8;

  const int select = TilePaletteSelect(ppu, base, xInTable, y);

  // The colours are taken now: a later palette change leaves this tile as it
  // is. They are written into the locked surface as SetPixel would write
  // them: the COLORREF's colour bytes, nothing outside the surface.
  DWORD colors[4];
  colors[0] = MasterColor(ppu.m_BgPalette[0]) & 0x00FFFFFF;
  for (int v = 1; v < 4; ++v)
    colors[v] = MasterColor(ppu.m_BgPalette[select * 4 + v]) & 0x00FFFFFF;

  // Each pair of neighbouring pixels by their colour numbers, the left one's
  // times 4 plus the right one's: a row of the tile is four of these.
  std::uint64_t pairs[16];
  for (int n = 0; n < 16; ++n)
    pairs[n] = colors[n >> 2] | static_cast<std::uint64_t>(colors[n & 3]) << 32;

  SSurfacePixels cache;
  if (DdFailed(m_pNameTableCache->Lock(cache))) return;
  // The cache was made 512 x 480, and its rows are tracked as such.
  if (cache.nWidth >= 512 && cache.nHeight >= 480) {
    const int pattern = ppu.m_Vram[addr] * 16 + ((ppu.m_Control & 0x10) ? 0x1000 : 0);
    const int block = x / 8;
    for (int r = 0; r < 8; ++r) {
      // Two bits per pixel, the colour number, the leftmost pixel's on top.
      const unsigned numbers =
          kInterleave[ppu.m_Vram[pattern + r]] | kInterleave[ppu.m_Vram[pattern + r + 8]] << 1;
      const std::uint64_t row[4] = {pairs[numbers >> 12], pairs[numbers >> 8 & 15],
                                    pairs[numbers >> 4 & 15], pairs[numbers & 15]};
      DWORD* pRow = cache.pPixels + static_cast<std::size_t>(y + r) * cache.nPitch + x;
      // Rewriting a tile as it was changes nothing that rows were copied from.
      if (std::memcmp(pRow, row, sizeof(row)) == 0) continue;
      std::memcpy(pRow, row, sizeof(row));
      const int cy = y + r;
      m_cacheStamps[cy] = m_nNextStamp++;
      // One colour number, so one colour (equal colours of two numbers are
      // taken as two).
      m_blockColors[cy][block] = numbers == (numbers & 3) * 0x5555 ? pRow[0] : kMixed;
      SetBlockNeighbours(cy, block);
    }
  }
  m_pNameTableCache->Unlock();
}

void CDirectXEngine::SetBlockNeighbours(int y, int block) {
  const auto& colors = m_blockColors[y];
  std::uint64_t& same = m_sameAsNext[y];
  for (int b : {(block + 63) & 63, block}) {
    const std::uint64_t bit = std::uint64_t{1} << b;
    if (colors[b] != kMixed && colors[b] == colors[(b + 1) & 63])
      same |= bit;
    else
      same &= ~bit;
  }
}

// The key of the 256 pixels of cache row sy from column sx on, going on from
// the left edge past the right one.
CDirectXEngine::RowKey CDirectXEngine::CacheRowKey(int sy, int sx) const {
  // Blocks first to last, 32 or 33 of them, are of one colour when each but
  // the last has the colour of the next.
  const int first = sx >> 3, last = (sx + kScreenWidth - 1) >> 3;
  const std::uint64_t needed = (std::uint64_t{1} << (last - first)) - 1;
  if ((std::rotr(m_sameAsNext[sy], first) & needed) == needed)
    return kOneColorRow | m_blockColors[sy][first];
  return m_cacheStamps[sy] << 9 | static_cast<RowKey>(sx);
}

void CDirectXEngine::DrawScanline(BYTE line) {
  CPpu& ppu = *m_pPpu;
  if (!(ppu.m_Mask & 0x08)) return;
  const WORD base = FrameNameTable(ppu);
  // The hit is game state, so it comes even when nothing can be drawn.
  if (line == ppu.m_SpriteRam[0] + 1) ppu.m_Status |= 0x40;
  if (!m_pNesScreen || !m_pNameTableCache || line >= kScreenHeight) return;

  // Only the fine scroll moves the source; the coarse scroll is not used.
  int sy = ppu.m_nFineY + line;
  int sx = ppu.m_nFineX;
  if (base == 0x2400) {
    if (sy >= 240)
      sy -= 240;
    else
      sx += 256;
  } else if (sy >= 240) {
    sy -= 240;
    sx += 256;
  }
  if (base == 0x2000 && sx > 256) {
    // The row reaches past the cache's right edge and is cut off there: the
    // end of the line keeps what it was to hold.
    CatchUpRows(line, line + 1);
    CopyCacheRow(line, sx, sy, false);
    m_screenKeys[line] = kUnknownRow;
    return;
  }
  // From table 0x2400 a row that runs off the right table goes on in the
  // left one; either way it covers the whole line.
  m_rowDue[line] = ERowDue::Nothing;
  const RowKey key = CacheRowKey(sy, sx);
  if (m_screenKeys[line] == key) return;  // the line holds these pixels already
  m_screenKeys[line] = CopyCacheRow(line, sx, sy, true) ? key : kUnknownRow;
}

bool CDirectXEngine::CopyCacheRow(int line, int sx, int sy, bool bWrap) {
  // What one or two unscaled one-row Blts do, without their general set-up:
  // these make every frame.
  SSurfacePixels from, to;
  if (DdFailed(m_pNameTableCache->Lock(from))) return false;
  if (DdFailed(m_pNesScreen->Lock(to))) {
    m_pNameTableCache->Unlock();
    return false;
  }
  const bool bFits = from.nWidth >= 512 && from.nHeight >= 480 && to.nWidth >= kScreenWidth &&
                     to.nHeight >= kScreenHeight;
  if (bFits) {
    DWORD* pTo = to.pPixels + static_cast<std::size_t>(line) * to.nPitch;
    const DWORD* pFrom = from.pPixels + static_cast<std::size_t>(sy) * from.nPitch;
    const int nFirst = std::min(kScreenWidth, 512 - sx);
    std::memcpy(pTo, pFrom + sx, static_cast<std::size_t>(nFirst) * sizeof(DWORD));
    if (bWrap && nFirst < kScreenWidth)
      std::memcpy(pTo + nFirst, pFrom,
                  static_cast<std::size_t>(kScreenWidth - nFirst) * sizeof(DWORD));
  }
  m_pNesScreen->Unlock();
  m_pNameTableCache->Unlock();
  return bFits;
}

void CDirectXEngine::ClearScreen(BYTE r, BYTE g, BYTE b) {
  if (!m_pNesScreen) return;
  // Most lines are drawn over whole before the picture is shown, so the
  // fill waits: for the lines left, until EndFrame.
  m_dwFillColor = MakeColorRef(r, g, b);
  std::fill(std::begin(m_rowDue), std::end(m_rowDue), ERowDue::Fill);
}

CDirectXEngine::RowKey CDirectXEngine::DueKey(int y) const {
  return m_rowDue[y] == ERowDue::Fill ? kOneColorRow | m_dwFillColor : m_backKeys[y];
}

void CDirectXEngine::CatchUpRows(int nFirst, int nEnd) {
  SBltFx fx;
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = m_dwFillColor;
  // A row that already holds what it is due needs nothing.
  auto holds = [this](int y) {
    return DueKey(y) != kUnknownRow && DueKey(y) == m_screenKeys[y];
  };
  for (int y = nFirst; y < nEnd;) {
    const ERowDue due = m_rowDue[y];
    if (due == ERowDue::Nothing || holds(y)) {
      m_rowDue[y++] = ERowDue::Nothing;
      continue;
    }
    const int top = y;
    for (; y < nEnd && m_rowDue[y] == due && !holds(y); ++y) {
      m_screenKeys[y] = DueKey(y);
      m_rowDue[y] = ERowDue::Nothing;
    }
    const SRect rc{0, top, kScreenWidth, y};
    if (due == ERowDue::Fill)
      m_pNesScreen->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    else
      m_pNesScreen->Blt(&rc, m_pBackBuffer, &rc, DDBLT_WAIT, nullptr);
  }
}

void CDirectXEngine::EndFrame() {
  if (m_pNesScreen) CatchUpRows(0, kScreenHeight);
  bool bShown = false;
  if (m_pPpu->m_bFullScreen) {
    if (m_pBackBuffer && m_pNesScreen)
      m_pBackBuffer->BltFast(kFullScreenX, kFullScreenY, m_pNesScreen, nullptr,
                             DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT);
    if (m_pPrimary)
      bShown = DdSucceeded(m_pPrimary->Flip(nullptr, 0)) && m_pBackBuffer && m_pNesScreen;
  } else if (m_pPrimary && m_pBackBuffer && m_pNesScreen) {
    const SPoint origin = m_platform.pDirectDraw->MainWindow().ClientToScreen({0, 0});
    const SPoint at{origin.x + kWindowInset, origin.y + kWindowInset};
    // The window moved: the display shows none of the picture's rows there.
    if (at.x != m_shownAt.x || at.y != m_shownAt.y) m_shownKeys.fill(kUnknownRow);
    m_shownAt = at;
    if (m_bSwapScreens) {
      // The finished picture becomes the back buffer, as a copy would make
      // it; what the NES screen should hold from now on is the same picture,
      // which its rows take from the back buffer when they are next needed.
      std::swap(m_pNesScreen, m_pBackBuffer);
      std::swap(m_screenKeys, m_backKeys);
      std::fill(std::begin(m_rowDue), std::end(m_rowDue), ERowDue::CopyOfBackBuffer);
      PresentChangedRows(at);
    } else if (std::find(m_screenKeys.begin(), m_screenKeys.end(), kUnknownRow) !=
                   m_screenKeys.end() ||
               m_screenKeys != m_shownKeys) {
      // Stretched: the whole picture again, unless it shows already.
      m_pBackBuffer->Blt(nullptr, m_pNesScreen, nullptr, DDBLT_WAIT, nullptr);
      m_pPrimary->BltFast(at.x, at.y, m_pBackBuffer, nullptr,
                          DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT);
      m_shownKeys = m_screenKeys;
    }
    bShown = true;
  }

  m_bShown = m_bShown || bShown;

  if (m_platform.bPaceFrames) m_pacer.FramePresented();
}

void CDirectXEngine::PresentChangedRows(SPoint at) {
  auto shown = [this](int y) {
    return m_backKeys[y] != kUnknownRow && m_backKeys[y] == m_shownKeys[y];
  };
  for (int y = 0; y < kScreenHeight;) {
    if (shown(y)) {
      ++y;
      continue;
    }
    const int top = y;
    for (; y < kScreenHeight && !shown(y); ++y) m_shownKeys[y] = m_backKeys[y];
    const SRect rc{0, top, kScreenWidth, y};
    m_pPrimary->BltFast(at.x, at.y + top, m_pBackBuffer, &rc,
                        DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT);
  }
}

// The picture is read back from where it was presented, so that presenting
// costs no extra copy: full screen from the front buffer at (100, 110),
// windowed from the back buffer, sampled at the centre of each stretched pixel.
bool CDirectXEngine::ReadShownPicture(std::vector<DWORD>& pixels) {
  IDirectDrawSurface* pSource = m_bSurfacesFullScreen ? m_pPrimary : m_pBackBuffer;
  SSurfacePixels shown;
  if (!m_bShown || !pSource || DdFailed(pSource->Lock(shown))) return false;
  pixels.assign(static_cast<std::size_t>(kScreenWidth) * kScreenHeight, 0);
  auto centre = [](int i, int nShown, int nPicture) {
    return static_cast<int>((2LL * i + 1) * nShown / (2 * nPicture));
  };
  for (int y = 0; y < kScreenHeight; ++y) {
    const int sy =
        m_bSurfacesFullScreen ? kFullScreenY + y : centre(y, shown.nHeight, kScreenHeight);
    if (sy >= shown.nHeight) break;
    const DWORD* pRow = shown.pPixels + static_cast<std::size_t>(sy) * shown.nPitch;
    DWORD* pOut = &pixels[static_cast<std::size_t>(y) * kScreenWidth];
    for (int x = 0; x < kScreenWidth; ++x) {
      const int sx =
          m_bSurfacesFullScreen ? kFullScreenX + x : centre(x, shown.nWidth, kScreenWidth);
      if (sx < shown.nWidth) pOut[x] = pRow[sx];
    }
  }
  pSource->Unlock();
  return true;
}

bool CDirectXEngine::CapturePicture(SImage& image) {
  std::vector<DWORD> live;
  const std::vector<DWORD>* pPixels = &m_lastShown;
  if (ReadShownPicture(live)) pPixels = &live;
  if (pPixels->empty()) return false;
  image = SImage(kScreenWidth, kScreenHeight);
  std::transform(pPixels->begin(), pPixels->end(), image.pixels.begin(), ColorRefToRgb);
  return true;
}

void CDirectXEngine::ToggleFullScreen() {
  // Without a drawing object there is no mode to switch.
  if (!m_pDirectDraw) return;
  if (m_pPpu->m_bFullScreen) {
    if (!SetCooperativeLevel(false)) {
      Message("Unable to set cooperative level.");
      return;
    }
    m_pPpu->m_bFullScreen = 0;
  } else if (!SetCooperativeLevel(true)) {
    // Stays windowed; the surfaces are made again for the window.
    Message("Unable to set cooperative level.");
  } else {
    m_pPpu->m_bFullScreen = 1;
  }
  // The name-table cache starts black again; the game's next writes refill it.
  ReleaseSurfaces();
  CreateSurfaces();
}

void CDirectXEngine::FillSquare(int x, int y, DWORD color) {
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c) m_pNameTableCache->SetPixel(x + c, y + r, color);
}

void CDirectXEngine::DrawPaletteSwatches() {
  if (!m_pNameTableCache) return;
  for (int y = 240; y < 272; ++y) {
    m_cacheStamps[y] = m_nNextStamp++;
    std::fill(m_blockColors[y].begin() + 32, m_blockColors[y].end(), kMixed);
    m_sameAsNext[y] &= 0x7FFFFFFF;
  }
  for (int i = 0; i < 16; ++i) {
    FillSquare(256 + 16 * i, 240, MasterColor(m_pPpu->m_SpritePalette[i]));
    FillSquare(256 + 16 * i, 256, MasterColor(m_pPpu->m_BgPalette[i]));
  }
}
