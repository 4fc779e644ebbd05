#include "platform/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>

#include "platform/SettingsTable.h"

namespace {
QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}
}  // namespace

CQtSettingsStore::CQtSettingsStore()
    : m_pSettings(std::make_unique<QSettings>(QStringLiteral("Tolvar"), QStringLiteral("Tolvar"))) {
  CheckReadable();
}

CQtSettingsStore::CQtSettingsStore(const std::string& strIniPath)
    : m_pSettings(std::make_unique<QSettings>(QString::fromStdString(strIniPath),
                                              QSettings::IniFormat)) {
  CheckReadable();
}

CQtSettingsStore::~CQtSettingsStore() = default;

void CQtSettingsStore::CheckReadable() {
  // A file that is there but cannot be read or understood is the user's, and
  // writing would replace it: every reader takes its default and nothing is
  // written.
  const QFileInfo file(m_pSettings->fileName());
  m_bReadOnly = (file.exists() && (!file.isFile() || !file.isReadable())) ||
                m_pSettings->status() != QSettings::NoError;
}

int CQtSettingsStore::GetInt(const std::string& section, const std::string& name, int nDefault) {
  // Read from the file a value is text; written in this run it is a number.
  const QVariant v = m_pSettings->value(Key(section, name));
  bool bOk = false;
  int n = 0;
  if (v.typeId() == QMetaType::QString)
    n = v.toString().trimmed().toInt(&bOk);
  else if (v.typeId() == QMetaType::Int)
    n = v.toInt(&bOk);
  return bOk && IsAcceptedSettingValue(section, name, n) ? n : nDefault;
}

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& name,
                                        const std::string& strDefault) {
  const QVariant v = m_pSettings->value(Key(section, name));
  // A list or other non-text value is no path or engine name.
  if (v.typeId() == QMetaType::Int) return std::to_string(v.toInt());
  if (v.typeId() != QMetaType::QString) return strDefault;
  return v.toString().toStdString();
}

bool CQtSettingsStore::Contains(const std::string& section, const std::string& name) const {
  return m_pSettings->contains(Key(section, name));
}

void CQtSettingsStore::WriteInt(const std::string& section, const std::string& name, int nValue) {
  if (m_bReadOnly) return;
  m_pSettings->setValue(Key(section, name), nValue);
  m_pSettings->sync();
}

void CQtSettingsStore::WriteString(const std::string& section, const std::string& name,
                                   const std::string& strValue) {
  if (m_bReadOnly) return;
  m_pSettings->setValue(Key(section, name), QString::fromStdString(strValue));
  m_pSettings->sync();
}
