#include "meter/cpu_percents.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkaro {
namespace {

std::vector<double> Totals(const TCPUPercentStore& store) {
  std::vector<double> totals;
  for (const TCPUPercent& sample : store.Samples()) totals.push_back(sample.NowCommonPercent);
  return totals;
}

TEST(CPUPercentStoreTest, FillsOldestFirstThenPushesTheOldestOut) {
  TCPUPercentStore store(3);
  store.AddCPUPercent(0.5, 1);
  store.AddCPUPercent(1.5, 2);
  EXPECT_EQ(Totals(store), (std::vector<double>{1, 2}));

  store.AddCPUPercent(2.5, 3);
  store.AddCPUPercent(3.5, 4);
  store.AddCPUPercent(4.5, 5);
  EXPECT_EQ(Totals(store), (std::vector<double>{3, 4, 5}));
  EXPECT_EQ(store.Samples().front().NowKernelPercent, 2.5);
  EXPECT_EQ(store.Samples().back().NowKernelPercent, 4.5);
  EXPECT_EQ(store.Slots(), 3u);
}

TEST(CPUPercentStoreTest, ClearKeepsTheSlotsAndStartsAgainAtTheLeft) {
  TCPUPercentStore store(2);
  for (int i = 1; i <= 5; ++i) store.AddCPUPercent(0, i);
  store.Clear();
  EXPECT_TRUE(store.Samples().empty());
  EXPECT_EQ(store.Slots(), 2u);

  store.AddCPUPercent(7, 70);
  EXPECT_EQ(Totals(store), (std::vector<double>{70}));
}

TEST(CPUPercentStoreTest, StoreWithoutSlotsTakesNothing) {
  TCPUPercentStore store(0);
  store.AddCPUPercent(1, 2);
  EXPECT_TRUE(store.Samples().empty());
}

}  // namespace
}  // namespace velkaro
