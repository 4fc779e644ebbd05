#include "app/DialogResources.h"

#include "app/ResourceIds.h"
#include "app/Version.h"

namespace {
using K = EControlKind;

const SDialogTemplate kAbout = {
    IDD_ABOUTBOX, "About Tolvar", 172, 57,
    {
        {kStaticId, K::kLabel, "Tolvar Version " TOLVAR_VERSION, 45, 9, 80, 8, kStyleNoPrefix},
        {kStaticId, K::kLabel, "NES emulator, Linux " TOLVAR_VERSION, 45, 21, 114, 8},
        {kStaticId, K::kIcon, "", 11, 16, 20, 20},
        {kStaticId, K::kLabel, "Go to Tolvar website", 45, 33, 89, 10,
         kStyleHidden | kStyleDisabled},
    }};

const SDialogTemplate kInput = {
    IDD_INPUT, "Input Device Settings", 200, 150,
    {
        {kStaticId, K::kGroupBox, "Input Device Settings", 7, 7, 186, 116},
        {kStaticId, K::kGroupBox, "Use", 14, 18, 172, 28},
        {IDC_KEYBOARD, K::kRadioButton, "Keyboard", 22, 30, 60, 10},
        {IDC_JOYSTICK, K::kRadioButton, "Joystick", 104, 30, 60, 10, kStyleDisabled},
        {kStaticId, K::kGroupBox, "Button Setting", 14, 50, 172, 68},
        {kStaticId, K::kLabel, "Up", 22, 62, 24, 8},
        {IDC_KEY_UP, K::kEdit, "", 48, 60, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "Down", 22, 76, 24, 8},
        {IDC_KEY_DOWN, K::kEdit, "", 48, 74, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "Left", 22, 90, 24, 8},
        {IDC_KEY_LEFT, K::kEdit, "", 48, 88, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "Right", 22, 104, 24, 8},
        {IDC_KEY_RIGHT, K::kEdit, "", 48, 102, 48, 12, kStyleReadOnly},
        {IDC_KEY_SELECT, K::kEdit, "", 104, 60, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "Select", 156, 62, 26, 8},
        {IDC_KEY_START, K::kEdit, "", 104, 74, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "Start", 156, 76, 26, 8},
        {IDC_KEY_A, K::kEdit, "", 104, 88, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "A", 156, 90, 26, 8},
        {IDC_KEY_B, K::kEdit, "", 104, 102, 48, 12, kStyleReadOnly},
        {kStaticId, K::kLabel, "B", 156, 104, 26, 8},
        {IDC_INPUT_OK, K::kPushButton, "OK", 43, 129, 50, 14},
        {IDC_INPUT_CANCEL, K::kPushButton, "Cancel", 107, 129, 50, 14},
    }};

const SDialogTemplate kRomInfo = {
    IDD_ROM_INFO, "Rom Informations", 193, 153,
    {
        {kStaticId, K::kGroupBox, "Rom Informations", 7, 7, 178, 138},
        {kStaticId, K::kLabel, "File name :", 13, 20, 39, 11},
        {IDC_INFO_FILE, K::kLabel, "", 52, 20, 124, 11},
        {kStaticId, K::kLabel, "Mapper # :", 13, 37, 41, 11},
        {IDC_INFO_MAPPER, K::kLabel, "", 86, 37, 31, 11},
        {kStaticId, K::kLabel, "Program size :", 13, 54, 50, 11},
        {IDC_INFO_PRG, K::kLabel, "", 86, 54, 35, 11},
        {kStaticId, K::kLabel, "Character size :", 13, 71, 53, 11},
        {IDC_INFO_CHR, K::kLabel, "", 86, 71, 36, 11},
        {kStaticId, K::kLabel, "Mirroring :", 13, 88, 36, 11},
        {IDC_INFO_MIRRORING, K::kLabel, "", 86, 88, 42, 11},
        {kStaticId, K::kLabel, "Trainer :", 13, 105, 30, 11},
        {IDC_INFO_TRAINER, K::kLabel, "", 86, 105, 13, 11},
        {kStaticId, K::kLabel, "Battery Backup :", 13, 122, 56, 11},
        {IDC_INFO_BATTERY, K::kLabel, "", 86, 122, 13, 11},
    }};

const SDialogTemplate kVideo = {
    IDD_VIDEO, "Video Settings", 186, 131,
    {
        {IDC_VIDEO_GROUP, K::kGroupBox, "Video Settings", 7, 7, 172, 98},
        {IDC_VIDEO_MODE_GROUP, K::kGroupBox, "Video Mode", 14, 19, 158, 34},
        {IDC_FULL_SCREEN, K::kRadioButton, "Full Screen", 20, 33, 68, 10},
        {IDC_WINDOWED, K::kRadioButton, "Windowed Screen", 94, 33, 74, 10},
        {IDC_RESOLUTION_GROUP, K::kGroupBox, "Resolution", 14, 57, 158, 42},
        {IDC_NES_RESOLUTION, K::kRadioButton, "NES Resolution (256x240)", 20, 69, 140, 10},
        {IDC_DOUBLE_SIZE, K::kRadioButton, "Double size (512x480)", 20, 83, 140, 10},
        {IDOK, K::kDefPushButton, "OK", 36, 110, 50, 14},
        {IDCANCEL, K::kPushButton, "Cancel", 100, 110, 50, 14},
    }};

const SDialogTemplate kOptions = {
    IDD_OPTIONS, "General Option", 161, 124,
    {
        {IDOK, K::kDefPushButton, "OK", 13, 94, 50, 14},
        {IDCANCEL, K::kPushButton, "Cancel", 71, 94, 50, 14},
        {kStaticId, K::kGroupBox, "General Option ", 7, 7, 147, 110},
        {IDC_SHOW_FPS, K::kCheckBox, "Show FPS", 13, 20, 91, 10},
        {kStaticId, K::kGroupBox, "Emulator Timing", 13, 35, 132, 52},
        {kStaticId, K::kLabel, "VBlank cycles", 19, 50, 48, 12},
        {IDC_VBLANK_CYCLES, K::kEdit, "", 76, 48, 62, 12, kStyleDisabled},
        {kStaticId, K::kLabel, "HBlank cycles", 19, 64, 54, 12},
        {IDC_HBLANK_CYCLES, K::kEdit, "", 76, 64, 62, 12, kStyleDisabled},
    }};

const SDialogTemplate kSound = {
    IDD_SOUND, "Sound Settings", 135, 73,
    {
        {IDOK, K::kDefPushButton, "OK", 13, 44, 50, 14},
        {IDCANCEL, K::kPushButton, "Cancel", 69, 44, 50, 14},
        {kStaticId, K::kGroupBox, "Sound Settings", 7, 7, 121, 59},
        {IDC_ENABLE_SOUND, K::kCheckBox, "Enable sound", 13, 22, 95, 12, kStyleDisabled},
    }};

const SDialogTemplate kOpenRom = {
    IDD_OPEN_ROM, "Open", 353, 225,
    {
        {IDC_DIRECTORY, K::kEdit, "", 7, 7, 167, 13},
        {IDC_FOLDER_TREE, K::kTreeView, "Tree1", 7, 25, 166, 192},
        {IDC_ROM_LIST, K::kListBox, "", 180, 7, 166, 191},
        {IDOK, K::kDefPushButton, "Run", 230, 203, 50, 14},
        {IDCANCEL, K::kPushButton, "Cancel", 296, 203, 50, 14},
    }};
}  // namespace

const SDialogTemplate* FindDialogTemplate(int nResourceId) {
  for (const SDialogTemplate* p : {&kAbout, &kInput, &kRomInfo, &kVideo, &kOptions, &kSound,
                                   &kOpenRom})
    if (p->nResourceId == nResourceId) return p;
  return nullptr;
}
