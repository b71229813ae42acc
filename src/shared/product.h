// What every part of the program shares: the product's name, the one-line ownership notice
// of its windows, and the number of launch slots with the arrays that hold one control of
// each.
#pragma once

#include <array>

namespace td {

inline constexpr wchar_t kProductName[] = L"Tillerdock";
inline constexpr wchar_t kOwnershipNotice[] = L"Copyright (c) 2026 The Tillerdock authors";

inline constexpr int kSlotCount = 10;

// Controls of a family of ten, indexed by slot number 1 to 10 (index 0 is unused).
template <class T>
using SlotArray = std::array<T*, kSlotCount + 1>;

}  // namespace td
