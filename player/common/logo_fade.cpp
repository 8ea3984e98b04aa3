#include "common/logo_fade.h"

namespace quorlix {

std::uint32_t LogoFade::interval(Timer timer) const {
    switch (timer) {
        case Timer::FadeIn:
            return kFadeInInterval;
        case Timer::FadeOut:
            return kFadeOutInterval;
        case Timer::Close:
            break;
    }
    return seconds_ * 1000;
}

void LogoFade::Show() {
    if (fadeIn_) {
        layered_ = true;
        alpha_ = 0;
        phase_ = 1;
        Start(Timer::FadeIn);
        return;
    }
    layered_ = false;
    phase_ = 2;
    StartClose();
}

// A close time of 0 seconds never closes the window by itself: only a click does.
void LogoFade::StartClose() {
    if (!waitForClick_ && seconds_ > 0) {
        Start(Timer::Close);
    }
}

void LogoFade::StartFadeOut() {
    phase_ = 3;
    layered_ = true;
    Start(Timer::FadeOut);
}

void LogoFade::Close() {
    closed_ = true;
    running_[0] = running_[1] = running_[2] = false;
}

void LogoFade::Tick(Timer timer) {
    if (closed_ || !running(timer)) {
        return;
    }
    switch (timer) {
        case Timer::FadeIn:
            phase_ = 1;
            if (alpha_ < 255) {
                alpha_ = alpha_ > 240 ? 255 : alpha_ + 15;
                return;
            }
            Stop(Timer::FadeIn);
            phase_ = 2;
            StartClose();
            return;
        case Timer::Close:
            phase_ = 2;
            Stop(Timer::Close);
            if (!fadeOut_) {
                Close();
                return;
            }
            StartFadeOut();
            return;
        case Timer::FadeOut:
            phase_ = 3;
            if (alpha_ > 14) {
                alpha_ -= 15;
                return;
            }
            Close();
            return;
    }
}

void LogoFade::Click() {
    if (closed_ || phase_ != 2) {
        return;
    }
    if (!fadeOut_) {
        Close();
        return;
    }
    if (running(Timer::FadeOut)) {
        return;
    }
    alpha_ = 255;
    StartFadeOut();
}

}  // namespace quorlix
