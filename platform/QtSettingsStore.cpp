#include "platform/QtSettingsStore.h"

#include <QSettings>
#include <QString>

namespace {
QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}
}  // namespace

CQtSettingsStore::CQtSettingsStore()
    : m_pSettings(std::make_unique<QSettings>(QStringLiteral("Tolvar"), QStringLiteral("Tolvar"))) {}

CQtSettingsStore::CQtSettingsStore(const std::string& strIniPath)
    : m_pSettings(std::make_unique<QSettings>(QString::fromStdString(strIniPath),
                                              QSettings::IniFormat)) {}

CQtSettingsStore::~CQtSettingsStore() = default;

int CQtSettingsStore::GetInt(const std::string& section, const std::string& name, int nDefault) {
  bool bOk = false;
  const int n = m_pSettings->value(Key(section, name), nDefault).toInt(&bOk);
  return bOk ? n : nDefault;
}

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& name,
                                        const std::string& strDefault) {
  const QVariant v = m_pSettings->value(Key(section, name));
  if (!v.isValid()) return strDefault;
  return v.toString().toStdString();
}

void CQtSettingsStore::WriteInt(const std::string& section, const std::string& name, int nValue) {
  m_pSettings->setValue(Key(section, name), nValue);
  m_pSettings->sync();
}

void CQtSettingsStore::WriteString(const std::string& section, const std::string& name,
                                   const std::string& strValue) {
  m_pSettings->setValue(Key(section, name), QString::fromStdString(strValue));
  m_pSettings->sync();
}
