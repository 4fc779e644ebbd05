#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/SettingsStore.h"

class QSettings;
class QString;
class QVariant;

// The user's settings file, through QSettings with organisation and
// application "Tolvar". Qt stays out of this header so the core never sees it.
// A file that cannot be read as settings is the user's: it is set aside
// under a name that says so, never written over, and a new file goes on
// with what could be read of it.
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

  // What the user is to be told about the file (set aside damaged, cannot be
  // written), each once. What was found before the handler is set goes to
  // it at once.
  void SetReportHandler(std::function<void(const std::string&)> onReport);

 private:
  void Open(const QString& path);
  QVariant Value(const std::string& section, const std::string& name) const;
  void Write(const std::string& section, const std::string& name, const QVariant& value);
  void CheckWritten();
  void Report(const std::string& strText);

  std::unique_ptr<QSettings> m_pSettings;
  // Changes to a file that must not be written (it could not be set
  // aside): they hold for the session.
  bool m_bKeepFile = false;
  std::map<std::string, std::string> m_sessionValues;
  bool m_bWriteFailureReported = false;
  std::function<void(const std::string&)> m_onReport;
  std::vector<std::string> m_reports;
};
