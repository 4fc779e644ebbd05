#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/SettingsStore.h"

// Settings kept in memory only: used by the headless runner (which never
// touches the user's file) and by tests. Records the order of writes so that
// tests can check the first-run order.
class CMemorySettingsStore : public ISettingsStore {
 public:
  int GetInt(const std::string& section, const std::string& name, int nDefault) override;
  std::string GetString(const std::string& section, const std::string& name,
                        const std::string& strDefault) override;
  void WriteInt(const std::string& section, const std::string& name, int nValue) override;
  void WriteString(const std::string& section, const std::string& name,
                   const std::string& strValue) override;

  bool Contains(const std::string& section, const std::string& name) const override;
  void Remove(const std::string& section, const std::string& name);
  // "section/name" of every write, oldest first.
  const std::vector<std::string>& WriteLog() const { return m_writeLog; }

 private:
  struct Value {
    bool bIsString = false;
    int nValue = 0;
    std::string strValue;
  };
  std::map<std::pair<std::string, std::string>, Value> m_values;
  std::vector<std::string> m_writeLog;
};
