#pragma once

#include <memory>

#include "platform/SettingsStore.h"

class QSettings;

// The user's settings file, through QSettings with organisation and
// application "Tolvar". Qt stays out of this header so the core never sees it.
class CQtSettingsStore : public ISettingsStore {
 public:
  CQtSettingsStore();
  // For tests: a settings file at an explicit path (INI format).
  explicit CQtSettingsStore(const std::string& strIniPath);
  ~CQtSettingsStore() override;

  int GetInt(const std::string& section, const std::string& name, int nDefault) override;
  std::string GetString(const std::string& section, const std::string& name,
                        const std::string& strDefault) override;
  void WriteInt(const std::string& section, const std::string& name, int nValue) override;
  void WriteString(const std::string& section, const std::string& name,
                   const std::string& strValue) override;
  bool Contains(const std::string& section, const std::string& name) const override;

  // True when the file exists but could not be read: nothing is written.
  bool IsReadOnly() const { return m_bReadOnly; }

 private:
  void CheckReadable();

  std::unique_ptr<QSettings> m_pSettings;
  bool m_bReadOnly = false;
};
