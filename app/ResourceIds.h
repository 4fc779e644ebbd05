#pragma once

// Resource and control ids of the dialogs.

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_INPUT = 101;
inline constexpr int IDD_ROM_INFO = 102;
inline constexpr int IDD_VIDEO = 138;
inline constexpr int IDD_OPTIONS = 139;
inline constexpr int IDD_SOUND = 140;
inline constexpr int IDD_OPEN_ROM = 141;

// Video Settings.
inline constexpr int IDC_FULL_SCREEN = 1007;
inline constexpr int IDC_WINDOWED = 1008;
inline constexpr int IDC_NES_RESOLUTION = 1009;
inline constexpr int IDC_DOUBLE_SIZE = 1010;
inline constexpr int IDC_VIDEO_MODE_GROUP = 1012;
inline constexpr int IDC_VIDEO_GROUP = 1013;
inline constexpr int IDC_RESOLUTION_GROUP = 1014;

// Input Device Settings.
inline constexpr int IDC_INPUT_OK = 1002;
inline constexpr int IDC_INPUT_CANCEL = 1003;
inline constexpr int IDC_KEYBOARD = 1005;
inline constexpr int IDC_JOYSTICK = 1006;
inline constexpr int IDC_KEY_UP = 1026;
inline constexpr int IDC_KEY_DOWN = 1028;
inline constexpr int IDC_KEY_LEFT = 1022;
inline constexpr int IDC_KEY_RIGHT = 1027;
inline constexpr int IDC_KEY_SELECT = 1029;
inline constexpr int IDC_KEY_START = 1030;
inline constexpr int IDC_KEY_A = 1032;
inline constexpr int IDC_KEY_B = 1031;

// General Option and Sound Settings.
inline constexpr int IDC_SHOW_FPS = 1015;
inline constexpr int IDC_ENABLE_SOUND = 1017;
inline constexpr int IDC_VBLANK_CYCLES = 1018;
inline constexpr int IDC_HBLANK_CYCLES = 1019;

// Open.
inline constexpr int IDC_ROM_LIST = 1023;
inline constexpr int IDC_DIRECTORY = 1029;
inline constexpr int IDC_FOLDER_TREE = 1035;

// Rom Informations.
inline constexpr int IDC_INFO_FILE = 1045;
inline constexpr int IDC_INFO_MAPPER = 1046;
inline constexpr int IDC_INFO_PRG = 1047;
inline constexpr int IDC_INFO_CHR = 1048;
inline constexpr int IDC_INFO_MIRRORING = 1049;
inline constexpr int IDC_INFO_TRAINER = 1050;
inline constexpr int IDC_INFO_BATTERY = 1051;
