#include "sysadmin/perfdata.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kes {
namespace {

using namespace std::string_literals;

TEST(PerfData, CounterIndexByNameIgnoringCase) {
  const std::string v =
      "1\0"
      "1847\0"
      "2\0System\0"
      "230\0Process\0"
      "784\0ID Process\0"
      "\0"s;
  EXPECT_EQ(CounterIndex(v, "process"), 230);
  EXPECT_EQ(CounterIndex(v, "ID PROCESS"), 784);
  EXPECT_EQ(CounterIndex(v, "Thread"), -1);
  EXPECT_EQ(CounterIndex("12x\0Process\0"s, "Process"), -1);
  EXPECT_EQ(CounterIndex("230\0Proc"s, "Process"), -1);
  EXPECT_EQ(CounterIndex(""s, "Process"), -1);
}

TEST(PerfData, InstancesWithTheirIds) {
  const std::vector<PerfProcess> procs{{u"Idle", 0}, {u"explorer", 1234}, {u"k\u00e9v", 4000000000u}};
  const std::string d = MakeProcessPerfData(230, 784, procs);
  const std::vector<PerfProcess> got = ParseProcessPerfData(d, 230, 784);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1].name, u"explorer");
  EXPECT_EQ(got[1].id, 1234u);
  EXPECT_EQ(got[2].name, u"k\u00e9v");
  EXPECT_EQ(got[2].id, 4000000000u);
  // another object index or counter: nothing
  EXPECT_TRUE(ParseProcessPerfData(d, 232, 784).empty());
  EXPECT_TRUE(ParseProcessPerfData(d, 230, 785).empty());
}

TEST(PerfData, LongNamesAreCutAt128Bytes) {
  const std::u16string longName(100, u'x');
  const std::vector<PerfProcess> got = ParseProcessPerfData(MakeProcessPerfData(230, 784, {{longName, 9}}), 230, 784);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].name.size(), 64u);
  EXPECT_EQ(got[0].id, 9u);
}

TEST(PerfData, TruncatedOrDamagedBlocksStopCleanly) {
  const std::string d = MakeProcessPerfData(230, 784, {{u"a", 1}, {u"b", 2}, {u"c", 3}});
  for (size_t cut = 0; cut < d.size(); ++cut) {
    const std::vector<PerfProcess> got = ParseProcessPerfData(d.substr(0, cut), 230, 784);
    EXPECT_LE(got.size(), 3u);
  }
  std::string bad = d;
  for (size_t i = 88; i < bad.size(); i += 7) {
    bad[i] = '\xFF';
    EXPECT_LE(ParseProcessPerfData(bad, 230, 784).size(), 3u);
  }
  EXPECT_TRUE(ParseProcessPerfData("PERF", 230, 784).empty());
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(SystemProcesses, RecordsWithTheirNamesAndIds) {
  const std::vector<PerfProcess> procs{{u"", 0}, {u"System", 4}, {u"k\u00e9strova.exe", 1234}};
  const uint32_t base = 0x00A30000;
  const std::string d = MakeSystemProcesses(procs, base);
  const std::vector<PerfProcess> got = ParseSystemProcesses(d, base);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].name, u"[System Process]");
  EXPECT_EQ(got[1].name, u"System");
  EXPECT_EQ(got[1].id, 4u);
  EXPECT_EQ(got[2].name, u"k\u00e9strova.exe");
  EXPECT_EQ(got[2].id, 1234u);
}

TEST(SystemProcesses, NamesOutsideTheBlockAndCutBlocksAreSafe) {
  const std::string d = MakeSystemProcesses({{u"a.exe", 1}, {u"b.exe", 2}}, 0x1000);
  // read as if at another address: the names point outside
  const std::vector<PerfProcess> moved = ParseSystemProcesses(d, 0x9000);
  ASSERT_EQ(moved.size(), 2u);
  EXPECT_EQ(moved[1].name, u"[System Process]");
  for (size_t cut = 0; cut < d.size(); ++cut) EXPECT_LE(ParseSystemProcesses(d.substr(0, cut), 0x1000).size(), 2u);
  std::string loop = d;
  loop[0] = loop[1] = loop[2] = loop[3] = '\0';  // the first record says it is the last
  EXPECT_EQ(ParseSystemProcesses(loop, 0x1000).size(), 1u);
}

}  // namespace
}  // namespace kes
