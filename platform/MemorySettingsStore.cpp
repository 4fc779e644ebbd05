#include "platform/MemorySettingsStore.h"

#include <cstdlib>

int CMemorySettingsStore::GetInt(const std::string& section, const std::string& name,
                                 int nDefault) {
  auto it = m_values.find({section, name});
  if (it == m_values.end()) return nDefault;
  if (it->second.bIsString) return std::atoi(it->second.strValue.c_str());
  return it->second.nValue;
}

std::string CMemorySettingsStore::GetString(const std::string& section, const std::string& name,
                                            const std::string& strDefault) {
  auto it = m_values.find({section, name});
  if (it == m_values.end()) return strDefault;
  if (!it->second.bIsString) return std::to_string(it->second.nValue);
  return it->second.strValue;
}

void CMemorySettingsStore::WriteInt(const std::string& section, const std::string& name,
                                    int nValue) {
  Value& v = m_values[{section, name}];
  v.bIsString = false;
  v.nValue = nValue;
  m_writeLog.push_back(section + "/" + name);
}

void CMemorySettingsStore::WriteString(const std::string& section, const std::string& name,
                                       const std::string& strValue) {
  Value& v = m_values[{section, name}];
  v.bIsString = true;
  v.strValue = strValue;
  m_writeLog.push_back(section + "/" + name);
}

bool CMemorySettingsStore::Contains(const std::string& section, const std::string& name) const {
  return m_values.count({section, name}) != 0;
}

void CMemorySettingsStore::Remove(const std::string& section, const std::string& name) {
  m_values.erase({section, name});
}
