#pragma once

#include <cstdint>

namespace quorlix {

// The timing of a logo window: phases, whole-window alpha and its three timers, driven by
// timer ticks and clicks. The window applies what it says; the steps are those of the converter's
// image preview (fade in by 15 every 100 ms, fade out by 15 every 200 ms, clicks only once the
// picture is fully shown).
class LogoFade {
public:
    enum class Timer { FadeIn, Close, FadeOut };
    static constexpr std::uint32_t kFadeInInterval = 100;
    static constexpr std::uint32_t kFadeOutInterval = 200;

    LogoFade(bool fadeIn, bool fadeOut, bool waitForClick, std::uint32_t seconds)
        : fadeIn_(fadeIn), fadeOut_(fadeOut), waitForClick_(waitForClick), seconds_(seconds) {}

    void Show();
    void Tick(Timer timer);
    void Click();

    int phase() const { return phase_; }
    int alpha() const { return alpha_; }
    // Whether whole-window alpha is in use (off: the window is drawn opaque).
    bool layered() const { return layered_; }
    bool closed() const { return closed_; }
    bool running(Timer timer) const { return running_[Index(timer)]; }
    // The interval of a timer in milliseconds (the close timer's from the seconds).
    std::uint32_t interval(Timer timer) const;

private:
    static int Index(Timer timer) { return static_cast<int>(timer); }
    void Start(Timer timer) { running_[Index(timer)] = true; }
    void Stop(Timer timer) { running_[Index(timer)] = false; }
    void StartClose();
    void StartFadeOut();
    void Close();

    bool fadeIn_, fadeOut_, waitForClick_;
    std::uint32_t seconds_;
    int phase_ = 1;
    int alpha_ = 255;
    bool layered_ = false;
    bool closed_ = false;
    bool running_[3] = {false, false, false};
};

}  // namespace quorlix
