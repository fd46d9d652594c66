// The water table: a slot takes storage only when first used, reads as all
// zero until then, keeps what is written to it, and refuses slots outside
// 0..100.
#include "Velmora.h"

#include <gtest/gtest.h>

using namespace Velmora;

namespace {

TEST(WaterTable, SlotIsReservedOnFirstUseAndStartsZero) {
  ASSERT_FALSE(WATER00.reserved(42));
  TGLWATER& slot = WATER00[42];
  EXPECT_TRUE(WATER00.reserved(42));
  EXPECT_FALSE(WATER00.reserved(41));
  EXPECT_FALSE(WATER00.reserved(43));

  EXPECT_EQ(slot.GRIDSIZE, 0);
  EXPECT_EQ(slot.VISCOSITYW, 0.0f);
  EXPECT_EQ(slot.PX, 0.0f);
  for (long i = 0; i <= MAXGRIDSIZEW; ++i)
    for (long l = 0; l <= MAXGRIDSIZEW; ++l) {
      ASSERT_EQ(slot.POSW[i][l], 0.0f);
      ASSERT_EQ(slot.VELW[i][l], 0.0f);
      ASSERT_EQ(slot.NORMW[i][l].Y, 0.0f);
    }

  slot.VELW[300][300] = 5;
  EXPECT_EQ(&WATER00[42], &slot);
  EXPECT_EQ(WATER00[42].VELW[300][300], 5.0f);
}

TEST(WaterTableDeathTest, SlotsOutsideTheTableExit217) {
  EXPECT_EXIT(WATER00[101], ::testing::ExitedWithCode(217), "Range check error");
  EXPECT_EXIT(WATER00[-1], ::testing::ExitedWithCode(217), "Range check error");
  EXPECT_EXIT(WATER00[0].POSW[301][0], ::testing::ExitedWithCode(217), "Range check error");
}

}  // namespace
