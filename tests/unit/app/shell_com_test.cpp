// COM for the shell's dialogs: initialised once, apartment-threaded, on the
// interpreter's thread, before the folder browser needs it.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include "boxes/box_kinds.h"
#include "interp/interp.h"

namespace kes {
namespace {

TEST(ShellCom, InitialisedOnceApartmentThreaded) {
  Interp in;
  EXPECT_FALSE(in.boxes.comReady);
  InitShellCom(in);
  EXPECT_TRUE(in.boxes.comReady);
  InitShellCom(in);  // a second dialog initialises nothing more
  // S_FALSE: this thread is already in a single-threaded apartment.
  const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(again, S_FALSE);
  if (SUCCEEDED(again)) CoUninitialize();
}

}  // namespace
}  // namespace kes
