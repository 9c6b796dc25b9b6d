#include "sysadmin/service_logic.h"

#include <gtest/gtest.h>

namespace kes {
namespace {

TEST(ServiceOps, WordsAndTheAccessEachAsksFor) {
  EXPECT_EQ(ServiceOpFromWord("STATUS"), ServiceOp::Status);
  EXPECT_EQ(ServiceOpFromWord("CALLSUB"), ServiceOp::CallSub);
  EXPECT_EQ(ServiceOpFromWord("status"), ServiceOp::Unknown);  // compared after upper-casing
  EXPECT_EQ(ServiceOpFromWord("STAT"), ServiceOp::Unknown);
  EXPECT_EQ(ServiceOpFromWord(""), ServiceOp::Unknown);

  struct Row {
    ServiceOp op;
    uint32_t manager, service;
  } rows[] = {
      {ServiceOp::List, 4, 0x80000000u},     {ServiceOp::Status, 4, 0x80000000u},
      {ServiceOp::Config, 4, 0x80000000u},   {ServiceOp::Start, 1, 0x8000019Cu},
      {ServiceOp::Stop, 9, 0x80000020u},     {ServiceOp::Pause, 9, 0x80000040u},
      {ServiceOp::Continue, 9, 0x80000040u}, {ServiceOp::Create, 0x2B, 0xF01FE},
      {ServiceOp::Delete, 0x2B, 0xF01FE},    {ServiceOp::Echo, 0, 0},
  };
  for (const Row& r : rows) {
    const ServiceAccess a = AccessFor(r.op, false);
    EXPECT_EQ(a.manager, r.manager) << static_cast<int>(r.op);
    EXPECT_EQ(a.service, r.service) << static_cast<int>(r.op);
  }
  // Changing the start type: connect, create, lock and boot configuration
  // on the manager; change config, dependents, pause, interrogate and user
  // controls on the service.
  const ServiceAccess change = AccessFor(ServiceOp::Config, true);
  EXPECT_EQ(change.manager, 0x2Fu);
  EXPECT_EQ(change.service, 0x80000000u | 0x2 | 0x8 | 0x40 | 0x80 | 0x100);
  EXPECT_EQ(AccessFor(ServiceOp::Status, true).manager, 4u);  // only CONFIG asks for more
}

TEST(ServiceReferences, DisplayNameOrStarredKeyName) {
  ServiceReference r = ParseServiceReference("Remote Procedure Call (RPC)");
  EXPECT_FALSE(r.keyName);
  EXPECT_EQ(r.name, "Remote Procedure Call (RPC)");
  EXPECT_TRUE(r.valid);

  r = ParseServiceReference("*RpcSs");
  EXPECT_TRUE(r.keyName);
  EXPECT_EQ(r.name, "RpcSs");
  EXPECT_TRUE(r.valid);

  EXPECT_FALSE(ParseServiceReference("").valid);
  EXPECT_FALSE(ParseServiceReference("*").valid);
  // Only the first "*" marks the key name.
  EXPECT_EQ(ParseServiceReference("**x").name, "*x");

  // The name buffer holds 127 bytes and the NUL: a longer name is refused,
  // never cut to another service's name.
  EXPECT_TRUE(ParseServiceReference(std::string(127, 'a')).valid);
  EXPECT_FALSE(ParseServiceReference(std::string(128, 'a')).valid);
  EXPECT_TRUE(ParseServiceReference("*" + std::string(127, 'a')).valid);
}

TEST(ServiceReferences, ListEntriesHandBackAsReferences) {
  const std::string e = ServiceListEntry("RpcSs", ",", "Remote Procedure Call (RPC)");
  EXPECT_EQ(e, "*RpcSs,Remote Procedure Call (RPC)");
  const ServiceReference back = ParseServiceReference(e.substr(0, e.find(',')));
  EXPECT_TRUE(back.keyName);
  EXPECT_EQ(back.name, "RpcSs");
  EXPECT_EQ(ServiceListEntry("a", ";;", "b"), "*a;;b");
}

TEST(ServiceMode, TypeFollowsTheSystem) {
  EXPECT_EQ(ServiceTypeFor(true), 0x110u);
  EXPECT_EQ(ServiceTypeFor(false), 0x10u);
}

TEST(ServiceMode, PauseContinueInterrogate) {
  ServiceStatusRecord s;
  s.state = kServiceRunning;
  s.controls = kControlsAccepted;
  EXPECT_FALSE(ApplyControl(s, kControlPause).endBody);
  EXPECT_EQ(s.state, kServicePaused);
  EXPECT_FALSE(ApplyControl(s, kControlInterrogate).endBody);
  EXPECT_EQ(s.state, kServicePaused);
  EXPECT_FALSE(ApplyControl(s, kControlContinue).endBody);
  EXPECT_EQ(s.state, kServiceRunning);
  EXPECT_FALSE(ApplyControl(s, 200).endBody);  // a user control: the status as it stands
  EXPECT_EQ(s.state, kServiceRunning);
  EXPECT_EQ(s.controls, kControlsAccepted);
}

TEST(ServiceMode, StopAndShutdownEndTheBodyAndNeverGoBack) {
  for (uint32_t control : {kControlStop, kControlShutdown}) {
    ServiceStatusRecord s;
    s.state = kServicePaused;
    s.win32Exit = 5;
    s.checkpoint = 3;
    s.waitHint = 1000;
    EXPECT_TRUE(ApplyControl(s, control).endBody);
    // STOP_PENDING, not STOPPED: the body's end reports that.
    EXPECT_EQ(s.state, kServiceStopPending);
    EXPECT_EQ(s.win32Exit, 0u);
    EXPECT_EQ(s.checkpoint, 0u);
    EXPECT_EQ(s.waitHint, 0u);
    // Once stopping, PAUSE and CONTINUE change nothing.
    ApplyControl(s, kControlContinue);
    EXPECT_EQ(s.state, kServiceStopPending);
    ApplyControl(s, kControlPause);
    EXPECT_EQ(s.state, kServiceStopPending);
    EXPECT_TRUE(ApplyControl(s, kControlStop).endBody);
    EXPECT_EQ(s.state, kServiceStopPending);
  }
  ServiceStatusRecord stopped;
  ApplyControl(stopped, kControlStop);
  EXPECT_EQ(stopped.state, kServiceStopped);
}

}  // namespace
}  // namespace kes
