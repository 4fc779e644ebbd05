#include "video/FramePacer.h"

#include <chrono>
#include <thread>

namespace {
constexpr double kPeriodNs = 1e9 / CFramePacer::kFramesPerSecond;

class CSteadyPacerClock : public IPacerClock {
 public:
  std::int64_t NowNs() override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void SleepUntilNs(std::int64_t nDeadlineNs) override {
    std::this_thread::sleep_until(
        std::chrono::steady_clock::time_point(std::chrono::nanoseconds(nDeadlineNs)));
  }
};

IPacerClock& SteadyClock() {
  static CSteadyPacerClock clock;
  return clock;
}
}  // namespace

CFramePacer::CFramePacer(IPacerClock* pClock) : m_pClock(pClock ? pClock : &SteadyClock()) {}

std::int64_t CFramePacer::PeriodNs() { return static_cast<std::int64_t>(kPeriodNs); }

void CFramePacer::FramePresented() {
  const double dNow = static_cast<double>(m_pClock->NowNs());
  if (!m_bStarted || dNow > m_dNextNs + kStallFrames * kPeriodNs) {
    // The first frame, or one after a stall: it opens a new series of
    // boundaries and is not held back.
    m_bStarted = true;
    m_dNextNs = dNow + kPeriodNs;
    return;
  }
  if (dNow < m_dNextNs) m_pClock->SleepUntilNs(static_cast<std::int64_t>(m_dNextNs));
  // A frame that came a little late keeps the series; the following frames
  // make up for it.
  m_dNextNs += kPeriodNs;
}
