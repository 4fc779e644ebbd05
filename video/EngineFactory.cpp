#include "video/EngineFactory.h"

#include "video/DirectXEngine.h"
#include "video/NullEngine.h"
#include "video/SdlEngine.h"

CGraphicEngine* CreateGraphicEngine(const std::string& strName, CPpu* pPpu,
                                    const SPlatform& platform, bool bGivePpuToNull) {
  if (strName == "SDL") return new CSdlEngine(pPpu, platform);
  if (strName == "DirectX") return new CDirectXEngine(pPpu, platform);
  return bGivePpuToNull ? new CNullEngine(pPpu) : new CNullEngine();
}
