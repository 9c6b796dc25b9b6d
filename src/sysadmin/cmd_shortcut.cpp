// Shell shortcuts (CREATESHORTCUT, GETSHORTCUT) and sounds (SOUND,
// SOUNDWAIT).
#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include "interp/commands.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

// The shortcut file: ".lnk" is added when the name has another ending, as
// the shell only takes shortcuts by that extension.
std::string LinkFile(Interp& in) {
  std::string link = PathField(in, 1);
  if (!link.empty() && !EndsWith(Lower(link), ".lnk")) link += ".lnk";
  return link;
}

std::wstring WideText(const std::string& s) {
  std::wstring w(s.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
  w.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return w;
}

// A failed shell call as a language code: Windows errors as for files,
// anything else 1.
int32_t ShellError(HRESULT hr) {
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return LanguageError(HRESULT_CODE(hr), WinErrorUse::File);
  return kErrUsage;
}

// A shell link object with its file interface; released on leaving.
class ShellLink {
 public:
  ShellLink() {
    static const HRESULT com = CoInitialize(nullptr);  // once; S_FALSE when already started
    (void)com;
    hr_ = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                           reinterpret_cast<void**>(&link_));
    if (SUCCEEDED(hr_)) hr_ = link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
  }
  ShellLink(const ShellLink&) = delete;
  ShellLink& operator=(const ShellLink&) = delete;
  ~ShellLink() {
    if (file_) file_->Release();
    if (link_) link_->Release();
  }
  HRESULT status() const { return hr_; }
  IShellLinkA* operator->() const { return link_; }
  IPersistFile* file() const { return file_; }

 private:
  HRESULT hr_ = E_FAIL;
  IShellLinkA* link_ = nullptr;
  IPersistFile* file_ = nullptr;
};

// CREATESHORTCUT link,target[,arguments[,folder[,icon file[,icon index[,description]]]]]:
// writes the shortcut (replacing one of that name); 1 without link or
// target, 76 when the link's folder does not exist.
void CreateShortcut(Interp& in) {
  const std::string link = LinkFile(in), target = PathField(in, 2);
  if (link.empty() || target.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, link)) return;
  ShellLink s;
  HRESULT hr = s.status();
  if (SUCCEEDED(hr)) hr = s->SetPath(target.c_str());
  if (SUCCEEDED(hr)) hr = s->SetArguments(FieldUnquoted(in, 3).c_str());
  if (SUCCEEDED(hr)) hr = s->SetWorkingDirectory(PathField(in, 4).c_str());
  if (SUCCEEDED(hr) && !PathField(in, 5).empty())
    hr = s->SetIconLocation(PathField(in, 5).c_str(), static_cast<int>(FieldInt(in, 6)));
  if (SUCCEEDED(hr)) hr = s->SetDescription(FieldUnquoted(in, 7).c_str());
  if (SUCCEEDED(hr)) hr = s.file()->Save(WideText(link).c_str(), TRUE);
  if (FAILED(hr)) in.err.code = ShellError(hr);
}

void ReadShortcut(Interp& in, const std::string& link, std::string (&values)[6]) {
  ShellLink s;
  HRESULT hr = s.status();
  if (SUCCEEDED(hr)) hr = s.file()->Load(WideText(link).c_str(), STGM_READ);
  if (FAILED(hr)) {
    in.err.code = kErrUsage;
    return;
  }
  char buf[INFOTIPSIZE + 1] = {};  // room for the longest part, the description
  int index = 0;
  if (SUCCEEDED(s->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH))) values[0] = buf;
  if (SUCCEEDED(s->GetArguments(buf, INFOTIPSIZE))) values[1] = buf;
  if (SUCCEEDED(s->GetWorkingDirectory(buf, MAX_PATH))) values[2] = buf;
  if (SUCCEEDED(s->GetIconLocation(buf, MAX_PATH, &index))) values[3] = buf;
  values[4] = values[3].empty() ? std::string() : std::to_string(index);
  if (SUCCEEDED(s->GetDescription(buf, INFOTIPSIZE))) values[5] = buf;
  in.line.result = values[0];
}

void GetShortcut(Interp& in) {
  in.line.result.clear();
  std::string values[6];
  const std::string link = LinkFile(in);
  if (link.empty()) {
    in.err.code = kErrUsage;
  } else if (!RefusePath(in, link)) {
    if (FileExists(link)) ReadShortcut(in, link, values);
    else in.err.code = kErrNotFound;
  }
  static const char* const kParts[] = {"TARGET", "ARGUMENTS", "FOLDER", "ICON", "ICONINDEX", "DESCRIPTION"};
  for (int i = 0; i < 6; ++i) SetVariable(in, std::string("GETSHORTCUT.") + kParts[i], values[i]);
}

}  // namespace

// CREATESHORTCUT link,target[,arguments[,folder[,icon file[,icon index[,description]]]]]
// writes a shortcut; GETSHORTCUT link reads one (docs/sysinfo.md).
void CmdShortcut(Interp& in, Ctx& c) {
  if (c.Word<ShortcutWord>() == ShortcutWord::CreateShortcut) CreateShortcut(in);
  else GetShortcut(in);
}

// SOUND file plays a sound file and goes on at once; SOUNDWAIT file returns
// when the sound has ended. 53 for a missing file; when it cannot be played,
// 5 without a sound device, else 1.
void CmdSound(Interp& in, Ctx& c) {
  const std::string file = WholeArg(in);
  if (file.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, file)) return;
  if (!FileExists(file)) {
    in.err.code = kErrNotFound;
    return;
  }
  const DWORD wait = c.Word<SoundWord>() == SoundWord::SoundWait ? SND_SYNC : SND_ASYNC;
  if (!PlaySoundA(file.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | wait))
    in.err.code = waveOutGetNumDevs() == 0 ? kErrRefused : kErrUsage;
}

}  // namespace kes
