// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "model/figures.h"

namespace xscatter {
namespace {

// Every figure reads its own member: each member holds a different number here.
TEST(Figures, EachKeyReadsItsOwnMember) {
  PrimaryQuality p;
  p.bin_count = 1;
  p.mean_energy_kev = 2;
  p.kerma_mean_energy_kev = 3;
  p.hvl1_mm_al = 4;
  p.hvl2_mm_al = 5;
  p.homogeneity_al = 6;
  p.hvl1_mm_cu = 7;
  p.hvl2_mm_cu = 8;
  p.homogeneity_cu = 9;
  p.effective_energy_kev_al = 10;
  const char* primary_keys[] = {"bin_count",
                                "mean_energy_kev",
                                "kerma_mean_energy_kev",
                                "hvl1_mm_al",
                                "hvl2_mm_al",
                                "homogeneity_al",
                                "hvl1_mm_cu",
                                "hvl2_mm_cu",
                                "homogeneity_cu",
                                "effective_energy_kev_al"};
  ASSERT_EQ(PrimaryFigures().size(), std::size(primary_keys));
  for (std::size_t i = 0; i < PrimaryFigures().size(); ++i) {
    const auto& figure = PrimaryFigures()[i];
    EXPECT_EQ(figure.key, primary_keys[i]);
    EXPECT_EQ(figure.value(p), static_cast<double>(i + 1)) << figure.key;
  }
  p.effective_energy_kev_al.reset();
  EXPECT_EQ(PrimaryFigures().back().value(p), std::nullopt);

  const ScatterQuality s{11, 12, 13, 14};
  const char* scatter_keys[] = {"incoherent_mean_energy_kev", "coherent_mean_energy_kev",
                                "coherent_share", "hvl1_mm_al"};
  ASSERT_EQ(ScatterFigures().size(), std::size(scatter_keys));
  for (std::size_t i = 0; i < ScatterFigures().size(); ++i) {
    EXPECT_EQ(ScatterFigures()[i].key, scatter_keys[i]);
    EXPECT_EQ(ScatterFigures()[i].value(s), static_cast<double>(i + 11));
  }
}

// The batch tool's manual page documents every key a report can carry.
TEST(Figures, ManualPageNamesEveryKey) {
  std::ifstream in(XSCATTER_SOURCE_DIR "/packaging/man/xscatter-batch.1");
  std::stringstream page;
  page << in.rdbuf();
  ASSERT_FALSE(page.str().empty());
  std::set<std::string_view> keys;
  for (const auto& f : PrimaryFigures()) keys.insert(f.key);
  for (const auto& f : ScatterFigures()) keys.insert(f.key);
  for (const std::string_view key : keys) {
    EXPECT_NE(page.str().find(key), std::string::npos) << key;
  }
}

}  // namespace
}  // namespace xscatter
