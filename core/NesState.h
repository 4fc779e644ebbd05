#pragma once

#include <string_view>

// The machine's run state. Held as a number so the test after every
// instruction compares no characters; shown and compared as its text.
enum class ENesState { Stopped, Running, Paused, Stop };

constexpr std::string_view NesStateText(ENesState state) {
  switch (state) {
    case ENesState::Stopped:
      return "Stopped";
    case ENesState::Running:
      return "Running";
    case ENesState::Paused:
      return "Paused";
    case ENesState::Stop:
      return "Stop";
  }
  return "Stopped";
}
