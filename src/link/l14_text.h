#pragma once
// Cadastral L14 point text turned into upload lines: each group of three blank-separated fields
// "name first second" becomes "name,second,first,0" and CR LF.

#include <QString>
#include <functional>

namespace korvane::link {

// Converts the workspace text through the scratch file "Temp.txt" in `folder` (written anew and
// left in place). The result ends with ",0" and a CR. Throws Failure, naming the line, for a line
// whose fields do not end with a complete group of three, an empty line between other lines, an
// empty result or a file error. `yieldToEvents` (may be empty) is called once per line.
QString convertL14Text(const QString& workspace, const QString& folder, const std::function<void()>& yieldToEvents);

}  // namespace korvane::link
