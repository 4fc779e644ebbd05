#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DirectDraw.h"
#include "platform/OffscreenTarget.h"
#include "platform/SoftDirectDraw.h"

namespace {
// A drawing object on an 80 x 60 display whose window client area is 40 x 30
// at (10, 5).
struct DrawRig {
  COffscreenTarget target{80, 60, SRect{10, 5, 50, 35}};
  CSoftDirectDrawFactory factory{target};
  IDirectDraw* pDraw = nullptr;
  std::vector<IDirectDrawSurface*> surfaces;

  DrawRig() { EXPECT_EQ(factory.DirectDrawCreate(&pDraw), DD_OK); }
  ~DrawRig() {
    for (auto* p : surfaces) p->Release();
    if (pDraw) pDraw->Release();
  }

  IDirectDrawSurface* Offscreen(int w, int h) {
    SSurfaceDesc desc;
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(w);
    desc.dwHeight = static_cast<DWORD>(h);
    IDirectDrawSurface* p = nullptr;
    EXPECT_EQ(pDraw->CreateSurface(&desc, &p), DD_OK);
    if (p) surfaces.push_back(p);
    return p;
  }
  IDirectDrawSurface* Primary(bool bFlipChain) {
    SSurfaceDesc desc;
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (bFlipChain) {
      desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
      desc.dwCaps |= DDSCAPS_FLIP | DDSCAPS_COMPLEX;
      desc.dwBackBufferCount = 1;
    }
    IDirectDrawSurface* p = nullptr;
    EXPECT_EQ(pDraw->CreateSurface(&desc, &p), DD_OK);
    if (p) surfaces.push_back(p);
    return p;
  }
};

void Fill(IDirectDrawSurface* p, DWORD color, const SRect* pRect = nullptr) {
  SBltFx fx;
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = color;
  EXPECT_EQ(p->Blt(pRect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
}

DWORD At(IDirectDrawSurface* p, int x, int y) {
  SSurfacePixels px;
  EXPECT_EQ(p->Lock(px), DD_OK);
  const DWORD v = px.pPixels[y * px.nPitch + x];
  p->Unlock();
  return v;
}

// Each pixel its own value, so that copies show where every pixel came from.
void Number(IDirectDrawSurface* p) {
  SSurfacePixels px;
  p->Lock(px);
  for (int y = 0; y < px.nHeight; ++y)
    for (int x = 0; x < px.nWidth; ++x) px.pPixels[y * px.nPitch + x] = (y << 12) | x;
  p->Unlock();
}
DWORD Numbered(int x, int y) { return static_cast<DWORD>((y << 12) | x); }
}  // namespace

TEST(SoftDirectDraw, NewSurfacesAreBlack) {
  DrawRig rig;
  auto* p = rig.Offscreen(7, 5);
  SSurfacePixels px;
  ASSERT_EQ(p->Lock(px), DD_OK);
  EXPECT_EQ(px.nWidth, 7);
  EXPECT_EQ(px.nHeight, 5);
  for (int i = 0; i < 35; ++i) EXPECT_EQ(px.pPixels[i], 0u);
}

TEST(SoftDirectDraw, ColourFillCoversTheRectangleOrTheWholeSurface) {
  DrawRig rig;
  auto* p = rig.Offscreen(8, 6);
  Fill(p, 0x123456);
  EXPECT_EQ(At(p, 0, 0), 0x123456u);
  EXPECT_EQ(At(p, 7, 5), 0x123456u);

  const SRect rc{2, 1, 5, 3};
  Fill(p, 0xABCDEF, &rc);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool bInside = x >= 2 && x < 5 && y >= 1 && y < 3;
      EXPECT_EQ(At(p, x, y), bInside ? 0xABCDEFu : 0x123456u) << x << "," << y;
    }
}

TEST(SoftDirectDraw, ColourFillIsClippedToTheSurface) {
  DrawRig rig;
  auto* p = rig.Offscreen(4, 4);
  const SRect rc{-3, 2, 100, 100};
  Fill(p, 7, &rc);
  EXPECT_EQ(At(p, 0, 1), 0u);
  EXPECT_EQ(At(p, 0, 2), 7u);
  EXPECT_EQ(At(p, 3, 3), 7u);
  const SRect rcOutside{10, 10, 20, 20};
  Fill(p, 9, &rcOutside);
  EXPECT_EQ(At(p, 3, 3), 7u);
}

TEST(SoftDirectDraw, ColourFillNeedsItsEffectsRecord) {
  DrawRig rig;
  auto* p = rig.Offscreen(4, 4);
  SBltFx fx;  // dwSize left 0
  fx.dwFillColor = 5;
  EXPECT_EQ(p->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
  EXPECT_EQ(p->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(At(p, 0, 0), 0u);
}

TEST(SoftDirectDraw, FillAndSetPixelAgreeOnTheSameColour) {
  // An orange with distinct red and blue shows any swap of the two.
  const DWORD orange = MakeColorRef(248, 56, 0);
  EXPECT_EQ(orange, 248u | 56u << 8);
  DrawRig rig;
  auto* pFilled = rig.Offscreen(2, 1);
  auto* pDrawn = rig.Offscreen(2, 1);
  Fill(pFilled, orange);
  EXPECT_EQ(pDrawn->SetPixel(0, 0, orange), DD_OK);
  EXPECT_EQ(pDrawn->SetPixel(1, 0, orange), DD_OK);
  EXPECT_EQ(At(pFilled, 0, 0), At(pDrawn, 0, 0));
  EXPECT_EQ(ColorRefToRgb(At(pDrawn, 1, 0)), PackRgb(248, 56, 0));

  // And on the display both come out as the same RGB.
  auto* pPrimary = rig.Primary(false);
  pPrimary->BltFast(10, 5, pFilled, nullptr, DDBLTFAST_NOCOLORKEY);
  pPrimary->BltFast(12, 5, pDrawn, nullptr, DDBLTFAST_NOCOLORKEY);
  const SImage picture = rig.target.Picture();
  for (int x = 0; x < 4; ++x) EXPECT_EQ(picture.At(x, 0), PackRgb(248, 56, 0)) << x;
}

TEST(SoftDirectDraw, SetPixelOutsideTheSurfaceWritesNothing) {
  DrawRig rig;
  auto* p = rig.Offscreen(2, 2);
  EXPECT_NE(p->SetPixel(-1, 0, 1), DD_OK);
  EXPECT_NE(p->SetPixel(2, 0, 1), DD_OK);
  EXPECT_NE(p->SetPixel(0, 2, 1), DD_OK);
  // The top byte of a COLORREF is not part of the colour.
  p->SetPixel(1, 1, 0x01FFEEDD);
  EXPECT_EQ(At(p, 1, 1), 0x00FFEEDDu);
}

TEST(SoftDirectDraw, BltCopiesBetweenEqualRectangles) {
  DrawRig rig;
  auto* pSrc = rig.Offscreen(16, 16);
  auto* pDst = rig.Offscreen(16, 16);
  Number(pSrc);
  const SRect rcSrc{4, 5, 8, 7};
  const SRect rcDst{0, 10, 4, 12};
  EXPECT_EQ(pDst->Blt(&rcDst, pSrc, &rcSrc, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(At(pDst, 0, 10), Numbered(4, 5));
  EXPECT_EQ(At(pDst, 3, 11), Numbered(7, 6));
  EXPECT_EQ(At(pDst, 4, 10), 0u);
  EXPECT_EQ(At(pDst, 0, 12), 0u);
  EXPECT_EQ(At(pDst, 0, 9), 0u);
}

TEST(SoftDirectDraw, BltStretchesByNearestNeighbour) {
  DrawRig rig;
  auto* pSrc = rig.Offscreen(2, 2);
  auto* pDst = rig.Offscreen(4, 4);
  Number(pSrc);
  EXPECT_EQ(pDst->Blt(nullptr, pSrc, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(pDst, x, y), Numbered(x / 2, y / 2)) << x << "," << y;

  // Shrinking picks one source pixel of each pair.
  auto* pSmall = rig.Offscreen(2, 2);
  auto* pBig = rig.Offscreen(4, 4);
  Number(pBig);
  EXPECT_EQ(pSmall->Blt(nullptr, pBig, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      const DWORD v = At(pSmall, x, y);
      const int sx = static_cast<int>(v & 0xFFF), sy = static_cast<int>(v >> 12);
      EXPECT_EQ(sx / 2, x);
      EXPECT_EQ(sy / 2, y);
    }
}

TEST(SoftDirectDraw, StretchToThreeTimesRepeatsEveryPixelThreeTimes) {
  DrawRig rig;
  auto* pSrc = rig.Offscreen(5, 3);
  auto* pDst = rig.Offscreen(15, 9);
  Number(pSrc);
  pDst->Blt(nullptr, pSrc, nullptr, DDBLT_WAIT, nullptr);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 15; ++x) EXPECT_EQ(At(pDst, x, y), Numbered(x / 3, y / 3));
}

TEST(SoftDirectDraw, SourceRectanglePastTheRightEdgeIsClipped) {
  // As a 256-pixel row taken from x 260 of a 512-wide cache.
  DrawRig rig;
  auto* pCache = rig.Offscreen(512, 4);
  auto* pScreen = rig.Offscreen(256, 4);
  Number(pCache);
  Fill(pScreen, 0xEEEEEE);
  const SRect rcSrc{260, 2, 516, 3};
  const SRect rcDst{0, 1, 256, 2};
  EXPECT_EQ(pScreen->Blt(&rcDst, pCache, &rcSrc, DDBLT_WAIT, nullptr), DD_OK);
  for (int x = 0; x < 252; ++x) ASSERT_EQ(At(pScreen, x, 1), Numbered(260 + x, 2)) << x;
  for (int x = 252; x < 256; ++x) EXPECT_EQ(At(pScreen, x, 1), 0xEEEEEEu) << x;
  EXPECT_EQ(At(pScreen, 0, 0), 0xEEEEEEu);
  EXPECT_EQ(At(pScreen, 0, 2), 0xEEEEEEu);
}

TEST(SoftDirectDraw, RectanglesReachingOutOfEitherSurfaceAreClipped) {
  DrawRig rig;
  auto* pSrc = rig.Offscreen(8, 8);
  auto* pDst = rig.Offscreen(8, 8);
  Number(pSrc);
  // Source starting left of and above its surface.
  const SRect rcSrc{-2, -1, 4, 3};
  const SRect rcDst{0, 0, 6, 4};
  pDst->Blt(&rcDst, pSrc, &rcSrc, DDBLT_WAIT, nullptr);
  EXPECT_EQ(At(pDst, 0, 0), 0u);
  EXPECT_EQ(At(pDst, 1, 1), 0u);
  EXPECT_EQ(At(pDst, 2, 1), Numbered(0, 0));
  EXPECT_EQ(At(pDst, 5, 3), Numbered(3, 2));

  // Destination reaching out at the bottom right.
  auto* pOther = rig.Offscreen(8, 8);
  const SRect rcFar{6, 6, 10, 10};
  pOther->Blt(&rcFar, pSrc, nullptr, DDBLT_WAIT, nullptr);  // stretched 8x8 -> 4x4
  EXPECT_EQ(At(pOther, 6, 6), Numbered(1, 1));
  EXPECT_EQ(At(pOther, 7, 7), Numbered(3, 3));
  EXPECT_EQ(At(pOther, 5, 5), 0u);

  // BltFast at negative and far positions.
  auto* pThird = rig.Offscreen(8, 8);
  EXPECT_EQ(pThird->BltFast(-5, -6, pSrc, nullptr, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(At(pThird, 0, 0), Numbered(5, 6));
  EXPECT_EQ(At(pThird, 2, 1), Numbered(7, 7));
  EXPECT_EQ(At(pThird, 3, 0), 0u);
  EXPECT_EQ(pThird->BltFast(1000, 1000, pSrc, nullptr, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(pThird->BltFast(-2000000000, 5, pSrc, nullptr, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(At(pThird, 7, 7), 0u);
}

TEST(SoftDirectDraw, StretchedSourcePastTheEdgeIsClipped) {
  DrawRig rig;
  auto* pSrc = rig.Offscreen(4, 4);
  auto* pDst = rig.Offscreen(16, 16);
  Number(pSrc);
  Fill(pDst, 0xEEEEEE);
  // Twice the size of a 4 x 4 source whose right half lies outside.
  const SRect rcSrc{2, 0, 6, 4};
  const SRect rcDst{0, 0, 8, 8};
  pDst->Blt(&rcDst, pSrc, &rcSrc, DDBLT_WAIT, nullptr);
  EXPECT_EQ(At(pDst, 0, 0), Numbered(2, 0));
  EXPECT_EQ(At(pDst, 3, 7), Numbered(3, 3));
  EXPECT_EQ(At(pDst, 4, 0), 0xEEEEEEu);
  EXPECT_EQ(At(pDst, 7, 7), 0xEEEEEEu);
}

TEST(SoftDirectDraw, OverlappingCopyWithinOneSurface) {
  DrawRig rig;
  auto* p = rig.Offscreen(8, 8);
  Number(p);
  const SRect rcSrc{0, 0, 6, 6};
  const SRect rcDst{1, 2, 7, 8};
  p->Blt(&rcDst, p, &rcSrc, DDBLT_WAIT, nullptr);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(At(p, x + 1, y + 2), Numbered(x, y));

  auto* q = rig.Offscreen(4, 4);
  Number(q);
  const SRect rcQuarter{0, 0, 2, 2};
  q->Blt(nullptr, q, &rcQuarter, DDBLT_WAIT, nullptr);  // stretched onto itself
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(q, x, y), Numbered(x / 2, y / 2));
}

TEST(SoftDirectDraw, EmptyRectanglesAreRefused) {
  DrawRig rig;
  auto* pSrc = rig.Offscreen(4, 4);
  auto* pDst = rig.Offscreen(4, 4);
  const SRect rcEmpty{2, 2, 2, 3};
  EXPECT_EQ(pDst->Blt(&rcEmpty, pSrc, nullptr, 0, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(pDst->Blt(nullptr, pSrc, &rcEmpty, 0, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(pDst->Blt(nullptr, nullptr, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
}

TEST(SoftDirectDraw, WindowedPrimaryShowsWhatLandsInTheClientArea) {
  DrawRig rig;
  ASSERT_EQ(rig.pDraw->SetCooperativeLevel(DDSCL_NORMAL | DDSCL_ALLOWREBOOT), DD_OK);
  auto* pPrimary = rig.Primary(false);
  SSurfacePixels px;
  pPrimary->Lock(px);
  EXPECT_EQ(px.nWidth, 80);  // the display
  EXPECT_EQ(px.nHeight, 60);
  pPrimary->Unlock();
  IDirectDrawSurface* pBack = nullptr;
  EXPECT_EQ(pPrimary->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack), DDERR_NOTFOUND);
  EXPECT_EQ(pBack, nullptr);
  EXPECT_EQ(pPrimary->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);

  auto* pPicture = rig.Offscreen(4, 4);
  Fill(pPicture, MakeColorRef(1, 2, 3));
  const SPoint origin = rig.target.ClientToScreen({0, 0});
  EXPECT_EQ(origin.x, 10);
  EXPECT_EQ(origin.y, 5);
  pPrimary->BltFast(origin.x + 3, origin.y + 3, pPicture, nullptr, DDBLTFAST_NOCOLORKEY);
  EXPECT_FALSE(rig.target.LastWasFullScreen());
  const SImage picture = rig.target.Picture();
  ASSERT_EQ(picture.nWidth, 40);
  ASSERT_EQ(picture.nHeight, 30);
  EXPECT_EQ(picture.At(3, 3), PackRgb(1, 2, 3));
  EXPECT_EQ(picture.At(6, 6), PackRgb(1, 2, 3));
  EXPECT_EQ(picture.At(7, 7), 0u);
  EXPECT_EQ(picture.At(2, 2), 0u);
}

TEST(SoftDirectDraw, FlipShowsTheBackBufferAndSwapsTheBuffers) {
  DrawRig rig;
  ASSERT_EQ(rig.pDraw->SetCooperativeLevel(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE),
            DD_OK);
  auto* pPrimary = rig.Primary(true);
  IDirectDrawSurface* pBack = nullptr;
  ASSERT_EQ(pPrimary->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack), DD_OK);
  ASSERT_NE(pBack, nullptr);
  rig.surfaces.push_back(pBack);

  Fill(pPrimary, MakeColorRef(9, 9, 9));
  Fill(pBack, MakeColorRef(200, 100, 50));
  const int nPresents = rig.target.PresentCount();
  EXPECT_EQ(pPrimary->Flip(nullptr, 0), DD_OK);
  EXPECT_EQ(rig.target.PresentCount(), nPresents + 1);
  EXPECT_TRUE(rig.target.LastWasFullScreen());
  const SImage picture = rig.target.Picture();
  ASSERT_EQ(picture.nWidth, 80);  // full screen shows the whole display
  ASSERT_EQ(picture.nHeight, 60);
  EXPECT_EQ(picture.At(0, 0), PackRgb(200, 100, 50));
  EXPECT_EQ(picture.At(79, 59), PackRgb(200, 100, 50));
  EXPECT_EQ(At(pBack, 0, 0), MakeColorRef(9, 9, 9));
  EXPECT_EQ(At(pPrimary, 0, 0), MakeColorRef(200, 100, 50));
}

TEST(SoftDirectDraw, ReleasingTheChainFreesEverySurface) {
  COffscreenTarget target(32, 32);
  CSoftDirectDrawFactory factory(target);
  IDirectDraw* pDraw = nullptr;
  ASSERT_EQ(factory.DirectDrawCreate(&pDraw), DD_OK);
  SSurfaceDesc desc;
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  IDirectDrawSurface* pPrimary = nullptr;
  ASSERT_EQ(pDraw->CreateSurface(&desc, &pPrimary), DD_OK);
  IDirectDrawSurface* pBack = nullptr;
  ASSERT_EQ(pPrimary->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack), DD_OK);
  EXPECT_EQ(factory.LiveObjects(), 1);
  EXPECT_EQ(factory.LiveSurfaces(), 2);
  pBack->Release();
  EXPECT_EQ(factory.LiveSurfaces(), 2);  // the chain still holds it
  pPrimary->Release();
  EXPECT_EQ(factory.LiveSurfaces(), 0);
  pDraw->Release();
  EXPECT_EQ(factory.LiveObjects(), 0);
}

TEST(SoftDirectDraw, BadDescriptionsAreRefused) {
  DrawRig rig;
  IDirectDrawSurface* p = nullptr;
  SSurfaceDesc desc;
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = desc.dwHeight = 4;
  EXPECT_EQ(rig.pDraw->CreateSurface(&desc, &p), DDERR_INVALIDPARAMS);  // no dwSize
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_WIDTH;
  EXPECT_EQ(rig.pDraw->CreateSurface(&desc, &p), DDERR_INVALIDPARAMS);
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = 0;
  EXPECT_EQ(rig.pDraw->CreateSurface(&desc, &p), DDERR_INVALIDPARAMS);
  desc.dwWidth = 0xFFFFFF00u;  // a negative size from the settings
  EXPECT_EQ(rig.pDraw->CreateSurface(&desc, &p), DDERR_OUTOFMEMORY);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(rig.pDraw->SetCooperativeLevel(DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(rig.pDraw->SetCooperativeLevel(0), DDERR_INVALIDPARAMS);
}

TEST(SoftDirectDraw, AnyStepCanBeMadeToFail) {
  COffscreenTarget target(32, 32);
  CSoftDirectDrawFactory factory(target);
  IDirectDraw* pDraw = nullptr;

  factory.FailStep(EDirectDrawStep::Create);
  EXPECT_NE(factory.DirectDrawCreate(&pDraw), DD_OK);
  EXPECT_EQ(pDraw, nullptr);
  ASSERT_EQ(factory.DirectDrawCreate(&pDraw), DD_OK);  // only that one call

  factory.FailStep(EDirectDrawStep::CooperativeFullScreen);
  EXPECT_EQ(pDraw->SetCooperativeLevel(DDSCL_NORMAL | DDSCL_ALLOWREBOOT), DD_OK);
  EXPECT_NE(pDraw->SetCooperativeLevel(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE),
            DD_OK);
  factory.FailStep(EDirectDrawStep::CooperativeWindowed, 0);  // every call
  EXPECT_NE(pDraw->SetCooperativeLevel(DDSCL_NORMAL | DDSCL_ALLOWREBOOT), DD_OK);
  EXPECT_NE(pDraw->SetCooperativeLevel(DDSCL_NORMAL | DDSCL_ALLOWREBOOT), DD_OK);
  factory.ClearFaults();
  EXPECT_EQ(pDraw->SetCooperativeLevel(DDSCL_NORMAL | DDSCL_ALLOWREBOOT), DD_OK);

  SSurfaceDesc off;
  off.dwSize = sizeof(off);
  off.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
  off.dwWidth = 3;
  off.dwHeight = 2;
  factory.FailStep(EDirectDrawStep::CreateOffscreen, 2);  // the second from now
  IDirectDrawSurface* pFirst = nullptr;
  IDirectDrawSurface* pSecond = nullptr;
  IDirectDrawSurface* pThird = nullptr;
  EXPECT_EQ(pDraw->CreateSurface(&off, &pFirst), DD_OK);
  EXPECT_NE(pDraw->CreateSurface(&off, &pSecond), DD_OK);
  EXPECT_EQ(pSecond, nullptr);
  EXPECT_EQ(pDraw->CreateSurface(&off, &pThird), DD_OK);

  SSurfaceDesc prim;
  prim.dwSize = sizeof(prim);
  prim.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  prim.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  prim.dwBackBufferCount = 1;
  IDirectDrawSurface* pPrimary = nullptr;
  factory.FailStep(EDirectDrawStep::CreatePrimary);
  EXPECT_NE(pDraw->CreateSurface(&prim, &pPrimary), DD_OK);
  ASSERT_EQ(pDraw->CreateSurface(&prim, &pPrimary), DD_OK);
  IDirectDrawSurface* pBack = nullptr;
  factory.FailStep(EDirectDrawStep::GetAttachedSurface);
  EXPECT_NE(pPrimary->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack), DD_OK);
  EXPECT_EQ(pBack, nullptr);

  const std::vector<std::string> expected = {
      "DirectDrawCreate failed",          "DirectDrawCreate",
      "SetCooperativeLevel(0x0A)",        "SetCooperativeLevel(0x13) failed",
      "SetCooperativeLevel(0x0A) failed", "SetCooperativeLevel(0x0A) failed",
      "SetCooperativeLevel(0x0A)",        "CreateOffscreen(3x2)",
      "CreateOffscreen(3x2) failed",      "CreateOffscreen(3x2)",
      "CreatePrimary(flip 1) failed",     "CreatePrimary(flip 1)",
      "GetAttachedSurface failed",
  };
  EXPECT_EQ(factory.CallLog(), expected);

  pFirst->Release();
  pThird->Release();
  pPrimary->Release();
  pDraw->Release();
  EXPECT_EQ(factory.LiveSurfaces(), 0);
  EXPECT_EQ(factory.LiveObjects(), 0);
}

TEST(OffscreenTarget, ClientAreaOutsideTheDisplayIsBlack) {
  COffscreenTarget target(10, 10, SRect{6, 6, 14, 14});
  std::vector<DWORD> display(100, MakeColorRef(255, 0, 0));
  target.Present(display.data(), 10, SRect{0, 0, 10, 10}, false);
  const SImage picture = target.Picture();
  ASSERT_EQ(picture.nWidth, 8);
  EXPECT_EQ(picture.At(0, 0), PackRgb(255, 0, 0));
  EXPECT_EQ(picture.At(3, 3), PackRgb(255, 0, 0));
  EXPECT_EQ(picture.At(4, 4), 0u);
  // A rectangle reaching outside is cut to the display.
  target.Present(display.data(), 10, SRect{-5, -5, 50, 50}, true);
  EXPECT_EQ(target.Picture().nWidth, 10);
}
