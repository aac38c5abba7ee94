// The CPU time the process has used, for the benchmarks.
#pragma once

/// User and system CPU seconds of this process so far.
double ProcessCpuSeconds();
