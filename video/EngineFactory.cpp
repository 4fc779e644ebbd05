#include "video/EngineFactory.h"

#include "video/NullEngine.h"

CGraphicEngine* CreateGraphicEngine(const std::string& strName, CPpu* pPpu,
                                    const SPlatform& /*platform*/, bool bGivePpuToNull) {
  (void)strName;
  return bGivePpuToNull ? new CNullEngine(pPpu) : new CNullEngine();
}
