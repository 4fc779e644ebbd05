#pragma once

#include <QString>
#include <string>

#include "dialogs/TemplateDialog.h"

class ISettingsStore;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;

// "Open": the folders as a tree on the left, the current folder's *.nes
// files as a sorted list on the right. Run (or a double-click) ends it with
// a directory and a file name; the caller joins them with "/". The folder
// shown is also the process's current directory, and the one last chosen
// from is remembered in Settings/LastPath.
class COpenRomDlg : public CTemplateDialog {
 public:
  COpenRomDlg(QWidget* pParent, ISettingsStore* pSettings);

  void accept() override;

  std::string Directory() const { return m_strDir.toStdString(); }
  std::string FileName() const { return m_strFile.toStdString(); }

  // The folder a stored LastPath names: the first-run "C:\" and the
  // default "C:" stand for the root.
  static QString FolderOfLastPath(const std::string& strLastPath);

 private:
  void FillFolder(QTreeWidgetItem* pItem);
  QTreeWidgetItem* AddFolder(QTreeWidgetItem* pParent, const QString& label, const QString& path);
  void OnSelectionChanged();
  void ShowDirectory();
  void FillFileList();
  void Choose(const QListWidgetItem* pItem);

  ISettingsStore* m_pSettings;
  QLineEdit* m_pEdit;
  QTreeWidget* m_pTree;
  QListWidget* m_pList;
  QString m_strDir;
  QString m_strFile;
};
