// SPDX-License-Identifier: MIT
#include "scatter_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace xscatter::tables {
namespace {

// Fine enough that the deviation between samples is negligible, coarse enough to run in well under
// a second.
constexpr int kSamples = 8000;

class Sampled {
 public:
  Sampled(double first, double last, const std::vector<std::function<double(double)>>& curves)
      : u_(kSamples + 1), logs_(curves.size(), std::vector<double>(kSamples + 1)) {
    for (int i = 0; i <= kSamples; ++i) {
      u_[i] = std::log(first) + std::log(last / first) * i / kSamples;
      for (std::size_t c = 0; c < curves.size(); ++c) {
        logs_[c][i] = std::log(curves[c](std::exp(u_[i])));
      }
    }
  }

  double U(int i) const { return u_[i]; }

  // Largest deviation of the samples strictly between p and q from the chord p-q, over all curves.
  double Deviation(int p, int q) const {
    double worst = 0;
    for (const auto& g : logs_) {
      for (int i = p + 1; i < q; ++i) {
        const double t = (u_[i] - u_[p]) / (u_[q] - u_[p]);
        worst = std::max(worst, std::fabs(g[p] + t * (g[q] - g[p]) - g[i]));
      }
    }
    return worst;
  }

  // Longest chords within `tolerance`, from the first sample on; the fewest nodes for it.
  std::vector<int> Greedy(double tolerance) const {
    std::vector<int> nodes{0};
    int p = 0;
    while (p < kSamples) {
      int q = p + 1;
      while (q < kSamples && Deviation(p, q + 1) <= tolerance) ++q;
      nodes.push_back(q);
      p = q;
    }
    return nodes;
  }

 private:
  std::vector<double> u_;
  std::vector<std::vector<double>> logs_;
};

}  // namespace

ScatterGrid DesignScatterGrid(int rows, double first, double last,
                              const std::vector<std::function<double(double)>>& curves) {
  const Sampled sampled(first, last, curves);

  // Bisect on the tolerance (geometrically) for the smallest one that rows nodes can meet.
  double feasible = 1.0;
  double infeasible = 1e-7;
  for (int step = 0; step < 50; ++step) {
    const double mid = std::sqrt(feasible * infeasible);
    if (static_cast<int>(sampled.Greedy(mid).size()) <= rows) {
      feasible = mid;
    } else {
      infeasible = mid;
    }
  }
  std::vector<int> nodes = sampled.Greedy(feasible);

  // Fewer nodes than rows: split the widest chords, which can only lower the deviation.
  while (static_cast<int>(nodes.size()) < rows) {
    std::size_t widest = 1;
    for (std::size_t k = 1; k < nodes.size(); ++k) {
      if (nodes[k] - nodes[k - 1] > nodes[widest] - nodes[widest - 1]) widest = k;
    }
    nodes.insert(nodes.begin() + widest, (nodes[widest - 1] + nodes[widest]) / 2);
  }

  ScatterGrid grid;
  for (std::size_t k = 0; k < nodes.size(); ++k) {
    grid.x.push_back(std::exp(sampled.U(nodes[k])));
    if (k > 0) {
      grid.max_log_deviation =
          std::max(grid.max_log_deviation, sampled.Deviation(nodes[k - 1], nodes[k]));
    }
  }
  grid.x.front() = first;
  grid.x.back() = last;
  return grid;
}

}  // namespace xscatter::tables
