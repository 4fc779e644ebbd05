#pragma once

#include "dialogs/DialogTemplate.h"

// The program's dialog templates, by resource id (app/ResourceIds.h); null
// for an id that names no dialog.
const SDialogTemplate* FindDialogTemplate(int nResourceId);
