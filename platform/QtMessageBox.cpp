#include "platform/QtMessageBox.h"

#include <QMessageBox>

int CQtMessageBox::s_nShowing = 0;

CQtMessageBox::CQtMessageBox(std::function<QWidget*()> parent) : m_parent(std::move(parent)) {}

void CQtMessageBox::Show(const std::string& strText) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kMessageBoxCaption),
                  QString::fromStdString(strText), QMessageBox::Ok,
                  m_parent ? m_parent() : nullptr);
  box.setWindowModality(Qt::ApplicationModal);
  ++s_nShowing;
  box.exec();
  --s_nShowing;
}
