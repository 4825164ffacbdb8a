#pragma once
// The workspace fonts "細明體" and "標楷體" on systems that lack them: the closest installed
// Ming and Kai faces stand in.

namespace korvane::shell {

void installFontSubstitutes();

}  // namespace korvane::shell
