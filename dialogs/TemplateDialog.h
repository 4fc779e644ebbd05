#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <map>

#include "dialogs/DialogTemplate.h"

class QAbstractButton;

// Pixels per dialog unit of a font: a horizontal unit is a quarter of the
// font's average character width, a vertical unit an eighth of its height.
struct SDialogUnits {
  int nCharWidth = 0;
  int nCharHeight = 0;

  static SDialogUnits Of(const QFont& font);
  QRect ToPixels(int x, int y, int cx, int cy) const;
};

// The font every dialog uses: 8-point sans serif, as an exact pixel size so
// the layout does not depend on the screen's resolution.
QFont DialogFont();

// A modal dialog laid out from its template. Buttons with the ids IDOK and
// IDCANCEL accept and reject; Enter in a dialog without a default button
// accepts, Escape and the close box reject. Subclasses add behaviour only.
class CTemplateDialog : public QDialog {
 public:
  CTemplateDialog(const SDialogTemplate& tmpl, QWidget* pParent);
  explicit CTemplateDialog(int nResourceId, QWidget* pParent = nullptr);

  // The control with this id, or null.
  QWidget* Item(int nId) const;
  template <class T>
  T* ItemAs(int nId) const {
    return dynamic_cast<T*>(Item(nId));
  }
  const SDialogUnits& Units() const { return m_units; }

 protected:
  void keyPressEvent(QKeyEvent* pEvent) override;

 private:
  QWidget* CreateControl(const SDialogControl& control);

  SDialogUnits m_units;
  std::map<int, QWidget*> m_items;
  QAbstractButton* m_pDefaultButton = nullptr;
};
