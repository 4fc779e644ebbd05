#include "dialogs/TemplateDialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>

#include "app/DialogResources.h"
#include "app/ResourceIds.h"

namespace {
// units x pixels / per, rounded: dialog units to pixels.
int Scale(int units, int pixels, int per) { return (units * pixels + per / 2) / per; }

const SDialogTemplate& TemplateOrDie(int nResourceId) {
  const SDialogTemplate* p = FindDialogTemplate(nResourceId);
  if (!p) {
    // A missing template is a programming error, not a user's.
    std::fprintf(stderr, "no dialog template %d\n", nResourceId);
    std::abort();
  }
  return *p;
}
}  // namespace

SDialogUnits SDialogUnits::Of(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect SDialogUnits::ToPixels(int x, int y, int cx, int cy) const {
  return {Scale(x, nCharWidth, 4), Scale(y, nCharHeight, 8), Scale(cx, nCharWidth, 4),
          Scale(cy, nCharHeight, 8)};
}

QFont DialogFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  return font;
}

CTemplateDialog::CTemplateDialog(int nResourceId, QWidget* pParent)
    : CTemplateDialog(TemplateOrDie(nResourceId), pParent) {}

CTemplateDialog::CTemplateDialog(const SDialogTemplate& tmpl, QWidget* pParent)
    : QDialog(pParent) {
  setFont(DialogFont());
  m_units = SDialogUnits::Of(font());
  setWindowTitle(QString::fromUtf8(tmpl.pszCaption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  const QRect size = m_units.ToPixels(0, 0, tmpl.cx, tmpl.cy);
  setFixedSize(size.width(), size.height());

  for (const SDialogControl& control : tmpl.controls) {
    QWidget* pWidget = CreateControl(control);
    pWidget->setGeometry(m_units.ToPixels(control.x, control.y, control.cx, control.cy));
    if (control.styles & kStyleDisabled) pWidget->setEnabled(false);
    if (control.styles & kStyleHidden) pWidget->hide();
    if (control.nId != kStaticId) m_items[control.nId] = pWidget;
  }
}

QWidget* CTemplateDialog::CreateControl(const SDialogControl& control) {
  const QString text = QString::fromUtf8(control.pszText);
  switch (control.kind) {
    case EControlKind::kEdit: {
      auto* p = new QLineEdit(text, this);
      p->setReadOnly(control.styles & kStyleReadOnly);
      return p;
    }
    case EControlKind::kTreeView: {
      auto* p = new QTreeWidget(this);
      p->setHeaderHidden(true);
      p->setRootIsDecorated(true);
      return p;
    }
    case EControlKind::kListBox:
      return new QListWidget(this);
    case EControlKind::kPushButton:
    case EControlKind::kDefPushButton: {
      auto* p = new QPushButton(text, this);
      const bool bDefault = control.kind == EControlKind::kDefPushButton;
      p->setAutoDefault(bDefault);
      p->setDefault(bDefault);
      if (bDefault) m_pDefaultButton = p;
      if (control.nId == IDOK) connect(p, &QPushButton::clicked, this, &QDialog::accept);
      if (control.nId == IDCANCEL) connect(p, &QPushButton::clicked, this, &QDialog::reject);
      return p;
    }
    case EControlKind::kGroupBox: {
      // Only a frame: the controls inside are its siblings, and it must not
      // take their clicks.
      auto* p = new QGroupBox(text, this);
      p->setAttribute(Qt::WA_TransparentForMouseEvents);
      p->lower();
      return p;
    }
    case EControlKind::kRadioButton: {
      // Dialogs group their radio buttons themselves.
      auto* p = new QRadioButton(text, this);
      p->setAutoExclusive(false);
      return p;
    }
    case EControlKind::kCheckBox:
      return new QCheckBox(text, this);
    case EControlKind::kIcon: {
      auto* p = new QLabel(this);
      p->setPixmap(QPixmap(QStringLiteral(":/tolvar.png"))
                       .scaled(32, 32, Qt::KeepAspectRatio, Qt::FastTransformation));
      return p;
    }
    case EControlKind::kLabel:
    default: {
      auto* p = new QLabel(text, this);
      p->setTextFormat(Qt::PlainText);
      p->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return p;
    }
  }
}

QWidget* CTemplateDialog::Item(int nId) const {
  const auto it = m_items.find(nId);
  return it == m_items.end() ? nullptr : it->second;
}

void CTemplateDialog::keyPressEvent(QKeyEvent* pEvent) {
  const bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
  if (bEnter && pEvent->modifiers() == Qt::NoModifier) {
    // As in the classic dialog manager: Enter presses the focused push
    // button, else the default button, else ends the dialog as OK.
    if (auto* pButton = dynamic_cast<QPushButton*>(focusWidget())) {
      pButton->click();
    } else if (m_pDefaultButton && m_pDefaultButton->isEnabled()) {
      m_pDefaultButton->click();
    } else {
      accept();
    }
    return;
  }
  QDialog::keyPressEvent(pEvent);
}
