#pragma once
// Where probe logs live. A log is kept for a while after its instance closed, so a
// test can still read the close; the oldest closed ones are freed as others close.

#include "testplugins/probe/ProbeLog.h"

namespace vantreel::probe {

// Any thread; null when memory runs out.
ProbeLog* NewProbeLog();
// Hands over the log of an instance that has closed. Any thread.
void RetireProbeLog(ProbeLog* log);

} // namespace vantreel::probe
