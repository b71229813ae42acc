// Fixed facts about the product, shown in its windows.
#pragma once

namespace td {

inline constexpr wchar_t kProductName[] = L"Tillerdock";
// The one-line ownership notice of the group and About windows.
inline constexpr wchar_t kOwnershipNotice[] = L"Copyright (c) 2026 The Tillerdock authors";

}  // namespace td
