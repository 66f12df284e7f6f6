#pragma once
// The splash window: the program's name and version, centred on the screen. Its timer
// fires once after 3500 ms; it then loads the main window and closes itself.
#include <QTimer>
#include <QWidget>

#include <functional>

namespace kestrel {

inline constexpr int kSplashMilliseconds = 3500;

class FormSplash : public QWidget {
    Q_OBJECT

public:
    // `loadMain` creates and shows the main window when the timer fires.
    explicit FormSplash(std::function<void()> loadMain);
    // Shows the window centred on its screen and starts the timer.
    void Start();
    QTimer& Timer() { return timer_; }

private:
    void TimeUp();

    std::function<void()> loadMain_;
    QTimer timer_;
};

} // namespace kestrel
