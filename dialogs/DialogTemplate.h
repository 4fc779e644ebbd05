#pragma once

#include <vector>

// A dialog as data: its resource id, caption, size and controls, with every
// position in dialog units. One piece of code lays any template out.

enum class EControlKind {
  kEdit,
  kTreeView,
  kListBox,
  kPushButton,
  kDefPushButton,
  kGroupBox,
  kRadioButton,
  kCheckBox,
  kLabel,
  kIcon,
};

// Control styles, combined with |.
enum EControlStyle : unsigned {
  kStyleNone = 0,
  kStyleDisabled = 1u << 0,
  kStyleHidden = 1u << 1,
  kStyleReadOnly = 1u << 2,
  kStyleNoPrefix = 1u << 3,
};

// Controls that nothing addresses share this id.
inline constexpr int kStaticId = -1;

struct SDialogControl {
  int nId = kStaticId;
  EControlKind kind = EControlKind::kLabel;
  const char* pszText = "";
  int x = 0, y = 0, cx = 0, cy = 0;
  unsigned styles = kStyleNone;
};

struct SDialogTemplate {
  int nResourceId = 0;
  const char* pszCaption = "";
  int cx = 0, cy = 0;
  // In tab order: focus moves through them as listed.
  std::vector<SDialogControl> controls;
};
