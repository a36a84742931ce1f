#pragma once
// Row kernels: one call applies a pixel operator to a whole row, so that the
// operator is inlined (and vectorised where it pays) instead of being called
// through a pointer per pixel.
//
// Every known operator of blend_arith.h and blend_modes.h has row kernels that
// give exactly the pixels of calling the operator per pixel; rowKernels looks
// them up by the operator's address (once per rectangle, not per pixel).
#include <cstddef>
#include <cstdint>

#include "core/blend_arith.h"

namespace pg {

struct SPixelBlendOps;

// For i < n: op(&dst[i], src[i], param).
using RowOp32 = void (*)(uint32_t* dst, const uint32_t* src, size_t n, uint32_t param);
// For i < n: op(&dst[i], colour, param).
using RowFillOp32 = void (*)(uint32_t* dst, uint32_t colour, size_t n, uint32_t param);

struct SRowKernels {
  PixelOp32 Pixel = nullptr;
  RowOp32 Row = nullptr;       // nullptr: the operator is not known, call Pixel per pixel
  RowFillOp32 Fill = nullptr;  // likewise
};

// The row kernels of op; for an unknown operator Row and Fill are nullptr.
SRowKernels rowKernels(PixelOp32 op);

// Which kernels rowKernels hands out: 0 the baseline ones, 1 up to AVX2, 2 up
// to AVX-512, each capped at the best the processor runs (the start value).
// Answers the previous level (tests compare every build with the reference).
int setRowKernelLevel(int level);
// The highest level setRowKernelLevel takes.
inline constexpr int kRowKernelTopLevel = 2;
// Whether the kernels handed out now are the AVX2 ones or wider (level 1 or
// more on a processor that has AVX2). Other modules with vector rows follow
// the same switch.
[[nodiscard]] bool rowKernelsUseAvx2();

// Runs a row through the kernels (or per pixel for an unknown operator).
inline void runRow(const SRowKernels& k, uint32_t* dst, const uint32_t* src, size_t n, uint32_t param) {
  if (k.Row != nullptr) {
    k.Row(dst, src, n, param);
    return;
  }
  for (size_t i = 0; i < n; ++i) k.Pixel(dst + i, src[i], param);
}
inline void runFill(const SRowKernels& k, uint32_t* dst, uint32_t colour, size_t n, uint32_t param) {
  if (k.Fill != nullptr) {
    k.Fill(dst, colour, n, param);
    return;
  }
  for (size_t i = 0; i < n; ++i) k.Pixel(dst + i, colour, param);
}

// Row kernels of compositePixelOpsMix(dst, src, opacity, ops, exactMix), the
// opacity as the parameter, where the record is a plain alpha-over of its
// source operator's mix: its destination operator lerpPixelRgb, exactMix the
// kind of its source operator (mixesTowardBlend) and that operator one with
// vector kernels. Otherwise Row and Fill are nullptr and Pixel too: the caller
// composites pixel by pixel with the record.
SRowKernels opsRowKernels(const SPixelBlendOps& ops, bool exactMix);

// Whether op is an explicit-alpha operator that moves the pixel toward a
// blended colour by its alpha (lerpPixelRgb and the explicit members of the
// separable and colour-model modes but subtract negative).
[[nodiscard]] bool mixesTowardBlend(PixelOp32 op);

// q[i] = floor(n[i] / den[i]) by the quotient step of the kernels at the
// current level, for n[i] < 2^24, 1 <= den[i] <= 65025 and a quotient of at
// most 256 (the alpha-over kernels' divisions; lets a test run the step over
// every denominator they meet). The AVX-512 Normal source-over needs no such
// step; level 2 answers with the AVX2 one, which its other kernels use.
void blendQuotientRow(const uint32_t* n, const uint32_t* den, uint32_t* q, size_t count);

// dst alpha := P[dst alpha][k] for n pixels (the alpha map of layer merges).
void mapAlphaRow(uint32_t* dst, size_t n, uint32_t k);

}  // namespace pg
