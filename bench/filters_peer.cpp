// The peers of bench_filters_conv's Gaussian blur and median: OpenCV's
// GaussianBlur with the same taps (the same sigma and as many taps as our
// weight table keeps) and medianBlur over the same 7 x 7 window, on a
// 4000 x 3000 BGRA8 image of random opaque pixels with the edge pixels
// repeated. The argument is OpenCV's thread count (1: the one-core figure
// to compare with ours). Built only where OpenCV's imgproc is installed.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <random>
#include <vector>

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

}  // namespace
