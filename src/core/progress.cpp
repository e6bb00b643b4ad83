// The progress bar's rule: a maximum below the minimum 0 is refused, the position is clamped.
#include "progress.h"

#include <algorithm>

#include "numtext/error.h"

namespace koravel {

void ProgressBar::checkMaximum(int maximum)
{
    if (maximum < 0)
        throw Error(propertyOutOfRangeMessage());
}

void ProgressBar::setMaximum(int maximum)
{
    checkMaximum(maximum);
    const int position = std::min(m_position, maximum);
    if (maximum == m_maximum && position == m_position)
        return;
    m_maximum = maximum;
    m_position = position;
    changed();
}

void ProgressBar::setPosition(int position)
{
    const int clamped = std::clamp(position, 0, m_maximum);
    if (clamped == m_position)
        return;
    m_position = clamped;
    changed();
}

} // namespace koravel
