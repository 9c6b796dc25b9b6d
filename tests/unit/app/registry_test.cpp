// The registry commands through the dispatcher, for what a script cannot
// observe: a pending stop ends the list walks, the open-security switch
// gives created keys a null DACL, string data is stored with its NUL.
#include <windows.h>

#include <gtest/gtest.h>

#include "interp/dispatcher.h"
#include "sysadmin/registry.h"

namespace kes {
namespace {

const char* const kBase = "HKEY_CURRENT_USER\\Software\\KestrovaTest\\unit";
const char* const kBaseSub = "Software\\KestrovaTest\\unit";

class RegistryTest : public ::testing::Test {
 protected:
  Interp& in = K();
  BlockStacks stacks;

  void SetUp() override {
    in.run.stopRequested = false;
    in.run.abort = false;
    in.registry = RegistryState{};
    Run("REGKEYNEW", std::string(kBase) + "\\a");
    Run("REGKEYNEW", std::string(kBase) + "\\b");
    Run("REGKEYNEW", std::string(kBase) + "\\b\\c");
    Run("REGKEYSET", std::string(kBase) + ",v1,1,REG_SZ");
    Run("REGKEYSET", std::string(kBase) + ",v2,2,REG_SZ");
  }
  void TearDown() override {
    in.run.stopRequested = false;
    in.registry = RegistryState{};
    for (const char* k : {"\\b\\c", "\\b", "\\a", "\\open", ""}) Run("REGKEYDEL", std::string(kBase) + k);
    Run("REGKEYDEL", "HKEY_CURRENT_USER\\Software\\KestrovaTest");
  }
  int32_t Run(std::string_view word, std::string_view args) {
    in.err.code = 0;
    DispatchCommand(in, word, args, stacks);
    return in.err.code;
  }
  size_t Count(SysList l) { return in.vars.Sys(l).size(); }
};

TEST_F(RegistryTest, ListsAreCompleteWithoutAStop) {
  EXPECT_EQ(Run("REGKEYLIST", kBase), 0);
  EXPECT_EQ(Count(SysList::REGKEYLIST), 2u);
  EXPECT_EQ(Run("REGKEYXLIST", kBase), 0);
  EXPECT_EQ(Count(SysList::REGKEYXLIST), 3u);
  EXPECT_EQ(Run("REGVALUELIST", kBase), 0);
  EXPECT_EQ(Count(SysList::REGVALUELIST), 2u);
  EXPECT_EQ(GetVariable(in, "NREGKEYXLIST"), "3");
}

TEST_F(RegistryTest, XListWalksLongNamesAndPathsBeyondTheirLimits) {
  // Keys made level by level under their parent: a name of 255 characters
  // (the longest there is) and a chain 40 levels deep under it, so the full
  // paths run past 10,000 characters.
  const std::string longName(255, 'k');
  HKEY parent;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kBaseSub, 0, KEY_WRITE, &parent), ERROR_SUCCESS);
  std::vector<HKEY> made;
  HKEY h = parent;
  for (int i = 0; i < 41; ++i) {
    HKEY child;
    ASSERT_EQ(RegCreateKeyExA(h, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    made.push_back(child);
    h = child;
  }
  EXPECT_EQ(Run("REGKEYXLIST", kBase), 0);
  const auto& list = in.vars.Sys(SysList::REGKEYXLIST);
  ASSERT_EQ(list.size(), 3u + 41u);
  EXPECT_EQ(list[0], std::string(kBase) + "\\a");
  EXPECT_EQ(list[2], std::string(kBase) + "\\" + longName);
  EXPECT_EQ(list[3], std::string(kBase) + "\\b\\c");
  EXPECT_EQ(list.back().size(), std::string(kBase).size() + 41 * 256);
  // Clean up deepest first.
  for (size_t i = made.size(); i-- > 0;) {
    RegDeleteKeyA(made[i], longName.c_str());
    RegCloseKey(made[i]);
  }
  EXPECT_EQ(RegDeleteKeyA(parent, longName.c_str()), ERROR_SUCCESS);
  RegCloseKey(parent);
}

TEST_F(RegistryTest, PendingStopEndsTheWalks) {
  in.run.stopRequested = true;
  Run("REGKEYLIST", kBase);
  EXPECT_EQ(Count(SysList::REGKEYLIST), 0u);
  Run("REGKEYXLIST", kBase);
  EXPECT_EQ(Count(SysList::REGKEYXLIST), 0u);
  Run("REGVALUELIST", kBase);
  EXPECT_EQ(Count(SysList::REGVALUELIST), 0u);
  EXPECT_EQ(GetVariable(in, "NREGVALUELIST"), "0");
  in.run.stopRequested = false;
  in.run.abort = true;
  Run("REGKEYXLIST", kBase);
  EXPECT_EQ(Count(SysList::REGKEYXLIST), 0u);
  in.run.abort = false;
}

// Whether the key's DACL is present and null.
bool HasNullDacl(HKEY root, const std::string& sub) {
  HKEY h;
  if (RegOpenKeyExA(root, sub.c_str(), 0, READ_CONTROL, &h) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  RegGetKeySecurity(h, DACL_SECURITY_INFORMATION, nullptr, &size);
  std::vector<BYTE> buf(size ? size : 64);
  size = static_cast<DWORD>(buf.size());
  bool result = false;
  if (RegGetKeySecurity(h, DACL_SECURITY_INFORMATION, buf.data(), &size) == ERROR_SUCCESS) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    result = GetSecurityDescriptorDacl(buf.data(), &present, &dacl, &defaulted) && present && !dacl;
  }
  RegCloseKey(h);
  return result;
}

TEST_F(RegistryTest, ImpersonateGivesCreatedKeysANullDacl) {
  EXPECT_EQ(Run("REG", "IMPERSONATE,ON"), 0);
  EXPECT_TRUE(in.registry.openSecurity);
  EXPECT_EQ(Run("REGKEYNEW", std::string(kBase) + "\\open"), 0);
  const bool opened = HasNullDacl(HKEY_CURRENT_USER, std::string(kBaseSub) + "\\open");
  EXPECT_EQ(Run("REG", "IMPERSONATE,OFF"), 0);
  EXPECT_FALSE(in.registry.openSecurity);
  // A key made directly with the same descriptor shows whether the platform
  // applies it at all: Windows does; some Wine versions keep their default.
  SECURITY_DESCRIPTOR sd;
  ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
  SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
  HKEY h;
  const std::string control = std::string(kBaseSub) + "\\a\\control";
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, control.c_str(), 0, nullptr, 0, KEY_WRITE, &sa, &h, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(h);
  const bool platformApplies = HasNullDacl(HKEY_CURRENT_USER, control);
  RegDeleteKeyA(HKEY_CURRENT_USER, control.c_str());
  if (!platformApplies) GTEST_SKIP() << "this platform does not apply a null DACL given at creation";
  EXPECT_TRUE(opened);
}

TEST_F(RegistryTest, StringsAreStoredWithTheirTerminatingNul) {
  // Windows documents that the size given must count the NUL; the size
  // read back in characters (through the wide function, which reports what
  // is stored) is the text plus one.
  ASSERT_EQ(Run("REGKEYSET", std::string(kBase) + ",s,abc,REG_SZ"), 0);
  ASSERT_EQ(Run("REGKEYSET", std::string(kBase) + ",m,x,y,REG_MULTI_SZ"), 0);
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kBaseSub, 0, KEY_READ, &h), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExW(h, L"s", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 4 * sizeof(WCHAR));
  ASSERT_EQ(RegQueryValueExW(h, L"m", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(size, 5 * sizeof(WCHAR));  // x NUL y NUL NUL
  RegCloseKey(h);
}

TEST_F(RegistryTest, AValueWithoutItsNulKeepsItsLastCharacter) {
  // Data other programs stored without the terminator.
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kBaseSub, 0, KEY_WRITE, &h), ERROR_SUCCESS);
  const WCHAR multi[] = {L'p', 0, L'q'};
  ASSERT_EQ(RegSetValueExW(h, L"raw", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi),
            ERROR_SUCCESS);
  RegCloseKey(h);
  const RegValueText v = RegistryGetValue(RegistryState{}, kBase, "raw", ";");
  EXPECT_EQ(v.code, 0);
  EXPECT_EQ(v.text, "p;q");
  EXPECT_EQ(v.typeName, "REG_MULTI_SZ");
}

TEST_F(RegistryTest, InternalReadsDoNotSetTheTypeOrCreateKeys) {
  SetVariable(in, "REGKEYTYPE", "untouched");
  EXPECT_EQ(RegistryReadString(in, kBase, "v1"), "1");
  EXPECT_EQ(GetVariable(in, "REGKEYTYPE"), "untouched");
  // The ADMIN built-in only opens HKEY_LOCAL_MACHINE\SECURITY.
  const bool admin = RegistryCanOpenSecurity();
  HKEY h;
  const bool exists = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SECURITY", 0, READ_CONTROL, &h) == ERROR_SUCCESS;
  if (exists) RegCloseKey(h);
  EXPECT_EQ(admin, exists);
}

TEST_F(RegistryTest, TransferBufferHoldsTheLongestStringExactly) {
  const std::string fits(kTransferBufferSize - 1, 'z');
  EXPECT_EQ(Run("REGKEYSET", std::string(kBase) + ",big," + fits + ",REG_SZ"), 0);
  EXPECT_EQ(Run("REGKEYGET", std::string(kBase) + ",big"), 0);
  EXPECT_EQ(in.vars.Find("REGKEYGET") ? in.vars.Find("REGKEYGET")->size() : 0u, fits.size());
  EXPECT_EQ(Run("REGKEYSET", std::string(kBase) + ",big2," + fits + "z,REG_SZ"), kRegTooLong);
  EXPECT_EQ(Run("REGKEYDEL", std::string(kBase) + ",big"), 0);
}

TEST_F(RegistryTest, StringLargerThanTheTransferBufferIsReadWhole) {
  // Written by another program: 300,000 bytes and the NUL.
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kBaseSub, 0, KEY_WRITE, &h), ERROR_SUCCESS);
  const std::string huge(300000, 'h');
  ASSERT_EQ(RegSetValueExA(h, "huge", 0, REG_SZ, reinterpret_cast<const BYTE*>(huge.c_str()),
                           static_cast<DWORD>(huge.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(h);
  // The buffer limits only what is written; a value read is answered whole.
  EXPECT_EQ(Run("REGKEYGET", std::string(kBase) + ",huge"), 0);
  EXPECT_TRUE(GetVariable(in, "REGKEYGET") == huge);
  EXPECT_EQ(GetVariable(in, "REGKEYTYPE"), "REG_SZ");
  EXPECT_EQ(Run("REGKEYDEL", std::string(kBase) + ",huge"), 0);
}

}  // namespace
}  // namespace kes
