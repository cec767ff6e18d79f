// The local selection list guard: the list is the host's while the guard lives and is given back
// once, whether the routine ends normally, early, or frees it on purpose first.
#include "core/local_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "machine_test.h"

namespace qxt {
namespace {

class LocalListTest : public testsupport::MachineTest {
 protected:
  std::size_t Frees() { return Host().CallsTo("HsiFreeLocalOsl").size(); }
};

TEST_F(LocalListTest, TheListIsGivenBackOnceWhenTheScopeEnds) {
  std::int16_t number = 0;
  {
    const LocalList list(-2);
    number = list.number();
    ASSERT_GT(number, 0);
    ASSERT_NE(Host().List(number), nullptr);
    EXPECT_EQ(Host().List(number)->owner, -2);
    ASSERT_EQ(Host().CallsTo("HsiCreateLocalOsl").size(), 1u);
    EXPECT_EQ(Host().CallsTo("HsiCreateLocalOsl")[0].args, "-2, 0, 512");
    EXPECT_EQ(Frees(), 0u);
  }
  EXPECT_EQ(Host().List(number), nullptr);
  ASSERT_EQ(Frees(), 1u);
  EXPECT_EQ(Host().CallsTo("HsiFreeLocalOsl")[0].args, std::to_string(number));
}

TEST_F(LocalListTest, FreeGivesTheListBackAtOnceAndOnlyOnce) {
  std::int16_t number = 0;
  {
    LocalList list(0);
    number = list.number();
    ASSERT_GT(number, 0);
    list.Free();
    EXPECT_EQ(Host().List(number), nullptr);
    EXPECT_EQ(Frees(), 1u);
    EXPECT_LE(list.number(), 0);
    list.Free();
    EXPECT_EQ(Frees(), 1u);
    // The host may hand the same number to a later list: the guard must not free that one.
    const LocalList next(0);
    EXPECT_EQ(next.number(), number);
  }
  EXPECT_EQ(Frees(), 2u);  // the later list only
}

TEST_F(LocalListTest, TheListIsGivenBackWhenTheRoutineLeavesByAnException) {
  std::int16_t number = 0;
  EXPECT_THROW(
      {
        const LocalList list(-1);
        number = list.number();
        throw std::runtime_error("stop");
      },
      std::runtime_error);
  ASSERT_GT(number, 0);
  EXPECT_EQ(Host().List(number), nullptr);
  EXPECT_EQ(Frees(), 1u);
}

TEST_F(LocalListTest, AListTheHostCouldNotMakeIsNotGivenBack) {
  // Take every list the host has.
  std::vector<std::int16_t> taken;
  for (std::int16_t list; (list = HsiCreateLocalOsl(0, 0, 512)) > 0;) taken.push_back(list);
  ASSERT_FALSE(taken.empty());
  {
    const LocalList list(0);
    EXPECT_LE(list.number(), 0);
  }
  EXPECT_EQ(Frees(), 0u);
  for (std::int16_t list : taken) HsiFreeLocalOsl(list);
}

}  // namespace
}  // namespace qxt
