#pragma once

#include <string>

struct SPlatform;
class CGraphicEngine;
class CPpu;

// The engine named by a "GraphicEngine" setting: exactly "SDL" or "DirectX",
// anything else the NULL engine (given the PPU only when bGivePpuToNull).
CGraphicEngine* CreateGraphicEngine(const std::string& strName, CPpu* pPpu,
                                    const SPlatform& platform, bool bGivePpuToNull);
