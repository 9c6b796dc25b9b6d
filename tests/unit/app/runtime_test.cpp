// The throw helpers of src/startup/runtime.cpp: what the standard library
// throws through them reaches the line guard with the library's message.
#include <gtest/gtest.h>

#include <bits/functexcept.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

// The what() of the exception body throws, or "" when it throws none.
template <class F>
std::string WhatOf(F&& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    return "bad_alloc";
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST(Runtime, BoundsErrorsCarryTheFormattedMessage) {
  const std::string s = "abc";
  EXPECT_EQ(WhatOf([&] { (void)s.substr(5); }),
            "basic_string::substr: __pos (which is 5) > this->size() (which is 3)");
  std::vector<int> v;
  EXPECT_EQ(WhatOf([&] { (void)v.at(2); }),
            "vector::_M_range_check: __n (which is 2) >= this->size() (which is 0)");
  EXPECT_EQ(WhatOf([] { (void)std::stoi("x"); }), "stoi");
  EXPECT_EQ(WhatOf([] { (void)std::stoi("99999999999"); }), "stoi");
  EXPECT_EQ(WhatOf([] { std::__throw_out_of_range_fmt("%s %% %zu", "a", size_t(4294967295u)); }), "a % 4294967295");
}

TEST(Runtime, ALongMessageIsCutAndEndsInside) {
  const std::string longText(1000, 'x');
  const std::string what = WhatOf([&] { std::__throw_out_of_range_fmt("[%s]", longText.c_str()); });
  EXPECT_EQ(what.size(), 255u);
  EXPECT_EQ(what.substr(0, 3), "[xx");
}

TEST(Runtime, LengthErrorsAreOutOfMemory) {
  std::string s;
  EXPECT_EQ(WhatOf([&] { s.resize(s.max_size() + 1); }), "bad_alloc");
  std::vector<int> v;
  EXPECT_EQ(WhatOf([&] { v.reserve(v.max_size() + 1); }), "bad_alloc");
  EXPECT_TRUE(s.empty());
}

}  // namespace
