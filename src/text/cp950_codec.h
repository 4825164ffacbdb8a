#pragma once

// Internal to korvane_text.

namespace korvane::text::detail {

// The ICU converter name for Microsoft's code page 950. It must be
// "windows-950": ICU's "CP950" is a different table (it reads F9F9 as
// U+F836 instead of the box drawing U+2550 that Windows gives).
inline constexpr char cp950CodecName[] = "windows-950";

} // namespace korvane::text::detail
