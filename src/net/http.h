// The HTTP client: one request routine for downloads (full or headers only)
// with the cache, uploads and deletions, and the entries other modules use
// (the script loader, EXIST, COMPRESS, the dynamic files).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// A download. Every result is an error code: 0, the HTTP status of a refused
// request, 76 when the connection cannot be opened, 400 for a response
// without a status or whose header block never ends, 1 when the body is not
// complete (the connection closed early, nothing arrived within the time-out,
// a broken chunked encoding), or the file error of the local file.
struct HttpGetRequest {
  std::string address;
  std::string localFile;     // the body goes there; empty: no file
  bool headersOnly = false;  // status and headers only (EXIST)
  bool keepBody = false;     // the body in memory too
  // results
  std::string body;
  uint64_t contentLength = 0;
  std::string stamp;        // Last-Modified as YYYY/MM/DD_HH:MM:SS
  std::string cacheFile;    // the copy of this address in the cache folder
  bool downloaded = false;  // false: the cache copy was current
};
int HttpGet(Interp& in, HttpGetRequest& r);
// Uploads a local file: 0, 53 missing file, the file error, 76, the status,
// 67 when the upload is interrupted.
int HttpPut(Interp& in, const std::string& localFile, std::string_view address);
int HttpDelete(Interp& in, std::string_view address);
// The proxy prefix from the user's Internet settings; empty when none.
std::string ProxyFromInternetSettings();
// The file name of the cache copy of an address.
std::string CacheCopyName(const Interp& in, std::string_view address);

// Fetches a script by address. On failure cacheCopy names the copy in the
// cache folder that may be read instead.
bool HttpFetchScript(Interp& in, std::string_view address, std::string& text, std::string& cacheCopy);
// True when an "http://" address answers with a document (status 200).
bool HttpExists(Interp& in, std::string_view address);
void WriteCacheCopy(const std::string& path, std::string_view bytes);

}  // namespace kes
