// The machine on the network: NETHARD, HOST, TCPIPLIST and PING.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ipexport.h>

#include <cstring>

#include "interp/commands.h"
#include "sysadmin/launcher.h"
#include "sysadmin/sysinfo_text.h"
#include "sysadmin/sysquery.h"

namespace kes {

namespace {

// Test switch: KES_TEST_NETHARD=ipconfig takes the IPCONFIG way as if the
// adapter query had failed.
bool IpconfigForced() {
  char b[16] = {};
  const DWORD n = GetEnvironmentVariableA("KES_TEST_NETHARD", b, sizeof b);
  return n > 0 && n < sizeof b && EqualsNoCase(b, "ipconfig");
}

std::string AddressText(const IP_ADDR_STRING& a) {
  return std::string(a.IpAddress.String, strnlen(a.IpAddress.String, sizeof a.IpAddress.String));
}
std::string MaskText(const IP_ADDR_STRING& a) {
  return std::string(a.IpMask.String, strnlen(a.IpMask.String, sizeof a.IpMask.String));
}

// The address part: IP address, gateway, DHCP server and the two WINS
// servers, each followed by its mask.
std::string AddressPart(const IP_ADAPTER_INFO& a, const std::string& sep) {
  std::string s;
  for (const IP_ADDR_STRING* e : {&a.IpAddressList, &a.GatewayList, &a.DhcpServer, &a.PrimaryWinsServer,
                                  &a.SecondaryWinsServer}) {
    if (!s.empty()) s += sep;
    s += AddressText(*e) + sep + MaskText(*e);
  }
  return s;
}

// The adapters as IPCONFIG /ALL lists them, when the adapter query cannot.
std::vector<std::string> IpconfigAdapters(Interp& in) {
  std::vector<std::string> out, err;
  LaunchRequest r;
  r.text = in.mach.systemFolder + "\\IPCONFIG.EXE /ALL";
  r.show = 0;
  r.wait = true;
  r.capture = CaptureMode::On;
  r.outLines = &out;
  r.errLines = &err;
  r.setErrorlevel = false;
  const int32_t code = in.err.code;
  Launch(in, r);
  in.err.code = code;  // NETHARD reports no error: a failed start finds no adapter
  return IpconfigRecords(out, in.Sep());
}

}  // namespace

// NETHARD: one variable per network adapter (NETHARD1, ...): description,
// type, hardware address and addresses; the answer is their number.
void CmdNetHard(Interp& in, Ctx&) {
  in.line.result = "0";
  using GetInfo = DWORD(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
  const HMODULE lib = LoadLibraryA("iphlpapi.dll");
  const auto getInfo = lib ? reinterpret_cast<GetInfo>(GetProcAddress(lib, "GetAdaptersInfo")) : nullptr;
  if (!getInfo) return;
  ULONG size = 6144;
  getInfo(nullptr, &size);
  std::vector<unsigned char> buf(size ? size : 1);
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buf.data());
  std::vector<std::string> records;
  if (IpconfigForced() || size < sizeof(IP_ADAPTER_INFO) || getInfo(first, &size) != ERROR_SUCCESS) {
    records = IpconfigAdapters(in);
  } else {
    for (const IP_ADAPTER_INFO* a = first; a; a = a->Next)
      records.push_back(AdapterRecord(AdapterDescription(a->Description, sizeof a->Description),
                                      AdapterTypeName(a->Type), HardwareAddressText(a->Address),
                                      AddressPart(*a, in.Sep()), in.Sep()));
  }
  for (size_t i = 0; i < records.size(); ++i) SetVariable(in, "NETHARD" + std::to_string(i + 1), records[i]);
  in.line.result = std::to_string(records.size());
}

// HOST name: the first IPv4 address of the name; 1 when it does not resolve.
void CmdHost(Interp& in, Ctx&) {
  std::string name = WholeArg(in);
  RemoveChar(name, '\\');
  in.line.result = ResolveHost(name);
  if (in.line.result.empty()) in.err.code = kErrUsage;
}

// TCPIPLIST: the addresses of this computer into TCPIPLIST1, ... and their
// number into NTCPIPLIST.
void CmdTcpIpList(Interp& in, Ctx&) {
  const std::vector<std::string> addresses = HostAddresses("", 64);
  for (size_t i = 0; i < addresses.size(); ++i) SetVariable(in, "TCPIPLIST" + std::to_string(i + 1), addresses[i]);
  SetVariable(in, "NTCPIPLIST", std::to_string(addresses.size()));
}

// PING host: "1" or "0" (a reply or none), the separator and the time the
// reply took in ms; one echo request through icmp.dll, waiting PINGTIMEOUT
// ms. An unknown host gives 0,0 and error 1. Nothing on the 9x line.
void CmdPing(Interp& in, Ctx&) {
  if (!in.mach.isNT) return;
  std::string host = WholeArg(in);
  RemoveChar(host, '\\');
  const std::string address = ResolveHost(host);
  if (address.empty()) {
    in.err.code = kErrUsage;
    in.line.result = "0,0";
    return;
  }
  in.line.result = address;  // stays when there is no ICMP library
  using Create = HANDLE(WINAPI*)();
  using Send = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD, DWORD);
  using Close = BOOL(WINAPI*)(HANDLE);
  const HMODULE icmp = LoadLibraryA("icmp.dll");
  if (!icmp) return;
  const auto create = reinterpret_cast<Create>(GetProcAddress(icmp, "IcmpCreateFile"));
  const auto send = reinterpret_cast<Send>(GetProcAddress(icmp, "IcmpSendEcho"));
  const auto close = reinterpret_cast<Close>(GetProcAddress(icmp, "IcmpCloseHandle"));
  if (!create || !send || !close) return;
  const HANDLE h = create();
  if (h == INVALID_HANDLE_VALUE) return;
  char data[] = "KestrovaKestrovaKestrovaKestrova";
  alignas(ICMP_ECHO_REPLY) unsigned char reply[278] = {};
  const DWORD replies =
      send(h, inet_addr(address.c_str()), data, 32, nullptr, reply, sizeof reply, in.ping.timeoutMs);
  close(h);
  const auto* r = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply);
  const bool answered = replies > 0 && r->Status == IP_SUCCESS;
  in.line.result = std::string(answered ? "1" : "0") + in.Sep() + std::to_string(replies > 0 ? r->RoundTripTime : 0);
}

}  // namespace kes
