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

// Menu commands.
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_LOAD_STATE = 32787;
inline constexpr int ID_FILE_ROM_INFO = 32786;
inline constexpr int ID_FILE_RECENT1 = 32795;
inline constexpr int ID_FILE_RECENT2 = 32796;
inline constexpr int ID_FILE_RECENT3 = 32797;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_EMULATION_START = 32771;
inline constexpr int ID_EMULATION_STOP = 32773;
inline constexpr int ID_EMULATION_PAUSE = 32774;
inline constexpr int ID_EMULATION_RESET = 32783;
inline constexpr int ID_SETTINGS_VIDEO = 32776;
inline constexpr int ID_SETTINGS_SOUND = 32777;
inline constexpr int ID_SETTINGS_INPUTS = 32778;
inline constexpr int ID_SETTINGS_OPTIONS = 32780;
inline constexpr int ID_CPU_ASM = 32801;
inline constexpr int ID_CPU_C = 32802;
inline constexpr int ID_RENDER_SDL = 32803;
inline constexpr int ID_RENDER_DIRECTX = 32804;
inline constexpr int ID_RENDER_NULL = 32805;
inline constexpr int ID_DEBUG_CPU = 32799;
inline constexpr int ID_DEBUG_PPU = 32800;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_HELP = 57670;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_HELP_FINDER = 57667;
inline constexpr int ID_CONTEXT_HELP = 57669;
inline constexpr int ID_DEFAULT_HELP = 57671;

// Top-level popups of the main menu, by position.
inline constexpr int kFileMenu = 0;
inline constexpr int kEmulationMenu = 1;
inline constexpr int kSettingsMenu = 2;
inline constexpr int kDebugMenu = 3;
inline constexpr int kHelpMenu = 4;
// File > Recent Files.
inline constexpr int kRecentFilesItem = 5;
