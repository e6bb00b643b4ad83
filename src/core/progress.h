// The rule every progress bar of the program follows: minimum 0, a maximum below it refused.
#pragma once

namespace koravel {

class ProgressBar
{
public:
    virtual ~ProgressBar() = default;

    // Throws Error "TProgressBar property out of range" for a maximum below 0 and changes
    // nothing then. A position is kept within 0 and the maximum.
    void setMaximum(int maximum);
    void setPosition(int position);
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }

    // The refusal of setMaximum alone, so that a caller can learn before changing anything
    // whether a maximum would be refused: checkMaximum(-1) throws, checkMaximum(0) does not.
    static void checkMaximum(int maximum);

protected:
    // Called after the maximum or the position changed, so that a window can show it.
    virtual void changed() { }

private:
    int m_maximum = 100;
    int m_position = 0;
};

} // namespace koravel
