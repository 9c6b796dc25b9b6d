// Reading the process list out of the blocks the system hands over: the
// performance data that NT 4 offers in place of the tool-help snapshot, and
// the system's process information. Pure: the caller queries the system and
// hands the bytes over; every offset is checked against the buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The index of a counter name in the "Counter" value of the Perflib key: a
// run of NUL-terminated texts, index then name, pair after pair. Names are
// compared ignoring ASCII case. -1 when the name is not there.
long CounterIndex(std::string_view counterValue, std::string_view name);

struct PerfProcess {
  std::u16string name;  // instance name, without ".exe"
  uint32_t id = 0;
};

// The instances of the object whose title index is objectIndex, each with
// the value of the counter whose title index is idCounterIndex (a 32-bit
// counter). Instance names are cut at their first NUL and at 128 bytes.
// A malformed block gives the instances read before the fault.
std::vector<PerfProcess> ParseProcessPerfData(std::string_view data, uint32_t objectIndex, uint32_t idCounterIndex);

// The process records of the system's process information (the records the
// tool-help snapshot is made of: NtQuerySystemInformation, class 5), in the
// 32-bit layout. `base` is the address the block was read to: the records
// point at their names with addresses. A record whose name is empty (the
// idle process) is named "[System Process]". Offsets are checked against
// the block.
std::vector<PerfProcess> ParseSystemProcesses(std::string_view data, uint32_t base);
// Builds such a block for the tests, as if read to `base`.
std::string MakeSystemProcesses(const std::vector<PerfProcess>& procs, uint32_t base);

// Builds a performance data block holding one object with the given
// instances and two counters (a dummy one, then the ID counter), laid out
// as the system lays it out; the unit tests feed it to the parser.
std::string MakeProcessPerfData(uint32_t objectIndex, uint32_t idCounterIndex, const std::vector<PerfProcess>& procs);

}  // namespace kes
