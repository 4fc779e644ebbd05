#include "platform/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <utility>
#include <vector>

#include "platform/SettingsTable.h"

namespace {
QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

std::string Quoted(const QString& path) {
  return (QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"')).toStdString();
}

// A free name beside the file that says what it holds.
QString DamagedName(const QString& path) {
  QString name = path + QStringLiteral(".damaged");
  for (int n = 2; QFileInfo::exists(name); ++n)
    name = path + QStringLiteral(".damaged-") + QString::number(n);
  return name;
}
}  // namespace

CQtSettingsStore::CQtSettingsStore() {
  Open(QSettings(QStringLiteral("Tolvar"), QStringLiteral("Tolvar")).fileName());
}

CQtSettingsStore::CQtSettingsStore(const std::string& strIniPath) {
  Open(QString::fromStdString(strIniPath));
}

CQtSettingsStore::~CQtSettingsStore() = default;

void CQtSettingsStore::Open(const QString& path) {
  m_pSettings = std::make_unique<QSettings>(path, QSettings::IniFormat);
  m_pSettings->allKeys();  // the file is read at the first use, and only then judged
  const QFileInfo file(path);
  if (!file.exists() || m_pSettings->status() == QSettings::NoError) return;
  // Taken before the file goes: every QSettings of one path shares its data.
  std::vector<std::pair<QString, QVariant>> readable;
  for (const QString& key : m_pSettings->allKeys())
    readable.emplace_back(key, m_pSettings->value(key));
  const QString aside = DamagedName(path);
  if (!file.isFile() || !QFile::rename(path, aside)) {
    m_bKeepFile = true;
    Report("The settings file " + Quoted(path) +
           " cannot be read, and it is left as it is. Tolvar uses the default settings, and "
           "changes are kept only until Tolvar is closed.");
    return;
  }
  // What could be read goes on in a new file; every reader's default
  // stands in for the rest.
  m_pSettings = std::make_unique<QSettings>(path, QSettings::IniFormat);
  for (const auto& [key, value] : readable) m_pSettings->setValue(key, value);
  Report("The settings file " + Quoted(path) + " is damaged. It has been kept as " + Quoted(aside) +
         ", and Tolvar goes on with a new settings file, with the default settings for what "
         "could not be read.");
  m_pSettings->sync();
  CheckWritten();
}

void CQtSettingsStore::SetReportHandler(std::function<void(const std::string&)> onReport) {
  m_onReport = std::move(onReport);
  if (!m_onReport) return;
  for (const std::string& text : std::exchange(m_reports, {})) m_onReport(text);
}

void CQtSettingsStore::Report(const std::string& strText) {
  if (m_onReport)
    m_onReport(strText);
  else
    m_reports.push_back(strText);
}

QVariant CQtSettingsStore::Value(const std::string& section, const std::string& name) const {
  const auto it = m_sessionValues.find(section + '/' + name);
  if (it != m_sessionValues.end()) return QString::fromStdString(it->second);
  return m_pSettings->value(Key(section, name));
}

int CQtSettingsStore::GetInt(const std::string& section, const std::string& name, int nDefault) {
  // Read from the file a value is text; written in this run it is a number.
  const QVariant v = Value(section, name);
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
  const QVariant v = Value(section, name);
  // A list or other non-text value is no path or engine name.
  if (v.typeId() == QMetaType::Int) return std::to_string(v.toInt());
  if (v.typeId() != QMetaType::QString) return strDefault;
  return v.toString().toStdString();
}

bool CQtSettingsStore::Contains(const std::string& section, const std::string& name) const {
  return m_sessionValues.count(section + '/' + name) || m_pSettings->contains(Key(section, name));
}

void CQtSettingsStore::Write(const std::string& section, const std::string& name,
                             const QVariant& value) {
  if (m_bKeepFile) {
    m_sessionValues[section + '/' + name] = value.toString().toStdString();
    return;
  }
  m_pSettings->setValue(Key(section, name), value);
  m_pSettings->sync();
  CheckWritten();
}

void CQtSettingsStore::CheckWritten() {
  // QSettings keeps what it could not write: the change holds for the session.
  if (m_pSettings->status() == QSettings::NoError || m_bWriteFailureReported) return;
  m_bWriteFailureReported = true;
  Report("The settings file " + Quoted(m_pSettings->fileName()) +
         " cannot be written. Changes take effect, but they are lost when Tolvar is closed.");
}

void CQtSettingsStore::WriteInt(const std::string& section, const std::string& name, int nValue) {
  Write(section, name, nValue);
}

void CQtSettingsStore::WriteString(const std::string& section, const std::string& name,
                                   const std::string& strValue) {
  Write(section, name, QString::fromStdString(strValue));
}
