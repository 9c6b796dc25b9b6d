// DEFAULTPRINTER: the default printer of the user, read from or written to
// the "Device" setting of the user's Windows settings.
#include "interp/commands.h"
#include "sysadmin/nettext.h"
#include "sysadmin/registry.h"

namespace kes {

namespace {

constexpr const char* kWindowsSettings = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\";

// The user's own settings: never another computer's (REGCONNECT), never a
// key created by a read.
OpenOptions LocalOnly(bool create) {
  OpenOptions o;
  o.useRemote = false;
  o.createFallback = create;
  return o;
}

}  // namespace

// ---- DEFAULTPRINTER [printer]

void CmdDefaultPrinter(Interp& in, Ctx&) {
  if (!in.mach.isNT) return;
  // The whole text is the name: printer names may hold commas.
  const std::string printer = WholeArg(in);
  const std::string windows = std::string(kWindowsSettings) + "Windows";
  if (printer.empty()) {
    const RegValueText device = RegistryGetValue(in.registry, windows, "Device", ",", LocalOnly(false));
    in.err.code = device.code;
    in.line.result = DefaultPrinterOf(device.text);
    return;
  }
  const RegValueText ports =
      RegistryGetValue(in.registry, std::string(kWindowsSettings) + "PrinterPorts", printer, ",", LocalOnly(false));
  std::string device;
  if (!DeviceSetting(printer, ports.text, device)) {
    in.err.code = kErrNotFound;
    return;
  }
  in.err.code = RegistryWriteString(in.registry, windows, "Device", device, LocalOnly(true));
  if (!in.err.code) in.line.result = printer;
}

}  // namespace kes
