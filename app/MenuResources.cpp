#include "app/MenuResources.h"

#include "app/ResourceIds.h"

const std::vector<SMenuItem>& MainMenu() {
  static const std::vector<SMenuItem> menu = {
      {"&File", 0, "", false,
       {
           {"&Load...\tCtrl+L", ID_FILE_OPEN, "Load a ROM image"},
           {"&Save state\tF2", ID_FILE_SAVE, "Save the state of the game", true},
           {"Load State \tF3", ID_FILE_LOAD_STATE, "Load last save state", true},
           {"Rom Informations...", ID_FILE_ROM_INFO, "Display informations about the current rom"},
           {},
           {"Recent Files", 0, "", false,
            {{"", ID_FILE_RECENT1}, {"", ID_FILE_RECENT2}, {"", ID_FILE_RECENT3}}},
           {},
           {"E&xit", ID_APP_EXIT, "Quit Tolvar"},
       }},
      {"&Emulation", 0, "", false,
       {
           {"Start\tF5", ID_EMULATION_START, "Start CPU"},
           {"Stop\tESC", ID_EMULATION_STOP, "Stop CPU"},
           {"Pause\tP", ID_EMULATION_PAUSE, "Pause CPU"},
           {"Reset\tR", ID_EMULATION_RESET, "Reset CPU"},
       }},
      {"&Settings", 0, "", false,
       {
           {"Video...", ID_SETTINGS_VIDEO, "Video settings"},
           {"Sound...", ID_SETTINGS_SOUND, "Sound settings"},
           {"Inputs...", ID_SETTINGS_INPUTS, "Input device settings"},
           {"Options...", ID_SETTINGS_OPTIONS, "General Options"},
           {},
           {"Cpu", 0, "", false, {{"Asm", ID_CPU_ASM}, {"C++", ID_CPU_C}}},
           {"Rendering", 0, "", false,
            {{"SDL", ID_RENDER_SDL}, {"DirectX", ID_RENDER_DIRECTX}, {"NULL", ID_RENDER_NULL}}},
       }},
      {"&Debug", 0, "", false,
       {
           {"&Cpu", ID_DEBUG_CPU, "Trace CPU instructions"},
           {"&Ppu", ID_DEBUG_PPU, "View the patern tables, name tables and palettes. "},
       }},
      {"&Help", 0, "", false,
       {
           {"&About Tolvar...", ID_APP_ABOUT, "Informations on Tolvar"},
       }},
  };
  return menu;
}

const std::vector<SAccelerator>& Accelerators() {
  static const std::vector<SAccelerator> accelerators = {
      {"Ctrl+L", ID_FILE_OPEN}, {"Ctrl+S", ID_FILE_SAVE},    {"F1", ID_HELP},
      {"F6", ID_NEXT_PANE},     {"Shift+F6", ID_PREV_PANE},
  };
  return accelerators;
}
