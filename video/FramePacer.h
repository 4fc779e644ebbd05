#pragma once

#include <cstdint>

// The time source of a CFramePacer: a monotonic clock in nanoseconds and a
// sleep until a point of that clock. Tests hand in a fake one.
class IPacerClock {
 public:
  virtual ~IPacerClock() = default;
  virtual std::int64_t NowNs() = 0;
  virtual void SleepUntilNs(std::int64_t nDeadlineNs) = 0;
};

// Holds presented frames to the console's rate of 60.0988 per second. Each
// FramePresented() sleeps until the next frame boundary, so the emulation loop
// itself never waits. After a long stall (a paused game, a dialog, a slow
// host) the boundaries restart from the present instead of racing to catch up.
class CFramePacer {
 public:
  static constexpr double kFramesPerSecond = 60.0988;
  // Later than this many frame periods counts as a stall.
  static constexpr int kStallFrames = 4;

  // Without a clock the pacer uses the steady clock and a real sleep.
  explicit CFramePacer(IPacerClock* pClock = nullptr);

  void FramePresented();
  // Forgets the boundaries; the next presented frame starts a new series.
  void Restart() { m_bStarted = false; }

  static std::int64_t PeriodNs();

 private:
  IPacerClock* m_pClock;
  bool m_bStarted = false;
  // Next boundary in nanoseconds, kept fractional so the rate does not drift.
  double m_dNextNs = 0.0;
};
