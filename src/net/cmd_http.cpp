// HTTP, CACHENAME, FICDYN/DYNFILE and DYNAMIC: the commands of the HTTP
// client.
#include <windows.h>

#include "interp/args.h"
#include "interp/commands.h"
#include "interp/workfile.h"
#include "net/http.h"
#include "net/http_wire.h"

namespace kes {

namespace {

void HttpGetCommand(Interp& in) {
  HttpGetRequest r;
  r.address = FieldUnquoted(in, 2);
  r.localFile = PathField(in, 3);
  in.err.code = HttpGet(in, r);
  in.line.result.clear();
}

// GAUGE, ON|OFF [, caption, text, OFF]
void HttpGaugeSettings(Interp& in) {
  HttpSettings& h = in.http;
  h.gauge = IsOnWord(Field(in, 2));
  if (FieldCount(in) <= 2) return;
  h.gaugeCaption = Trim(ReplaceAllCopy(Upper(FieldUnquoted(in, 3)), "ASKDIALOG", ""));
  h.gaugeText = Upper(FieldUnquoted(in, 4));
  h.gaugeCloses = Upper(Field(in, 5)) == "OFF";
}

// The web address or local path of a settings file, read whole. A web
// address that cannot be fetched falls back on its copy in the cache folder.
int ReadSettingsSource(Interp& in, const std::string& source, std::string& text) {
  if (!StartsWithNoCase(source, "http://")) return ReadFileBytes(source, text, true);
  HttpGetRequest r;
  r.address = source;
  r.keepBody = true;
  const int e = HttpGet(in, r);
  if (e == 0) {
    text.swap(r.body);
    return 0;
  }
  return ReadFileBytes(r.cacheFile, text, true) == 0 ? 0 : e;
}

}  // namespace

// HTTP GET|PUT|DELETE|PROXY|CACHE|LOG|VERBOSE|GAUGE|ASKDIALOG, ...
void CmdHttp(Interp& in, Ctx&) {
  const std::string sub = Upper(Field(in, 1));
  const bool on = IsOnWord(Field(in, 2));
  if (sub == "GET") {
    HttpGetCommand(in);
  } else if (sub == "PUT") {
    in.err.code = HttpPut(in, PathField(in, 2), FieldUnquoted(in, 3));
  } else if (sub == "DELETE") {
    in.err.code = HttpDelete(in, Trim(TextAfterField(in, 1)));
  } else if (sub == "PROXY") {
    in.http.proxyPrefix = on ? ProxyFromInternetSettings() : std::string();
    in.line.result = in.http.proxyPrefix;
  } else if (sub == "CACHE") {
    in.http.cache = on;
  } else if (sub == "LOG" || sub == "VERBOSE") {
    in.http.logFile = on ? Trim(TextAfterField(in, 2)) : std::string();
    if (!in.http.logFile.empty()) DeleteFileA(in.http.logFile.c_str());
  } else if (sub == "GAUGE" || sub == "ASKDIALOG") {
    // There are no forms to show a transfer in: ASKDIALOG shows the gauge.
    HttpGaugeSettings(in);
  } else {
    in.err.code = kErrNoHandler;
  }
}

// CACHENAME host/path: a file name in the cache folder; no network, no file.
void CmdCacheName(Interp& in, Ctx&) { in.line.result = in.mach.cacheFolder + CacheNameChecksum(Trim(in.line.args)); }

// FICDYN address[, local file]: downloads the address (through the cache) into
// the local file, by default the address's file name in the dynamic-files
// folder (DIRDYN, else the temp folder). The answer is the local path.
void CmdDynFile(Interp& in, Ctx&) {
  HttpGetRequest r;
  r.address = FieldUnquoted(in, 1);
  r.localFile = PathField(in, 2);
  if (r.localFile.empty()) {
    std::string name(WithoutScheme(r.address));
    name = name.substr(0, name.find('?'));
    const size_t slash = name.rfind('/');
    name = slash == std::string::npos ? std::string() : name.substr(slash + 1);
    std::string folder = in.folders.dyn.empty() ? in.mach.tempFolder : in.folders.dyn;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    if (!name.empty()) r.localFile = folder + name;
  }
  if (r.address.empty() || r.localFile.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  in.err.code = HttpGet(in, r);
  if (in.err.code == 0) in.line.result = r.localFile;
}

// DYNAMIC source[, section]: assigns the NAME=value lines of a settings file
// (a local path or a web address) as variables; the answer is their count.
void CmdDynamic(Interp& in, Ctx&) {
  const std::string source = PathField(in, 1);
  if (source.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  std::string text;
  if (const int e = ReadSettingsSource(in, source, text)) {
    in.err.code = e;
    return;
  }
  const std::vector<Setting> settings = SettingsFromText(text, FieldUnquoted(in, 2));
  for (const Setting& s : settings) SetVariable(in, s.name, s.value);
  in.line.result = IntText(static_cast<int64_t>(settings.size()));
}

}  // namespace kes
