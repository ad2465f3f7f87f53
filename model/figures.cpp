// SPDX-License-Identifier: MIT
#include "model/figures.h"

namespace xscatter {
namespace {

template <auto member>
std::optional<double> Get(const auto& quality) {
  return quality.*member;
}

constexpr Figure<PrimaryQuality> kPrimary[] = {
    {"bin_count", "最終エネルギービン", "last energy bin", "", Get<&PrimaryQuality::bin_count>,
     true},
    {"mean_energy_kev", "平均エネルギー（フルエンス）", "mean energy (fluence)", "keV",
     Get<&PrimaryQuality::mean_energy_kev>},
    {"kerma_mean_energy_kev", "平均エネルギー（空気カーマ）", "mean energy (air kerma)", "keV",
     Get<&PrimaryQuality::kerma_mean_energy_kev>},
    {"hvl1_mm_al", "第１半価層", "first half-value layer", "mm Al",
     Get<&PrimaryQuality::hvl1_mm_al>},
    {"hvl2_mm_al", "第２半価層", "second half-value layer", "mm Al",
     Get<&PrimaryQuality::hvl2_mm_al>},
    {"homogeneity_al", "均等度（Al）", "homogeneity coefficient (Al)", "",
     Get<&PrimaryQuality::homogeneity_al>},
    {"hvl1_mm_cu", "第１半価層", "first half-value layer", "mm Cu",
     Get<&PrimaryQuality::hvl1_mm_cu>},
    {"hvl2_mm_cu", "第２半価層", "second half-value layer", "mm Cu",
     Get<&PrimaryQuality::hvl2_mm_cu>},
    {"homogeneity_cu", "均等度（Cu）", "homogeneity coefficient (Cu)", "",
     Get<&PrimaryQuality::homogeneity_cu>},
    {"effective_energy_kev_al", "実効エネルギー（Al）", "effective energy (Al)", "keV",
     Get<&PrimaryQuality::effective_energy_kev_al>},
};

constexpr Figure<ScatterQuality> kScatter[] = {
    {"incoherent_mean_energy_kev", "平均エネルギー（非干渉性）", "mean energy, incoherent", "keV",
     Get<&ScatterQuality::incoherent_mean_energy_kev>},
    {"coherent_mean_energy_kev", "平均エネルギー（干渉性）", "mean energy, coherent", "keV",
     Get<&ScatterQuality::coherent_mean_energy_kev>},
    {"coherent_share", "干渉性散乱の光子の割合", "coherent share of photons", "",
     Get<&ScatterQuality::coherent_share>},
    {"hvl1_mm_al", "第１半価層", "first half-value layer", "mm Al",
     Get<&ScatterQuality::hvl1_mm_al>},
};

}  // namespace

std::span<const Figure<PrimaryQuality>> PrimaryFigures() { return kPrimary; }
std::span<const Figure<ScatterQuality>> ScatterFigures() { return kScatter; }

}  // namespace xscatter
