#include "dialogs/OpenRomDlg.h"

#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QTreeWidget>

#include "app/ResourceIds.h"
#include "platform/SettingsStore.h"

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

// Folders a tree item lists: hidden ones stay out, as in a file manager.
constexpr QDir::Filters kFolderFilter = QDir::Dirs | QDir::NoDotAndDotDot;

bool HasSubFolders(const QString& path) {
  return QDirIterator(path, kFolderFilter).hasNext();
}
}  // namespace

COpenRomDlg::COpenRomDlg(QWidget* pParent, ISettingsStore* pSettings)
    : CTemplateDialog(IDD_OPEN_ROM, pParent),
      m_pSettings(pSettings),
      m_pEdit(ItemAs<QLineEdit>(IDC_DIRECTORY)),
      m_pTree(ItemAs<QTreeWidget>(IDC_FOLDER_TREE)),
      m_pList(ItemAs<QListWidget>(IDC_ROM_LIST)) {
  connect(m_pTree, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* pItem) { FillFolder(pItem); });
  connect(m_pTree, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
  // As in a classic list box, the item with the focus is the selected one.
  connect(m_pList, &QListWidget::currentItemChanged, this,
          [](QListWidgetItem* pCurrent, QListWidgetItem*) {
            if (pCurrent) pCurrent->setSelected(true);
          });
  connect(m_pList, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* pItem) { Choose(pItem); });

  // The user's home folder, then the root: the places a ROM is looked for.
  QTreeWidgetItem* pHome = AddFolder(nullptr, QDir::homePath(), QDir::homePath());
  AddFolder(nullptr, QStringLiteral("/"), QStringLiteral("/"));
  pHome->setExpanded(true);
  m_pTree->setCurrentItem(pHome);

  m_strDir = FolderOfLastPath(
      m_pSettings ? m_pSettings->GetString("Settings", "LastPath", "C:") : std::string("C:"));
  ShowDirectory();
}

QString COpenRomDlg::FolderOfLastPath(const std::string& strLastPath) {
  if (strLastPath == "C:" || strLastPath == "C:\\") return QStringLiteral("/");
  return QString::fromStdString(strLastPath);
}

QTreeWidgetItem* COpenRomDlg::AddFolder(QTreeWidgetItem* pParent, const QString& label,
                                        const QString& path) {
  auto* pItem = pParent ? new QTreeWidgetItem(pParent) : new QTreeWidgetItem(m_pTree);
  pItem->setText(0, label);
  pItem->setData(0, kPathRole, path);
  pItem->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
  pItem->setChildIndicatorPolicy(HasSubFolders(path) ? QTreeWidgetItem::ShowIndicator
                                                     : QTreeWidgetItem::DontShowIndicator);
  return pItem;
}

void COpenRomDlg::FillFolder(QTreeWidgetItem* pItem) {
  // Children are read once, at the first expansion.
  if (pItem->data(0, kFilledRole).toBool()) return;
  pItem->setData(0, kFilledRole, true);
  const QDir dir(pItem->data(0, kPathRole).toString());
  const QFileInfoList folders = dir.entryInfoList(kFolderFilter, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& info : folders) AddFolder(pItem, info.fileName(), info.absoluteFilePath());
  if (folders.isEmpty()) pItem->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

void COpenRomDlg::OnSelectionChanged() {
  const QList<QTreeWidgetItem*> selected = m_pTree->selectedItems();
  if (!selected.isEmpty()) {
    // A folder that cannot be entered keeps the directory as it was.
    const QString path = selected.front()->data(0, kPathRole).toString();
    const QFileInfo info(path);
    if (info.isDir() && info.isExecutable()) m_strDir = path;
  }
  ShowDirectory();
}

void COpenRomDlg::ShowDirectory() {
  m_pEdit->setText(m_strDir);
  QDir::setCurrent(m_strDir);
  FillFileList();
}

void COpenRomDlg::FillFileList() {
  m_pList->clear();
  // Matched and sorted without regard to letter case; an unreadable or
  // missing folder lists nothing.
  const QStringList names =
      QDir(m_strDir).entryList({QStringLiteral("*.nes")}, QDir::Files | QDir::Hidden,
                               QDir::Name | QDir::IgnoreCase);
  m_pList->addItems(names);
}

void COpenRomDlg::Choose(const QListWidgetItem* pItem) {
  if (!pItem) return;  // Run with nothing selected leaves the dialog open
  m_strFile = pItem->text();
  if (m_pSettings) m_pSettings->WriteString("Settings", "LastPath", m_strDir.toStdString());
  CTemplateDialog::accept();
}

void COpenRomDlg::accept() {
  const QList<QListWidgetItem*> selected = m_pList->selectedItems();
  Choose(selected.isEmpty() ? nullptr : selected.front());
}
