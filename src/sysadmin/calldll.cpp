#include "sysadmin/calldll.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "interp/errors.h"

// The guarded call: a frame of its own on the exception chain, the
// arguments pushed from the last, the call, and the stack pointer put back
// from a saved register whatever the callee popped. When the callee raises
// an exception, the handler resumes at the recovery label with the frame's
// own stack and base pointers.
//
//   uint32_t kes_guarded_call(void* fn, const uint32_t* args, uint32_t count,
//                             uint32_t* faulted)
//
// The exception record on the stack: [0] previous record, [4] handler,
// [8] recovery address, [12] the frame's base pointer.
extern "C" uint32_t kes_guarded_call(void* fn, const uint32_t* args, uint32_t count, uint32_t* faulted);

// Only the assembly below names the handler: `used` keeps link-time
// optimisation from dropping it.
extern "C" __attribute__((used)) EXCEPTION_DISPOSITION __cdecl kes_guarded_handler(EXCEPTION_RECORD* rec, void* frame,
                                                                                   CONTEXT* ctx, void*) {
  if (rec->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  const uint32_t* r = static_cast<const uint32_t*>(frame);
  ctx->Esp = reinterpret_cast<DWORD>(frame);
  ctx->Ebp = r[3];
  ctx->Eip = r[2];
  return ExceptionContinueExecution;
}

asm(R"(
    .text
    .globl _kes_guarded_call
    .def _kes_guarded_call; .scl 2; .type 32; .endef
_kes_guarded_call:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $4, %esp
    fnstcw (%esp)
    pushl %ebp
    pushl $Lkes_recover
    pushl $_kes_guarded_handler
    pushl %fs:0
    movl %esp, %fs:0
    movl %esp, %esi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %edx
Lkes_push:
    testl %ecx, %ecx
    jz Lkes_call
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp Lkes_push
Lkes_call:
    call *8(%ebp)
    movl %esi, %esp
    movl 20(%ebp), %ecx
    movl $0, (%ecx)
    jmp Lkes_done
Lkes_recover:
    movl 20(%ebp), %ecx
    movl $1, (%ecx)
    xorl %eax, %eax
Lkes_done:
    movl (%esp), %ecx
    movl %ecx, %fs:0
    addl $16, %esp
    fninit
    fldcw (%esp)
    addl $4, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace kes {

namespace {

bool Executable(const void* p) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  if (v.dwPlatformId != VER_PLATFORM_WIN32_NT) return true;  // the 9x line marks no page executable
  MEMORY_BASIC_INFORMATION m{};
  if (!VirtualQuery(p, &m, sizeof m) || m.State != MEM_COMMIT) return false;
  const DWORD x = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return (m.Protect & x) != 0 && !(m.Protect & PAGE_GUARD);
}

}  // namespace

DllCallResult CallLibraryFunction(const std::string& library, const std::string& function, std::vector<DllArg>& args) {
  DllCallResult r;
  if (args.size() > kMaxDllArgs) {
    r.error = kErrUsage;
    return r;
  }
  // No error box from the system for a library it cannot load.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryA(library.c_str());
  const DWORD loadError = h ? 0 : GetLastError();
  SetErrorMode(oldMode);
  if (!h) {
    r.error = loadError == ERROR_MOD_NOT_FOUND || loadError == ERROR_FILE_NOT_FOUND ||
                      loadError == ERROR_PATH_NOT_FOUND || loadError == 0
                  ? kErrNotFound
                  : loadError;
    return r;
  }
  FARPROC fn = nullptr;
  if (function.size() > 1 && function[0] == '#') {
    const unsigned long ord = std::strtoul(function.c_str() + 1, nullptr, 10);
    if (ord > 0 && ord < 0x10000) fn = GetProcAddress(h, MAKEINTRESOURCEA(ord));
  } else {
    fn = GetProcAddress(h, function.c_str());
  }
  if (!fn) {
    r.error = ERROR_PROC_NOT_FOUND;
    return r;
  }
  void* target = reinterpret_cast<void*>(fn);
  if (!Executable(target)) {
    r.error = kErrRefused;
    return r;
  }
  std::vector<std::string> buffers(args.size());
  uint32_t values[kMaxDllArgs] = {};
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].isNumber) {
      values[i] = args[i].number;
    } else {
      buffers[i] = args[i].text;
      buffers[i].resize(std::max(buffers[i].size() + 1, kDllTextBuffer), '\0');
      values[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffers[i].data()));
    }
  }
  uint32_t faulted = 0;
  r.value = kes_guarded_call(target, values, static_cast<uint32_t>(args.size()), &faulted);
  if (faulted) {
    r.error = kErrRefused;
    r.value = 0;
    return r;
  }
  for (size_t i = 0; i < args.size(); ++i)
    if (!args[i].isNumber) args[i].text.assign(buffers[i].c_str());
  return r;
}

}  // namespace kes
