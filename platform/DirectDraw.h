#pragma once

#include "platform/Types.h"

// The DirectDraw 7 calls the DirectX engine makes, as a small interface of our
// own: a drawing object bound to one display, surfaces of 32-bit pixels, fills,
// blits, a flip chain and per-pixel writes. The software implementation is in
// platform/SoftDirectDraw.h; the display it draws on is an IPresentationTarget.

class IPresentationTarget;

using HRESULT = std::int32_t;

inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_GENERIC = -1;
inline constexpr HRESULT DDERR_INVALIDPARAMS = -2;
inline constexpr HRESULT DDERR_INVALIDRECT = -3;
inline constexpr HRESULT DDERR_NOTFLIPPABLE = -4;
inline constexpr HRESULT DDERR_NOTFOUND = -5;
inline constexpr HRESULT DDERR_UNSUPPORTED = -6;
inline constexpr HRESULT DDERR_OUTOFMEMORY = -7;

inline bool DdFailed(HRESULT hr) { return hr < 0; }
inline bool DdSucceeded(HRESULT hr) { return hr >= 0; }

// Cooperative levels.
inline constexpr DWORD DDSCL_FULLSCREEN = 0x01;
inline constexpr DWORD DDSCL_ALLOWREBOOT = 0x02;
inline constexpr DWORD DDSCL_NORMAL = 0x08;
inline constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// Which fields of a surface description are valid.
inline constexpr DWORD DDSD_CAPS = 0x01;
inline constexpr DWORD DDSD_HEIGHT = 0x02;
inline constexpr DWORD DDSD_WIDTH = 0x04;
inline constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;

// Surface capabilities.
inline constexpr DWORD DDSCAPS_BACKBUFFER = 0x0004;
inline constexpr DWORD DDSCAPS_COMPLEX = 0x0008;
inline constexpr DWORD DDSCAPS_FLIP = 0x0010;
inline constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x0040;
inline constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x0200;

// Blt and BltFast flags. Every call completes at once, so the wait flags only
// exist to be passed.
inline constexpr DWORD DDBLT_COLORFILL = 0x00000400;
inline constexpr DWORD DDBLT_WAIT = 0x01000000;
inline constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x00;
inline constexpr DWORD DDBLTFAST_WAIT = 0x10;

// Right and bottom are exclusive, as in a Windows RECT.
struct SRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

struct SPoint {
  int x = 0;
  int y = 0;
};

// Pixel format of every surface: a Windows COLORREF, 0x00BBGGRR, that is the
// bytes R, G, B, 0 in memory. A colour-fill value built as R | G << 8 | B << 16
// and a SetPixel colour built the same way are then one and the same pixel.
inline constexpr DWORD MakeColorRef(BYTE r, BYTE g, BYTE b) {
  return static_cast<DWORD>(r) | static_cast<DWORD>(g) << 8 | static_cast<DWORD>(b) << 16;
}
// The same colour as 0x00RRGGBB (SImage).
inline constexpr std::uint32_t ColorRefToRgb(DWORD c) {
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

struct SSurfaceDesc {
  DWORD dwSize = 0;  // sizeof(SSurfaceDesc)
  DWORD dwFlags = 0;
  DWORD dwHeight = 0;
  DWORD dwWidth = 0;
  DWORD dwBackBufferCount = 0;
  DWORD dwCaps = 0;
};

struct SBltFx {
  DWORD dwSize = 0;  // sizeof(SBltFx)
  DWORD dwFillColor = 0;
};

// A surface's memory while it is locked; nPitch counts pixels.
struct SSurfacePixels {
  DWORD* pPixels = nullptr;
  int nWidth = 0;
  int nHeight = 0;
  int nPitch = 0;
};

// Reference counted like the COM objects they stand for: whoever receives one
// from a Create or Get call owns one reference and gives it back by Release.
class IDirectDrawSurface {
 public:
  virtual DWORD AddRef() = 0;
  virtual DWORD Release() = 0;

  // The flip chain's back buffer of a full-screen primary (DDSCAPS_BACKBUFFER).
  virtual HRESULT GetAttachedSurface(DWORD dwCaps, IDirectDrawSurface** ppSurface) = 0;
  // Colour fill (DDBLT_COLORFILL with pFx) or copy from pSrc, stretched by
  // nearest neighbour when the rectangles differ in size. Null rectangles mean
  // the whole surface. Whatever lies outside either surface is clipped off.
  virtual HRESULT Blt(const SRect* pDestRect, IDirectDrawSurface* pSrc, const SRect* pSrcRect,
                      DWORD dwFlags, const SBltFx* pFx) = 0;
  // Unscaled copy of pSrcRect (null: all of pSrc) to (x, y), clipped.
  virtual HRESULT BltFast(int x, int y, IDirectDrawSurface* pSrc, const SRect* pSrcRect,
                          DWORD dwTrans) = 0;
  // Shows the back buffer of a flip chain; the old front becomes the back buffer.
  virtual HRESULT Flip(IDirectDrawSurface* pOverride, DWORD dwFlags) = 0;
  // What GetDC, SetPixel and ReleaseDC do together: one pixel in a COLORREF
  // colour. Outside the surface nothing is written.
  virtual HRESULT SetPixel(int x, int y, DWORD colorRef) = 0;
  virtual HRESULT Lock(SSurfacePixels& pixels) = 0;
  virtual void Unlock() = 0;

 protected:
  virtual ~IDirectDrawSurface() = default;
};

class IDirectDraw {
 public:
  virtual DWORD AddRef() = 0;
  virtual DWORD Release() = 0;

  // For the main window: DDSCL_NORMAL | DDSCL_ALLOWREBOOT (windowed) or
  // DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE (full screen).
  virtual HRESULT SetCooperativeLevel(DWORD dwFlags) = 0;
  // A primary surface (the display; with DDSCAPS_FLIP | DDSCAPS_COMPLEX and one
  // back buffer, a flip chain) or an off-screen surface of dwWidth x dwHeight.
  virtual HRESULT CreateSurface(const SSurfaceDesc* pDesc, IDirectDrawSurface** ppSurface) = 0;

 protected:
  virtual ~IDirectDraw() = default;
};

// What the DirectX engine gets from the platform: drawing objects for the
// display, and the main window they draw for.
class IDirectDrawFactory {
 public:
  virtual ~IDirectDrawFactory() = default;
  // DirectDrawCreateEx for the default display.
  virtual HRESULT DirectDrawCreate(IDirectDraw** ppDirectDraw) = 0;
  virtual IPresentationTarget& MainWindow() = 0;
};
