// The peers of bench_filters_conv's Gaussian blur, median and grid loops:
// OpenCV's GaussianBlur with the same taps (the same sigma and as many taps
// as our weight table keeps), medianBlur over the same 7 x 7 window and
// filter2D with the grids of sharpen custom, blur and custom 5 x 5 (each
// weight over the grid's normalising sum), on a 4000 x 3000 BGRA8 image of
// random opaque pixels with the edge pixels repeated. The last argument is
// OpenCV's thread count (1: the one-core figure to compare with ours).
// Built only where OpenCV's imgproc is installed.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <random>
#include <vector>

#include "filters/blur_filters.h"
#include "filters/gaussian_weights.h"

namespace {

constexpr int kW = 4000, kH = 3000;

const cv::Mat& source() {
  static const cv::Mat m = [] {
    cv::Mat s(kH, kW, CV_8UC4);
    std::mt19937 rng(7);
    for (int y = 0; y < kH; ++y) {
      auto* row = s.ptr<uint32_t>(y);
      for (int x = 0; x < kW; ++x) row[x] = rng() | 0xFF000000u;
    }
    return s;
  }();
  return m;
}

// The output, touched once before the timing: ours writes into a layer that
// exists already.
cv::Mat outputPlane() {
  cv::Mat out(kH, kW, CV_8UC4);
  out.setTo(cv::Scalar::all(0));
  return out;
}

void BM_PeerGaussianBlur(benchmark::State& state) {
  cv::setNumThreads(static_cast<int>(state.range(1)));
  const double sigma = static_cast<double>(state.range(0));
  std::vector<int32_t> weights(kH);
  const int32_t radius = pg::buildGaussianWeights(weights.data(), kH, sigma);
  const int taps = 2 * radius + 1;
  cv::Mat out = outputPlane();
  for (auto _ : state) {
    cv::GaussianBlur(source(), out, cv::Size(taps, taps), sigma, sigma, cv::BORDER_REPLICATE);
    benchmark::DoNotOptimize(out.data);
  }
  state.SetLabel(std::to_string(taps) + " taps");
  state.SetItemsProcessed(state.iterations() * int64_t{kW} * kH);
}
BENCHMARK(BM_PeerGaussianBlur)->Args({10, 1})->Args({10, 8})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PeerMedian(benchmark::State& state) {
  cv::setNumThreads(static_cast<int>(state.range(1)));
  const int window = 2 * static_cast<int>(state.range(0)) + 1;
  cv::Mat out = outputPlane();
  for (auto _ : state) {
    cv::medianBlur(source(), out, window);
    benchmark::DoNotOptimize(out.data);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kW} * kH);
}
BENCHMARK(BM_PeerMedian)->Args({3, 1})->Args({3, 8})->Unit(benchmark::kMillisecond)->UseRealTime();

// The grids of BM_SharpenCustom (amount 0.5), BM_Blur3x3, BM_Custom5x5 and
// BM_BlurMore5x5, in that order, and what each sum is divided by.
struct SPeerGrid {
  const char* name;
  int size;
  std::vector<float> weights;
  float divisor;
};

SPeerGrid peerGrid(int64_t which) {
  switch (which) {
    case 0: {
      const auto v = static_cast<float>(pg::sharpenCustomStrength(0.5f));
      return {"sharpen custom", 3, {0, -v, 0, -v, 999, -v, 0, -v, 0}, 999 - 4 * v};
    }
    case 1:
      return {"blur 3x3", 3, {0, 1, 0, 1, 4, 1, 0, 1, 0}, 8};
    case 2:
      return {"custom 5x5", 5, {0, 0, 0, 0, 0, 0, -2, -3, 0, 0, 0, -3, 4, 3, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0}, 4};
    default:
      return {"blur more 5x5", 5, std::vector<float>(25, 1.0f), 25};
  }
}

void BM_PeerFilter2D(benchmark::State& state) {
  cv::setNumThreads(static_cast<int>(state.range(1)));
  const SPeerGrid grid = peerGrid(state.range(0));
  cv::Mat kernel(grid.size, grid.size, CV_32F);
  for (int i = 0; i < grid.size * grid.size; ++i) kernel.at<float>(i / grid.size, i % grid.size) = grid.weights[size_t(i)] / grid.divisor;
  cv::Mat out = outputPlane();
  for (auto _ : state) {
    cv::filter2D(source(), out, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
    benchmark::DoNotOptimize(out.data);
  }
  state.SetLabel(grid.name);
  state.SetItemsProcessed(state.iterations() * int64_t{kW} * kH);
}
BENCHMARK(BM_PeerFilter2D)->ArgsProduct({{0, 1, 2, 3}, {1}})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
