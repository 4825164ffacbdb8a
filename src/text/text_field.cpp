#include "text/number_text.h"

namespace korvane::text {

QString alignRight(QStringView text, int width)
{
    if (text.size() >= width)
        return text.toString();
    QString aligned(width - text.size(), u' ');
    aligned += text;
    return aligned;
}

QString formatText(QStringView text, QStringView atPattern)
{
    return alignRight(text, int(atPattern.size()));
}

} // namespace korvane::text
