// Platform internal: how a push button follows the stylus. A button acts
// when the stylus that went down on it is lifted on it; while the stylus is
// down it looks pressed only when it is over that button, so a tap that
// slides off changes nothing. The menu bar's image buttons, the message
// box's buttons and the dialogs' buttons share it; each gives the index of
// the button under the stylus (-1: none).
#pragma once

namespace platform::controls {

class ButtonTracker {
public:
    // The stylus went down on button (or on none).
    void press(int button) {
        m_pressed = button;
        m_inside = button >= 0;
    }
    // The stylus moved over button; true when the pressed look changed, so
    // the caller repaints.
    bool move(int button) {
        if (m_pressed < 0 || (button == m_pressed) == m_inside) return false;
        m_inside = button == m_pressed;
        return true;
    }
    // The stylus was lifted over button: the button that acts, or -1.
    // Tracking ends either way.
    int release(int button) {
        const int acts = m_pressed >= 0 && button == m_pressed ? m_pressed : -1;
        cancel();
        return acts;
    }
    void cancel() {
        m_pressed = -1;
        m_inside = false;
    }

    // The button the stylus went down on, or -1 while none is.
    int pressed() const { return m_pressed; }
    // Whether the stylus is still over it.
    bool inside() const { return m_inside; }
    // Whether button is drawn pressed now.
    bool shows_pressed(int button) const { return m_inside && button == m_pressed; }

private:
    int m_pressed = -1;
    bool m_inside = false;
};

}  // namespace platform::controls
